#pragma once

#include <stdexcept>
#include <string>

namespace vornetica {

// A failure the user caused or can mend (a bad file, a bad text, a size that does
// not fit in memory). Its message is shown to the user as it stands.
class UserError : public std::runtime_error {
  public:
    explicit UserError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vornetica
