#include <QApplication>

#include "base/random_source.h"
#include "settings/network_settings.h"
#include "ui/dialogs.h"
#include "ui/wizard.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vornetica"));

    vornetica::NetworkSettings settings;
    vornetica::RandomSource random;
    vornetica::QtDialogs dialogs;
    vornetica::Wizard wizard(settings, random, dialogs);
    vornetica::registerWizardScreens(wizard);
    vornetica::registerTrainingAndRecallScreens(wizard);
    wizard.show(vornetica::Screen::StartForm);
    return QApplication::exec();
}
