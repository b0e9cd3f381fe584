#include "ui/choose_network.h"
#include "ui/encode_data_entry.h"
#include "ui/encode_parameters.h"
#include "ui/start_form.h"
#include "ui/training_files.h"
#include "ui/wizard.h"

namespace vornetica {

namespace {

template <typename Form>
void registerForm(Wizard& wizard, Screen screen) {
    wizard.registerScreen(screen, [](Wizard& owner) { return new Form(owner); });
}

}  // namespace

void registerWizardScreens(Wizard& wizard) {
    registerForm<StartForm>(wizard, Screen::StartForm);
    registerForm<ChooseNetwork>(wizard, Screen::ChooseNetwork);
    registerForm<EncodeBPN>(wizard, Screen::EncodeBPN);
    registerForm<EncodeCPN>(wizard, Screen::EncodeCPN);
    registerForm<EncodeBSB>(wizard, Screen::EncodeBSB);
    registerForm<EncodeDA>(wizard, Screen::EncodeDA);
    registerForm<EncodeDataEntry>(wizard, Screen::EncodeDataEntry);
    registerForm<EncodeDataEntry2>(wizard, Screen::EncodeDataEntry2);
    registerForm<TrainingFiles>(wizard, Screen::TrainingFiles);
}

}  // namespace vornetica
