#include "ui/choose_network.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/screen_parts.h"

namespace vornetica {

namespace {

QRadioButton* makeOption(QGroupBox* frame, const char* name, const QString& caption) {
    auto* option = new QRadioButton(caption, frame);
    option->setObjectName(QString::fromLatin1(name));
    frame->layout()->addWidget(option);
    return option;
}

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QString::fromLatin1(name));
    new QVBoxLayout(frame);
    return frame;
}

}  // namespace

ChooseNetwork::ChooseNetwork(Wizard& wizard) : WizardScreen(wizard) {
    setObjectName(QStringLiteral("ChooseNetwork"));
    setWindowTitle(tr("Choose Network Type"));

    auto* heading = makeLabel(this, "Label1", tr("Choose Network Type"));
    QFont font = heading->font();
    font.setPointSize(14);
    font.setBold(true);
    heading->setFont(font);

    auto* operation = makeFrame(this, "DesiredOperation", tr("Desired Operation"));
    encode_ = makeOption(operation, "ChoiceEncode", tr("Encode Network"));
    recall_ = makeOption(operation, "ChoiceRecall", tr("Recall Network"));
    static_cast<QVBoxLayout*>(operation->layout())->addStretch(1);

    auto* type = makeFrame(this, "NetworkType", tr("Network Type"));
    type->setToolTip(tr("Select type of network to encode or recall."));
    bpn_ = makeOption(type, "ChoiceBPN", tr("Backpropagation"));
    cpn_ = makeOption(type, "ChoiceCPN", tr("Counterpropagation"));
    da_ = makeOption(type, "ChoiceDA", tr("Discrete Autocorrelator"));
    bsb_ = makeOption(type, "ChoiceBSB", tr("Brain-State-in-a-Box"));
    fam_ = makeOption(type, "ChoiceFAM", tr("Fuzzy Associative Memory"));
    bm_ = makeOption(type, "ChoiceBM", tr("Boltzmann Machine"));

    auto* entry = makeFrame(this, "DataEntry", tr("Data Entry Type"));
    manual_ = makeOption(entry, "ManualEntry", tr("Manual Data Entry"));
    fromFile_ = makeOption(entry, "FileEntry", tr("Data From File"));
    static_cast<QVBoxLayout*>(entry->layout())->addStretch(1);

    auto* next = makeButton(this, "cmdNext", tr("Next"));
    auto* cancel = makeButton(this, "cmdCancel", tr("Cancel"));
    auto* help = makeButton(this, "cmdHelp", tr("Help"));

    auto* frames = new QHBoxLayout();
    auto* leftColumn = new QVBoxLayout();
    leftColumn->addWidget(operation);
    leftColumn->addWidget(entry);
    frames->addLayout(leftColumn);
    frames->addWidget(type);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->addWidget(heading, 0, Qt::AlignHCenter);
    layout->addSpacing(8);
    layout->addLayout(frames);
    layout->addSpacing(8);
    layout->addLayout(buttonRow({next, cancel, help}));

    chainTabOrder({encode_, recall_, bpn_, cpn_, da_, bsb_, fam_, bm_, manual_, fromFile_, next,
                   cancel, help});
    bindKeys(next, cancel);
    connect(next, &QPushButton::clicked, this, [this] { nextPressed(); });
    connect(cancel, &QPushButton::clicked, this, [this] { cancelPressed(); });
    connect(help, &QPushButton::clicked, this, [this] { helpPressed(); });
    setFixedSize(sizeHint());
}

void ChooseNetwork::screenShown() {
    // The start values go in once per run; coming back keeps the values of the last pass.
    if (!defaultsApplied_) {
        setDefaultSettings(settings());
        defaultsApplied_ = true;
    }
}

ChooserSelection ChooseNetwork::selection() const {
    ChooserSelection chosen;
    if (encode_->isChecked()) {
        chosen.operation = Operation::Encode;
    } else if (recall_->isChecked()) {
        chosen.operation = Operation::Recall;
    }
    const std::pair<QRadioButton*, ChosenType> types[] = {
        {bpn_, ChosenType::BPN}, {cpn_, ChosenType::CPN}, {da_, ChosenType::DA},
        {bsb_, ChosenType::BSB}, {fam_, ChosenType::FAM}, {bm_, ChosenType::BM}};
    for (const auto& [option, value] : types) {
        if (option->isChecked()) {
            chosen.type = value;
        }
    }
    if (manual_->isChecked()) {
        chosen.dataEntryMode = Manual;
    } else if (fromFile_->isChecked()) {
        chosen.dataEntryMode = FromFiles;
    }
    return chosen;
}

void ChooseNetwork::nextPressed() {
    const ChooserOutcome outcome = navigation::chooserNext(settings(), selection());
    switch (outcome.kind) {
        case ChooserOutcome::Kind::MissingOperation:
            dialogs().message(this,
                              tr("Please select the desired operation: Encode Network "
                                 "or Recall Network."),
                              Dialogs::Icon::Information);
            return;
        case ChooserOutcome::Kind::MissingType:
            dialogs().message(this, tr("Please select a network type."),
                              Dialogs::Icon::Information);
            return;
        case ChooserOutcome::Kind::NotInThisVersion:
            hide();
            dialogs().message(this, tr("Not in this version"), Dialogs::Icon::None);
            dialogs().quit();
            return;
        case ChooserOutcome::Kind::Show:
            wizard().show(outcome.next);
            return;
    }
}

}  // namespace vornetica
