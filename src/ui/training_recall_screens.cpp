#include "ui/encode_window.h"
#include "ui/recall_data_entry.h"
#include "ui/recall_loading.h"
#include "ui/wizard.h"

namespace vornetica {

void registerTrainingAndRecallScreens(Wizard& wizard) {
    wizard.registerScreen(Screen::EncodeWindow, [](Wizard& w) { return new EncodeWindow(w); });
    wizard.registerScreen(Screen::RecallBPN, [](Wizard& w) { return new RecallBPN(w); });
    wizard.registerScreen(Screen::RecallCPN, [](Wizard& w) { return new RecallCPN(w); });
    wizard.registerScreen(Screen::RecallBSB, [](Wizard& w) { return new RecallBSB(w); });
    wizard.registerScreen(Screen::RecallDA, [](Wizard& w) { return new RecallDA(w); });
    wizard.registerScreen(Screen::RecallDataEntry,
                          [](Wizard& w) { return new RecallDataEntry(w); });
}

}  // namespace vornetica
