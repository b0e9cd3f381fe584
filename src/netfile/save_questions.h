#pragma once

#include <string>

namespace vornetica {

// Whether saving a network to `path` would replace a file the user already has: the
// name exists and is not a folder (a folder is never written over; the save then
// reports that it cannot write). The save asks before it replaces such a file.
bool saveWouldReplaceFile(const std::string& path);

}  // namespace vornetica
