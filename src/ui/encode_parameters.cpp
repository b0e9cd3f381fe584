#include "ui/encode_parameters.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/parameter_screens.h"
#include "settings/user_error.h"
#include "ui/choose_threshold.h"
#include "ui/parameter_help.h"
#include "ui/screen_parts.h"

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

    auto* next = makeButton(this, "cmdNext", QStringLiteral("Next"));
    auto* back = makeButton(this, "cmdBack", QStringLiteral("Back"));
    auto* cancel = makeButton(this, "cmdCancel", QStringLiteral("Cancel"));
    auto* help = makeButton(this, "cmdHelp", QStringLiteral("Help"));

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
    : ParameterScreen(wizard, "EncodeBPN", QStringLiteral("Encode Backpropagation")) {
    const EncodeBPNTexts defaults;
    build(
        {
            {"InputSize", QStringLiteral("Enter size of input vectors:"), defaults.InputSize,
             QStringLiteral("Dimension of the input vectors.")},
            {"HiddenSize", QStringLiteral("Enter size of hidden layer:"), defaults.HiddenSize,
             QStringLiteral("Dimension of the hidden layer (number of hidden nodes).")},
            {"OutputSize",
             QStringLiteral("Enter size of output vectors:"),
             defaults.OutputSize,
             {}},
            {"ErrorThreshold",
             QStringLiteral("Enter error threshold value:"),
             defaults.ErrorThreshold,
             {}},
            {"MaxIterations",
             QStringLiteral("Enter maximum number of iterations:"),
             defaults.MaxIterations,
             {}},
        },
        {
            {"InputScale", QStringLiteral("Enter input scaling factor:"), defaults.InputScale, {}},
            {"OutputScale",
             QStringLiteral("Enter output scaling factor:"),
             defaults.OutputScale,
             {}},
            {"Alpha", QStringLiteral("Enter 'alpha' training value:"), defaults.Alpha,
             QStringLiteral("Controls input layer learning rate.")},
            {"Beta", QStringLiteral("Enter 'beta' training value:"), defaults.Beta,
             QStringLiteral("Controls hidden layer learning rate.")},
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
    : ParameterScreen(wizard, "EncodeCPN", QStringLiteral("Encode Counterpropagation")) {
    const EncodeCPNTexts defaults;
    build({
        {"InputSize", QStringLiteral("Enter Size of Input Vectors:"), defaults.InputSize, {}},
        {"HiddenSize", QStringLiteral("Enter Size of Hidden Layer:"), defaults.HiddenSize, {}},
        {"OutputSize", QStringLiteral("Enter Size of Output Vectors:"), defaults.OutputSize, {}},
        {"Beta", QStringLiteral("Enter 'Beta' Training Value:"), defaults.Beta,
         QStringLiteral("Controls input layer learnng rate.")},
        {"Gamma", QStringLiteral("Enter 'Gamma' Training Value:"), defaults.Gamma,
         QStringLiteral("Controls hidden layer learning rate.")},
        {"NumberTimeSteps",
         QStringLiteral("Enter Number of Time Steps:"),
         defaults.NumberTimeSteps,
         {}},
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
    : ParameterScreen(wizard, "EncodeBSB", QStringLiteral("Encode Brain-State-in-a-Box")) {
    const EncodeBSBTexts defaults;
    build({
        {"InputSize", QStringLiteral("Enter size of input vectors:"), defaults.InputSize, {}},
        {"Alpha", QStringLiteral("Enter 'alpha' training value:"), defaults.Alpha,
         QStringLiteral("Controls learning rate.")},
        {"ErrorThreshold",
         QStringLiteral("Enter error threshold value:"),
         defaults.ErrorThreshold,
         {}},
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
    : ParameterScreen(wizard, "EncodeDA", QStringLiteral("Encode Discrete Autocorrelator")) {
    const EncodeDATexts defaults;
    build({
        {"InputSize", QStringLiteral("Dimension of Input Vectors:"), defaults.InputSize, {}},
    });
}

void EncodeDA::storeFields() {
    EncodeDATexts texts;
    texts.InputSize = textOf("InputSize");
    storeEncodeDA(settings(), texts);
}

}  // namespace vornetica
