#pragma once

#include <string>

namespace vornetica::cli {

// The manual of a topic: "" (the program), "train", "train bpn", "train cpn",
// "train bsb", "train da" or "recall".
std::string helpText(const std::string& topic);

// The short usage lines shown after a usage error, ending with where to find help.
std::string usageText(const std::string& topic);

}  // namespace vornetica::cli
