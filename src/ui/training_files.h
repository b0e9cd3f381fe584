#pragma once

#include "ui/wizard.h"

class QLineEdit;
class QPushButton;

namespace vornetica {

// Names the training data files (encode road) or the recall data file (recall road).
class TrainingFiles : public WizardScreen {
    Q_OBJECT
  public:
    explicit TrainingFiles(Wizard& wizard);
    void screenShown() override;

  private:
    void browse(QLineEdit* box, std::string& setting, const QString& caption);
    void nextPressed();
    void importPressed();
    void takeImportedSizes(int inputs, int outputs);

    QLineEdit* inputPath_;
    QLineEdit* outputPath_;
    QPushButton* browseOut_;
};

}  // namespace vornetica
