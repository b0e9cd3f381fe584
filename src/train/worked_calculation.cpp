#include "train/worked_calculation.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "base/number_text.h"
#include "base/user_error.h"
#include "data/replacing_file.h"

namespace vornetica {

std::vector<WorkedValue> WorkedUnit::all(const char* quantity) const {
    std::vector<WorkedValue> found;
    for (const WorkedValue& value : values) {
        if (std::strcmp(value.quantity, quantity) == 0) {
            found.push_back(value);
        }
    }
    return found;
}

double WorkedUnit::at(const char* quantity, int index1, int index2) const {
    for (const WorkedValue& value : values) {
        if (value.index1 == index1 && value.index2 == index2 &&
            std::strcmp(value.quantity, quantity) == 0) {
            return value.value;
        }
    }
    return std::numeric_limits<double>::quiet_NaN();
}

const char* const kTraceHeader = "unit,epoch,vector,quantity,index1,index2,value";

namespace {

std::string countText(long zeroBased) {
    return std::to_string(zeroBased + 1);
}

std::string indexText(int zeroBased) {
    return zeroBased < 0 ? std::string() : countText(zeroBased);
}

}  // namespace

std::string traceLines(const WorkedUnit& unit) {
    const std::string prefix =
        countText(unit.unit) + ',' + countText(unit.epoch) + ',' + countText(unit.vector) + ',';
    std::string text;
    for (const WorkedValue& value : unit.values) {
        text += prefix;
        text += value.quantity;
        text += ',';
        text += indexText(value.index1);
        text += ',';
        text += indexText(value.index2);
        text += ',';
        text += exactNumberText(value.value);
        text += '\n';
    }
    return text;
}

bool TraceCollector::keep(WorkedUnit&& unit) {
    if (!full()) {
        units_.push_back(std::move(unit));
    }
    return !full();
}

void writeTraceFile(const std::string& path, const std::vector<WorkedUnit>& units) {
    ReplacingFile file(path);
    file.write(kTraceHeader);
    file.write("\n");
    for (const WorkedUnit& unit : units) {
        file.write(traceLines(unit));
    }
    if (!file.commit()) {
        throw UserError("The trace file \"" + path + "\" could not be written.");
    }
}

}  // namespace vornetica
