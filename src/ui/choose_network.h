#pragma once

#include "ui/wizard.h"

class QRadioButton;

namespace vornetica {

// The network chooser: operation, network type and data entry type.
class ChooseNetwork : public WizardScreen {
    Q_OBJECT
  public:
    explicit ChooseNetwork(Wizard& wizard);
    void screenShown() override;

  private:
    ChooserSelection selection() const;
    void nextPressed();

    bool defaultsApplied_ = false;
    QRadioButton* encode_;
    QRadioButton* recall_;
    QRadioButton* bpn_;
    QRadioButton* cpn_;
    QRadioButton* da_;
    QRadioButton* bsb_;
    QRadioButton* fam_;
    QRadioButton* bm_;
    QRadioButton* manual_;
    QRadioButton* fromFile_;
};

}  // namespace vornetica
