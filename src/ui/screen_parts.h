#pragma once

#include <QString>
#include <initializer_list>
#include <string>

class QBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace vornetica {

// Small builders shared by the screens, so every control gets its name, caption
// and tooltip in one line.
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& tooltip = {});
QLineEdit* makeTextBox(QWidget* parent, const char* name, const std::string& text,
                       const QString& tooltip = {});
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text);
// A field's label as its screen shows it: the core's label and a colon.
QString fieldLabel(const char* label);
// Buttons in a row, right-aligned.
QBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons);
// Tab moves through the widgets in the given order.
void chainTabOrder(std::initializer_list<QWidget*> widgets);

}  // namespace vornetica
