#include "ui/start_form.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <vector>

#include "ui/screen_parts.h"

namespace vornetica {

namespace {

// A three-layer network: every node of a layer joined to every node of the next.
QPixmap networkPicture() {
    constexpr int width = 300;
    constexpr int height = 170;
    QPixmap picture(width, height);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    const std::array<int, 3> layerSizes{4, 5, 3};
    std::vector<std::vector<QPointF>> nodes;
    for (std::size_t layer = 0; layer < layerSizes.size(); ++layer) {
        const double x = 50.0 + 100.0 * static_cast<double>(layer);
        const int count = layerSizes[layer];
        std::vector<QPointF> column;
        for (int i = 0; i < count; ++i) {
            const double y = height / 2.0 + (i - (count - 1) / 2.0) * 30.0;
            column.emplace_back(x, y);
        }
        nodes.push_back(column);
    }
    painter.setPen(QPen(QColor(0x70, 0x80, 0xa0), 1.0));
    for (std::size_t layer = 0; layer + 1 < nodes.size(); ++layer) {
        for (const QPointF& from : nodes[layer]) {
            for (const QPointF& to : nodes[layer + 1]) {
                painter.drawLine(from, to);
            }
        }
    }
    const std::array<QColor, 3> fills{QColor(0x4a, 0x90, 0xd9), QColor(0xe8, 0xa2, 0x3a),
                                      QColor(0x5c, 0xb8, 0x5c)};
    painter.setPen(QPen(Qt::black, 1.5));
    for (std::size_t layer = 0; layer < nodes.size(); ++layer) {
        painter.setBrush(fills[layer]);
        for (const QPointF& node : nodes[layer]) {
            painter.drawEllipse(node, 10.0, 10.0);
        }
    }
    return picture;
}

}  // namespace

StartForm::StartForm(Wizard& wizard) : WizardScreen(wizard) {
    setObjectName(QStringLiteral("StartForm"));
    setWindowTitle(tr("Vornetica"));

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(networkPicture());
    image->setAccessibleName(tr("A network of input, hidden and output nodes"));
    image->setAlignment(Qt::AlignCenter);

    auto* title = makeLabel(this, "Label1", tr("Vornetica 2.3"));
    QFont font = title->font();
    font.setPointSize(24);
    font.setBold(true);
    font.setItalic(true);
    title->setFont(font);
    title->setAlignment(Qt::AlignCenter);

    auto* next = makeButton(this, "cmdNext", tr("Next"));
    auto* cancel = makeButton(this, "cmdCancel", tr("Cancel"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 16);
    layout->addWidget(image);
    layout->addSpacing(12);
    layout->addWidget(title);
    layout->addSpacing(16);
    layout->addLayout(buttonRow({next, cancel}));

    chainTabOrder({next, cancel});
    bindKeys(next, cancel);
    connect(next, &QPushButton::clicked, this,
            [this] { this->wizard().show(Screen::ChooseNetwork); });
    connect(cancel, &QPushButton::clicked, this, [this] { cancelPressed(); });
    setFixedSize(sizeHint());
}

}  // namespace vornetica
