#pragma once

#include "ui/wizard.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vornetica {

class CellGrid;

// The recall window: loads the named network each time it opens, then turns one
// input vector per press (typed or read from the recall data file) into the output.
class RecallDataEntry : public WizardScreen {
    Q_OBJECT
  public:
    explicit RecallDataEntry(Wizard& wizard);
    void screenShown() override;

  private:
    void enterDataPressed();
    void exitPressed();
    void showSettled(std::optional<bool> settled);

    CellGrid* inputGrid_ = nullptr;
    CellGrid* outputGrid_ = nullptr;
    QPushButton* enterData_ = nullptr;
    QCheckBox* record_ = nullptr;
    QLineEdit* inputFile_ = nullptr;
    QLineEdit* outputFile_ = nullptr;
    QLabel* settled_ = nullptr;
};

}  // namespace vornetica
