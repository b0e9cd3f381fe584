#pragma once

#include <QString>

class QLineEdit;

namespace vornetica {

// What a parameter box does and its usual range, in a sentence or two, for the box
// `field` on the screen `screen` (both object names). Empty for an unknown box.
QString parameterHelp(const QString& screen, const QString& field);

// Gives `box` its help: as its tooltip when it has none of its own, and always as its
// What's This text (Shift+F1 in the box), so a box whose tooltip is fixed still says its range.
void attachParameterHelp(QLineEdit* box, const QString& screen);

}  // namespace vornetica
