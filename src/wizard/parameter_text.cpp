#include "wizard/parameter_text.h"

#include <cmath>
#include <string>

#include "base/number_text.h"
#include "base/rounding.h"
#include "base/user_error.h"

namespace vornetica {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

[[noreturn]] void refuse(std::string_view field, std::string_view text, const std::string& why) {
    throw UserError(std::string(field) + ": " + quotedExcerpt(trimBlanks(text)) + " " + why + ".");
}

}  // namespace

double parseRealField(std::string_view text, std::string_view field) {
    const std::string_view number = trimBlanks(text);
    double value = 0.0;
    if (!parseFileNumber(number, value)) {
        throw UserError(std::string(field) + ": " + badNumberText(number) + ".");
    }
    return value;
}

std::int16_t parseIntegerField(std::string_view text, std::string_view field) {
    const double rounded = roundHalfToEven(parseRealField(text, field));
    if (rounded < -32768.0 || rounded > 32767.0) {
        refuse(field, text, "is outside -32768 to 32767");
    }
    return static_cast<std::int16_t>(rounded);
}

std::int16_t parseSizeField(std::string_view text, std::string_view field) {
    const std::int16_t value = parseIntegerField(text, field);
    if (value < 1) {
        refuse(field, text, "is not allowed: the size must be 1 or more");
    }
    return value;
}

std::int16_t parseCountField(std::string_view text, std::string_view field) {
    const std::int16_t value = parseIntegerField(text, field);
    if (value < 0) {
        refuse(field, text, "is not allowed: the value must be 0 or more");
    }
    return value;
}

double parseNonZeroRealField(std::string_view text, std::string_view field) {
    const double value = parseRealField(text, field);
    if (value == 0.0) {
        refuse(field, text, "is not allowed: the value must not be 0");
    }
    return value;
}

double parsePositiveRealField(std::string_view text, std::string_view field) {
    const double value = parseRealField(text, field);
    if (!(value > 0.0)) {
        refuse(field, text, "is not allowed: the value must be above 0");
    }
    return value;
}

}  // namespace vornetica
