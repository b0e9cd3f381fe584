#include "netfile/save_questions.h"

#include <filesystem>
#include <system_error>

namespace vornetica {

bool saveWouldReplaceFile(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    return std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

}  // namespace vornetica
