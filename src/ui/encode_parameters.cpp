#include "ui/encode_parameters.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/user_error.h"
#include "ui/choose_threshold.h"
#include "ui/parameter_help.h"
#include "ui/screen_parts.h"
#include "wizard/parameter_screens.h"

namespace vornetica {

ParameterScreen::ParameterScreen(Wizard& wizard, const char* name, const QString& caption)
    : WizardScreen(wizard) {
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
}

void ParameterScreen::build(const std::vector<Field>& left, const std::vector<Field>& right) {
    std::vector<QWidget*> order;
    const auto column = [&](const std::vector<Field>& fields) {
        auto* form = new QFormLayout();
        form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
        for (const Field& field : fields) {
            QLineEdit* box = makeTextBox(this, field.name, field.text, field.tooltip);
            box->setFixedWidth(90);
            attachParameterHelp(box, objectName());
            auto* label = new QLabel(field.label, this);
            label->setBuddy(box);
            form->addRow(label, box);
            boxes_[field.name] = box;
            order.push_back(box);
        }
        return form;
    };
    auto* columns = new QHBoxLayout();
    columns->addLayout(column(left));
    if (!right.empty()) {
        columns->addSpacing(24);
        columns->addLayout(column(right));
    }
    columns->addStretch(1);

    auto* next = makeButton(this, "cmdNext", tr("Next"));
    auto* back = makeButton(this, "cmdBack", tr("Back"));
    auto* cancel = makeButton(this, "cmdCancel", tr("Cancel"));
    auto* help = makeButton(this, "cmdHelp", tr("Help"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->addLayout(columns);
    layout->addSpacing(16);
    layout->addLayout(buttonRow({back, next, cancel, help}));

    for (std::size_t i = 0; i + 1 < order.size(); ++i) {
        QWidget::setTabOrder(order[i], order[i + 1]);
    }
    if (!order.empty()) {
        QWidget::setTabOrder(order.back(), next);
    }
    chainTabOrder({next, back, cancel, help});
    bindKeys(next, cancel);
    connect(next, &QPushButton::clicked, this, [this] { nextPressed(); });
    connect(back, &QPushButton::clicked, this,
            [this] { this->wizard().show(navigation::parameterBack(settings())); });
    connect(cancel, &QPushButton::clicked, this, [this] { cancelPressed(); });
    connect(help, &QPushButton::clicked, this, [this] { helpPressed(); });
    setFixedSize(sizeHint().expandedTo(QSize(460, 0)));
}

std::string ParameterScreen::textOf(const char* name) const {
    return boxes_.at(name)->text().toStdString();
}

void ParameterScreen::nextPressed() {
    try {
        storeFields();
    } catch (const UserError& error) {
        dialogs().message(this, QString::fromStdString(error.what()), Dialogs::Icon::Warning);
        return;
    }
    afterStore();
    wizard().show(navigation::afterParameterNext(settings()));
}

EncodeBPN::EncodeBPN(Wizard& wizard)
    : ParameterScreen(wizard, "EncodeBPN", tr("Encode Backpropagation")) {
    const EncodeBPNTexts defaults;
    build(
        {
            {"InputSize", fieldLabel(labels::kInputSize), defaults.InputSize,
             tr("Dimension of the input vectors.")},
            {"HiddenSize", fieldLabel(labels::kHiddenSize), defaults.HiddenSize,
             tr("Dimension of the hidden layer (number of hidden nodes).")},
            {"OutputSize", fieldLabel(labels::kOutputSize), defaults.OutputSize, {}},
            {"ErrorThreshold", fieldLabel(labels::kErrorThreshold), defaults.ErrorThreshold, {}},
            {"MaxIterations", fieldLabel(labels::kMaxIterations), defaults.MaxIterations, {}},
        },
        {
            {"InputScale", fieldLabel(labels::kInputScale), defaults.InputScale, {}},
            {"OutputScale", fieldLabel(labels::kOutputScale), defaults.OutputScale, {}},
            {"Alpha", fieldLabel(labels::kAlpha), defaults.Alpha,
             tr("Controls input layer learning rate.")},
            {"Beta", fieldLabel(labels::kBeta), defaults.Beta,
             tr("Controls hidden layer learning rate.")},
        });
}

void EncodeBPN::storeFields() {
    EncodeBPNTexts texts;
    texts.InputSize = textOf("InputSize");
    texts.HiddenSize = textOf("HiddenSize");
    texts.OutputSize = textOf("OutputSize");
    texts.ErrorThreshold = textOf("ErrorThreshold");
    texts.MaxIterations = textOf("MaxIterations");
    texts.InputScale = textOf("InputScale");
    texts.OutputScale = textOf("OutputScale");
    texts.Alpha = textOf("Alpha");
    texts.Beta = textOf("Beta");
    storeEncodeBPN(settings(), texts);
}

void EncodeBPN::afterStore() {
    // The neuron function is asked on every Next, also on the way back to training.
    if (threshold_ == nullptr) {
        threshold_ = new ChooseThreshold(settings(), dialogs(), this);
    }
    threshold_->exec();
}

EncodeCPN::EncodeCPN(Wizard& wizard)
    : ParameterScreen(wizard, "EncodeCPN", tr("Encode Counterpropagation")) {
    const EncodeCPNTexts defaults;
    build({
        {"InputSize", fieldLabel(labels::kCpnInputSize), defaults.InputSize, {}},
        {"HiddenSize", fieldLabel(labels::kCpnHiddenSize), defaults.HiddenSize, {}},
        {"OutputSize", fieldLabel(labels::kCpnOutputSize), defaults.OutputSize, {}},
        {"Beta", fieldLabel(labels::kCpnBeta), defaults.Beta,
         tr("Controls input layer learnng rate.")},
        {"Gamma", fieldLabel(labels::kCpnGamma), defaults.Gamma,
         tr("Controls hidden layer learning rate.")},
        {"NumberTimeSteps", fieldLabel(labels::kCpnTimeSteps), defaults.NumberTimeSteps, {}},
    });
}

void EncodeCPN::storeFields() {
    EncodeCPNTexts texts;
    texts.InputSize = textOf("InputSize");
    texts.HiddenSize = textOf("HiddenSize");
    texts.OutputSize = textOf("OutputSize");
    texts.Beta = textOf("Beta");
    texts.Gamma = textOf("Gamma");
    texts.NumberTimeSteps = textOf("NumberTimeSteps");
    storeEncodeCPN(settings(), texts);
}

EncodeBSB::EncodeBSB(Wizard& wizard)
    : ParameterScreen(wizard, "EncodeBSB", tr("Encode Brain-State-in-a-Box")) {
    const EncodeBSBTexts defaults;
    build({
        {"InputSize", fieldLabel(labels::kInputSize), defaults.InputSize, {}},
        {"Alpha", fieldLabel(labels::kAlpha), defaults.Alpha, tr("Controls learning rate.")},
        {"ErrorThreshold", fieldLabel(labels::kErrorThreshold), defaults.ErrorThreshold, {}},
    });
}

void EncodeBSB::storeFields() {
    EncodeBSBTexts texts;
    texts.InputSize = textOf("InputSize");
    texts.Alpha = textOf("Alpha");
    texts.ErrorThreshold = textOf("ErrorThreshold");
    storeEncodeBSB(settings(), texts);
}

EncodeDA::EncodeDA(Wizard& wizard)
    : ParameterScreen(wizard, "EncodeDA", tr("Encode Discrete Autocorrelator")) {
    const EncodeDATexts defaults;
    build({
        {"InputSize", fieldLabel(labels::kDaInputSize), defaults.InputSize, {}},
    });
}

void EncodeDA::storeFields() {
    EncodeDATexts texts;
    texts.InputSize = textOf("InputSize");
    storeEncodeDA(settings(), texts);
}

}  // namespace vornetica
