#include "ui/screen_parts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vornetica {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& tooltip) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tooltip);
    button->setAutoDefault(false);
    button->setMinimumWidth(88);
    return button;
}

QLineEdit* makeTextBox(QWidget* parent, const char* name, const std::string& text,
                       const QString& tooltip) {
    auto* box = new QLineEdit(QString::fromStdString(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(tooltip);
    return box;
}

QString fieldLabel(const char* label) {
    return QString::fromUtf8(label) + QLatin1Char(':');
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout();
    row->addStretch(1);
    for (QPushButton* button : buttons) {
        row->addWidget(button);
    }
    return row;
}

void chainTabOrder(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* widget : widgets) {
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
}

}  // namespace vornetica
