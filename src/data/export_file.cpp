#include "data/export_file.h"

#include "base/user_error.h"
#include "data/replacing_file.h"

namespace vornetica {

namespace {

bool needsQuotes(const std::string& field) {
    return field.find_first_of(",\"\r\n") != std::string::npos ||
           (!field.empty() && (field.front() == ' ' || field.back() == ' '));
}

std::string csvField(const std::string& field) {
    if (!needsQuotes(field)) {
        return field;
    }
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

}  // namespace

std::string csvText(const std::vector<std::vector<std::string>>& rows) {
    std::string text;
    for (const std::vector<std::string>& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            if (column > 0) {
                text += ',';
            }
            text += csvField(row[column]);
        }
        text += "\r\n";
    }
    return text;
}

void writeExportFile(const std::string& path, std::string_view bytes, FileCalls& calls) {
    if (path.empty()) {
        throw UserError("Please give a name for the file.");
    }
    ReplacingFile file(path, calls);
    file.write(bytes);
    if (!file.commit()) {
        throw UserError("The file \"" + path +
                        "\" could not be written; an existing file of that name is unchanged.");
    }
}

}  // namespace vornetica
