#pragma once

#include "ui/wizard.h"

class QGridLayout;
class QLineEdit;
class QPushButton;

namespace vornetica {

// What the four network loading screens share: the network file box with its
// Browse button, and Back, Next, Cancel and Help.
class RecallLoadingScreen : public WizardScreen {
    Q_OBJECT
  public:
    RecallLoadingScreen(Wizard& wizard, const char* formName, const QString& caption,
                        const QString& frameCaption);

  protected:
    // Rows for the screen's own boxes, between the file frame and the buttons.
    QGridLayout* extraFields() const { return extraFields_; }
    // Converts and stores the screen's own boxes; false keeps the user on the screen.
    virtual bool storeExtraFields() { return true; }

  private:
    void browsePressed();
    void nextPressed();

    QLineEdit* inputPath_ = nullptr;
    QGridLayout* extraFields_ = nullptr;
};

class RecallBPN : public RecallLoadingScreen {
    Q_OBJECT
  public:
    explicit RecallBPN(Wizard& wizard);
};

class RecallCPN : public RecallLoadingScreen {
    Q_OBJECT
  public:
    explicit RecallCPN(Wizard& wizard);
};

class RecallDA : public RecallLoadingScreen {
    Q_OBJECT
  public:
    explicit RecallDA(Wizard& wizard);
};

// Also takes the three recall parameters of brain-state-in-a-box recall.
class RecallBSB : public RecallLoadingScreen {
    Q_OBJECT
  public:
    explicit RecallBSB(Wizard& wizard);

  protected:
    bool storeExtraFields() override;

  private:
    QLineEdit* beta_ = nullptr;
    QLineEdit* gamma_ = nullptr;
    QLineEdit* errorThreshold_ = nullptr;
};

}  // namespace vornetica
