#include "recall/record_files.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "data/number_text.h"
#include "settings/user_error.h"

namespace vornetica {

namespace {

std::string temporaryPathFor(const std::string& path) {
    return path + ".vornetica-tmp";
}

void removeQuietly(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

void writeValues(const std::string& target, const std::string& temporary,
                 std::span<const double> values) {
    if (target.empty()) {
        throw UserError("Please enter a file name for the record files.");
    }
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    for (const double value : values) {
        out << fileNumberText(value) << "\r\n";
    }
    out.close();
    if (!out) {
        removeQuietly(temporary);
        throw UserError("Cannot write the record file " + target + ".");
    }
}

void moveIntoPlace(const std::string& temporary, const std::string& target) {
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) {
        removeQuietly(temporary);
        throw UserError("Cannot write the record file " + target + ": " + error.message() + ".");
    }
}

}  // namespace

void writeRecordFiles(const std::string& inputPath, std::span<const double> inputs,
                      const std::string& outputPath, std::span<const double> outputs) {
    if (inputPath == outputPath) {
        throw UserError("The input and output record files must have different names.");
    }
    const std::string inputTemporary = temporaryPathFor(inputPath);
    const std::string outputTemporary = temporaryPathFor(outputPath);
    writeValues(inputPath, inputTemporary, inputs);
    try {
        writeValues(outputPath, outputTemporary, outputs);
    } catch (const UserError&) {
        removeQuietly(inputTemporary);
        throw;
    }
    try {
        moveIntoPlace(inputTemporary, inputPath);
    } catch (const UserError&) {
        removeQuietly(outputTemporary);
        throw;
    }
    moveIntoPlace(outputTemporary, outputPath);
}

}  // namespace vornetica
