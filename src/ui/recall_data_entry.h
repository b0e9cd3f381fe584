#pragma once

#include <string>
#include <vector>

#include "ui/wizard.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vornetica {

class CellGrid;
class PatternView;
class RecallAllPanel;

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
    void showPatterns(const std::vector<double>& input, const std::vector<double>& output);
    void showNetworkLine(const QString& line);
    static void showTexts(CellGrid* grid, const std::vector<std::string>& texts);
    void announceOutput(const std::vector<std::string>& texts);

    QLabel* networkLine_ = nullptr;
    CellGrid* inputGrid_ = nullptr;
    CellGrid* outputGrid_ = nullptr;
    QPushButton* enterData_ = nullptr;
    QCheckBox* record_ = nullptr;
    QLineEdit* inputFile_ = nullptr;
    QLineEdit* outputFile_ = nullptr;
    QLabel* settled_ = nullptr;
    QWidget* patterns_ = nullptr;
    PatternView* inputPattern_ = nullptr;
    PatternView* outputPattern_ = nullptr;
    QLabel* difference_ = nullptr;
    RecallAllPanel* recallAll_ = nullptr;  // file mode only
};

}  // namespace vornetica
