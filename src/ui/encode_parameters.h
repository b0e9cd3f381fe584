#pragma once

#include <QString>
#include <map>
#include <string>
#include <vector>

#include "ui/wizard.h"

class QLineEdit;

namespace vornetica {

class ChooseThreshold;

// What the four encode parameter screens share: labelled text boxes named after
// the settings they fill, Next (convert strictly, store, go on) and Back.
class ParameterScreen : public WizardScreen {
    Q_OBJECT
  public:
    struct Field {
        const char* name;
        QString label;
        std::string text;
        QString tooltip;
    };

  protected:
    ParameterScreen(Wizard& wizard, const char* name, const QString& caption);
    // Lays out the fields (left column, optional right column) and the buttons, in
    // tab order: the fields as listed, then Next, Back, Cancel, Help.
    void build(const std::vector<Field>& left, const std::vector<Field>& right = {});
    std::string textOf(const char* name) const;
    // Converts and stores every field; throws UserError naming a refused field.
    virtual void storeFields() = 0;
    // Runs after the fields were stored, before the next screen is shown.
    virtual void afterStore() {}

  private:
    void nextPressed();
    std::map<std::string, QLineEdit*> boxes_;
};

class EncodeBPN : public ParameterScreen {
    Q_OBJECT
  public:
    explicit EncodeBPN(Wizard& wizard);
    // The neuron function screen, created on the first Next and kept.
    ChooseThreshold* chooseThreshold() const { return threshold_; }

  private:
    void storeFields() override;
    void afterStore() override;
    ChooseThreshold* threshold_ = nullptr;
};

class EncodeCPN : public ParameterScreen {
    Q_OBJECT
  public:
    explicit EncodeCPN(Wizard& wizard);

  private:
    void storeFields() override;
};

class EncodeBSB : public ParameterScreen {
    Q_OBJECT
  public:
    explicit EncodeBSB(Wizard& wizard);

  private:
    void storeFields() override;
};

class EncodeDA : public ParameterScreen {
    Q_OBJECT
  public:
    explicit EncodeDA(Wizard& wizard);

  private:
    void storeFields() override;
};

}  // namespace vornetica
