#include "ui/recall_loading.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/user_error.h"
#include "ui/parameter_help.h"
#include "ui/screen_parts.h"
#include "wizard/parameter_screens.h"

namespace vornetica {

namespace {

QLineEdit* addField(QWidget* parent, QGridLayout* layout, const char* name, const QString& label,
                    const QString& defaultText) {
    const int row = layout->rowCount();
    auto* caption = new QLabel(label, parent);
    auto* box = new QLineEdit(defaultText, parent);
    box->setObjectName(QString::fromLatin1(name));
    attachParameterHelp(box, parent->objectName());
    caption->setBuddy(box);
    layout->addWidget(caption, row, 0);
    layout->addWidget(box, row, 1);
    return box;
}

}  // namespace

RecallLoadingScreen::RecallLoadingScreen(Wizard& wizard, const char* formName,
                                         const QString& caption, const QString& frameCaption)
    : WizardScreen(wizard) {
    setObjectName(QString::fromLatin1(formName));
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);

    auto* frame = new QGroupBox(frameCaption, this);
    frame->setObjectName(QStringLiteral("InputFrame"));
    auto* frameLayout = new QHBoxLayout(frame);
    // The name the save dialogue proposes, so a network just saved loads at once.
    inputPath_ = new QLineEdit(QStringLiteral("network.vrn"), frame);
    inputPath_->setObjectName(QStringLiteral("InputPath"));
    inputPath_->setToolTip(
        tr("The network file to load, as Save Network wrote it; relative to the current folder."));
    QPushButton* browse = makeButton(frame, "cmdBrowse", tr("Browse"));
    frameLayout->addWidget(inputPath_, 1);
    frameLayout->addWidget(browse);
    layout->addWidget(frame);

    extraFields_ = new QGridLayout;
    layout->addLayout(extraFields_);
    layout->addStretch(1);

    QPushButton* back = makeButton(this, "cmdBack", tr("Back"));
    QPushButton* next = makeButton(this, "cmdNext", tr("Next"));
    QPushButton* cancel = makeButton(this, "cmdCancel", tr("Cancel"));
    QPushButton* help = makeButton(this, "cmdHelp", tr("Help"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {back, next, cancel, help}) {
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);

    bindKeys(next, cancel);
    connect(browse, &QPushButton::clicked, this, &RecallLoadingScreen::browsePressed);
    connect(next, &QPushButton::clicked, this, &RecallLoadingScreen::nextPressed);
    connect(back, &QPushButton::clicked, this,
            [this] { this->wizard().show(navigation::loadingBack(settings())); });
    connect(cancel, &QPushButton::clicked, this, [this] { cancelPressed(); });
    connect(help, &QPushButton::clicked, this, [this] { helpPressed(); });
    resize(460, 200);
}

void RecallLoadingScreen::browsePressed() {
    const std::optional<QString> chosen =
        dialogs().openFile(this, tr("Open Network File"), inputPath_->text());
    // A dialog closed without a choice leaves the box as it was.
    if (chosen) {
        inputPath_->setText(*chosen);
    }
    settings().NetworkFilePath = inputPath_->text().toStdString();
}

void RecallLoadingScreen::nextPressed() {
    // A refused box leaves the settings as they were, the file name included.
    if (!storeExtraFields()) {
        return;
    }
    settings().NetworkFilePath = inputPath_->text().toStdString();
    wizard().show(navigation::afterLoadingNext(settings()));
}

RecallBPN::RecallBPN(Wizard& wizard)
    : RecallLoadingScreen(wizard, "RecallBPN", tr("Recall Backpropagation"),
                          tr("Enter Network to Load")) {}

RecallCPN::RecallCPN(Wizard& wizard)
    : RecallLoadingScreen(wizard, "RecallCPN", tr("Recall Counterpropagation"),
                          tr("Enter Network to Load")) {}

RecallDA::RecallDA(Wizard& wizard)
    : RecallLoadingScreen(wizard, "RecallDA", tr("Recall Discrete Autocorrelator"),
                          tr("Enter Network to Load")) {}

RecallBSB::RecallBSB(Wizard& wizard)
    : RecallLoadingScreen(wizard, "RecallBSB", tr("Recall Brain-State-in-a-Box"),
                          tr("Enter Name of Network to Load")) {
    const RecallBSBTexts defaults;
    beta_ = addField(this, extraFields(), "Beta", fieldLabel(labels::kRecallBeta),
                     QString::fromStdString(defaults.Beta));
    gamma_ = addField(this, extraFields(), "Gamma", fieldLabel(labels::kRecallGamma),
                      QString::fromStdString(defaults.Gamma));
    errorThreshold_ =
        addField(this, extraFields(), "ErrorThreshold", fieldLabel(labels::kErrorThreshold),
                 QString::fromStdString(defaults.ErrorThreshold));
}

bool RecallBSB::storeExtraFields() {
    RecallBSBTexts texts;
    texts.Beta = beta_->text().toStdString();
    texts.Gamma = gamma_->text().toStdString();
    texts.ErrorThreshold = errorThreshold_->text().toStdString();
    try {
        storeRecallBSB(settings(), texts);
        return true;
    } catch (const UserError& error) {
        dialogs().message(this, QString::fromStdString(error.what()), Dialogs::Icon::Warning);
        return false;
    }
}

}  // namespace vornetica
