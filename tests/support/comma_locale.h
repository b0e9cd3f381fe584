#pragma once

#include <string>

namespace vornetica::testing {

class TempDir;

// Sets the process locale to one whose decimal point is a comma for the life of
// the object, and puts the "C" locale back afterwards. When the machine has no
// such locale, one is built with localedef into a temporary folder if that tool
// and the locale sources exist. active() tells whether it worked.
class CommaLocale {
  public:
    CommaLocale();
    ~CommaLocale();
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool active() const { return active_; }

  private:
    bool trySystemLocales();
    bool tryBuiltLocale();

    const TempDir* folder_ = nullptr;
    bool active_ = false;
};

}  // namespace vornetica::testing
