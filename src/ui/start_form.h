#pragma once

#include "ui/wizard.h"

namespace vornetica {

// The start screen: the program's name, a picture of a small network, Next and Cancel.
class StartForm : public WizardScreen {
    Q_OBJECT
  public:
    explicit StartForm(Wizard& wizard);
};

}  // namespace vornetica
