#include "support/comma_locale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "support/temp_dir.h"

namespace vornetica::testing {

namespace {

bool setCommaLocale(const char* name) {
    if (std::setlocale(LC_ALL, name) == nullptr) {
        return false;
    }
    const std::lconv* conventions = std::localeconv();
    if (conventions->decimal_point[0] == ',') {
        return true;
    }
    std::setlocale(LC_ALL, "C");
    return false;
}

}  // namespace

CommaLocale::CommaLocale() {
    active_ = trySystemLocales() || tryBuiltLocale();
}

CommaLocale::~CommaLocale() {
    std::setlocale(LC_ALL, "C");
    if (folder_) {
        unsetenv("LOCPATH");
    }
}

bool CommaLocale::trySystemLocales() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (setCommaLocale(name)) {
            return true;
        }
    }
    return false;
}

// Building a locale takes seconds, so it is built once per test program.
bool CommaLocale::tryBuiltLocale() {
    if (!std::filesystem::exists("/usr/share/i18n/locales/de_DE")) {
        return false;
    }
    static TempDir folder;
    folder_ = &folder;
    const std::string target = folder.file("de_DE.UTF-8");
    if (!std::filesystem::exists(target)) {
        // localedef may report warnings and still build the locale.
        const std::string command = "localedef -i de_DE -f UTF-8 '" + target + "' >/dev/null 2>&1";
        static_cast<void>(std::system(command.c_str()));
        if (!std::filesystem::exists(target)) {
            return false;
        }
    }
    setenv("LOCPATH", folder.path().c_str(), 1);
    return setCommaLocale("de_DE.UTF-8");
}

}  // namespace vornetica::testing
