#include "ui/training_files.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/help_viewer.h"
#include "ui/import_dialog.h"
#include "ui/screen_parts.h"

namespace vornetica {

namespace {

QGroupBox* fileFrame(QWidget* parent, const char* name, const QString& caption, QLineEdit* box,
                     QPushButton* browse) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    auto* row = new QHBoxLayout(frame);
    box->setParent(frame);
    browse->setParent(frame);
    row->addWidget(box, 1);
    row->addWidget(browse);
    return frame;
}

}  // namespace

TrainingFiles::TrainingFiles(Wizard& wizard) : WizardScreen(wizard) {
    setObjectName(QStringLiteral("TrainingFiles"));
    setWindowTitle(tr("Select Input and Output Training Files"));

    inputPath_ =
        makeTextBox(this, "InputPath", "input.dat", tr("File containing the input training data."));
    auto* browseIn = makeButton(this, "cmdBrowseIn", tr("Browse"));
    browseIn->setAccessibleName(tr("Browse for the input file"));
    outputPath_ = makeTextBox(this, "OutputPath", "output.dat",
                              tr("File containing the output training data."));
    browseOut_ = makeButton(this, "cmdBrowseOut", tr("Browse"));
    browseOut_->setAccessibleName(tr("Browse for the output file"));
    auto* import = makeButton(this, "cmdImport", tr("Import..."),
                              tr("Turn a table (CSV, FANN or SNNS) into the data files."));
    import->setAccessibleName(tr("Import a table into training data files"));
    auto* back = makeButton(this, "cmdBack", tr("Back"));
    auto* next = makeButton(this, "cmdNext", tr("Next"));
    auto* cancel = makeButton(this, "cmdCancel", tr("Cancel"));
    auto* help = makeButton(this, "cmdHelp", tr("Help"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(fileFrame(this, "InputFrame", tr("Input File"), inputPath_, browseIn));
    layout->addWidget(fileFrame(this, "OutputFrame", tr("Output File"), outputPath_, browseOut_));
    auto* importRow = new QHBoxLayout();
    importRow->addWidget(import);
    importRow->addStretch(1);
    layout->addLayout(importRow);
    layout->addSpacing(8);
    layout->addLayout(buttonRow({back, next, cancel, help}));

    chainTabOrder(
        {inputPath_, browseIn, outputPath_, browseOut_, import, back, next, cancel, help});
    bindKeys(next, cancel);
    connect(browseIn, &QPushButton::clicked, this,
            [this] { browse(inputPath_, settings().InputDataPath, tr("Input File")); });
    connect(browseOut_, &QPushButton::clicked, this,
            [this] { browse(outputPath_, settings().OutputDataPath, tr("Output File")); });
    connect(import, &QPushButton::clicked, this, [this] { importPressed(); });
    connect(next, &QPushButton::clicked, this, [this] { nextPressed(); });
    connect(back, &QPushButton::clicked, this,
            [this] { this->wizard().show(navigation::trainingFilesBack(settings())); });
    connect(cancel, &QPushButton::clicked, this, [this] { cancelPressed(); });
    connect(help, &QPushButton::clicked, this, [this] { helpPressed(); });
    resize(520, sizeHint().height());
}

void TrainingFiles::screenShown() {
    // The recall road names one file only: the vectors to recall.
    browseOut_->setEnabled(!navigation::trainingFilesServesRecall(settings()));
}

void TrainingFiles::browse(QLineEdit* box, std::string& setting, const QString& caption) {
    // A name that is not in the current folder starts the dialog in the examples the
    // program ships, so a new user finds the samples of every kind.
    QString start = box->text();
    if (!QFileInfo::exists(start)) {
        if (const std::optional<QString> examples = HelpViewer::findDataFile("examples")) {
            start = *examples;
        }
    }
    const std::optional<QString> chosen = dialogs().openFile(this, caption, start);
    if (!chosen) {
        return;  // a dialog closed without a choice leaves the box as it was
    }
    box->setText(*chosen);
    setting = box->text().toStdString();
}

void TrainingFiles::nextPressed() {
    settings().InputDataPath = inputPath_->text().toStdString();
    settings().OutputDataPath = outputPath_->text().toStdString();
    wizard().show(navigation::trainingFilesNext(settings()));
}

void TrainingFiles::importPressed() {
    // The recall road and the kinds without targets read the input file alone.
    const bool outputs =
        !navigation::trainingFilesServesRecall(settings()) &&
        (encodeKind(settings()) == NetworkKind::BPN || encodeKind(settings()) == NetworkKind::CPN);
    auto* dialog = new ImportDialog(wizard(), outputs, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, outputs] {
        inputPath_->setText(dialog->inputPath());
        settings().InputDataPath = inputPath_->text().toStdString();
        if (outputs) {
            outputPath_->setText(dialog->outputPath());
            settings().OutputDataPath = outputPath_->text().toStdString();
        }
        if (const auto sizes = dialog->sizesToSet()) {
            takeImportedSizes(sizes->first, sizes->second);
        }
    });
    dialog->open();
}

// Puts the table's sizes into the settings and into the parameter screen's boxes,
// whose Next would otherwise store the old sizes again.
void TrainingFiles::takeImportedSizes(int inputs, int outputs) {
    settings().InputSize = static_cast<std::int16_t>(inputs);
    settings().OutputSize = static_cast<std::int16_t>(outputs);
    if (QWidget* parameters = wizard().existing(navigation::encodeParameterScreen(settings()))) {
        if (auto* box = parameters->findChild<QLineEdit*>(QStringLiteral("InputSize"))) {
            box->setText(QString::number(inputs));
        }
        if (auto* box = parameters->findChild<QLineEdit*>(QStringLiteral("OutputSize"))) {
            box->setText(QString::number(outputs));
        }
    }
}

}  // namespace vornetica
