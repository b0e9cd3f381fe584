#include "import/field_text.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "base/number_text.h"

namespace vornetica {

namespace {

// Longer than any number a table holds; a longer field is refused, not copied.
constexpr std::size_t kLongestNumber = 200;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::errc readDouble(std::string_view text, bool decimalComma, double& value) {
    text = trimBlanks(text);
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+') {
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > kLongestNumber) {
        return std::errc::invalid_argument;
    }
    char copy[kLongestNumber];
    if (decimalComma) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            copy[i] = text[i] == ',' ? '.' : text[i];
        }
        text = std::string_view(copy, text.size());
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{}) {
        return error;
    }
    // from_chars takes "inf" and "nan", which no training data can hold.
    if (end != text.data() + text.size() || !std::isfinite(value)) {
        return std::errc::invalid_argument;
    }
    return std::errc{};
}

}  // namespace

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool parseFieldNumber(std::string_view text, bool decimalComma, double& value) {
    return readDouble(text, decimalComma, value) == std::errc{};
}

std::string refusedFieldText(std::string_view text, bool decimalComma) {
    if (trimBlanks(text).empty()) {
        return "the field is empty";
    }
    double value = 0.0;
    if (readDouble(text, decimalComma, value) == std::errc::result_out_of_range) {
        return quotedExcerpt(text) + " is beyond the range of a number";
    }
    return quotedExcerpt(text) + " is not a number";
}

// Takes the quoted field that begins at `pos` into unquoted_, leaving `pos` after
// its closing quote. Returns what is wrong, or an empty text.
std::string FieldSplitter::takeQuoted(std::string_view line, std::size_t& pos) {
    const std::size_t start = unquoted_.size();
    for (++pos; pos < line.size(); ++pos) {
        if (line[pos] != '"') {
            unquoted_.push_back(line[pos]);
        } else if (pos + 1 < line.size() && line[pos + 1] == '"') {
            unquoted_.push_back('"');
            ++pos;
        } else {
            ++pos;
            fields_.emplace_back(unquoted_.data() + start, unquoted_.size() - start);
            return {};
        }
    }
    return "a quoted field has no closing quote on its line";
}

std::string FieldSplitter::split(std::string_view line, int* column) {
    fields_.clear();
    unquoted_.clear();
    // Quoted texts are never longer than the line, so the views into unquoted_
    // stay valid while it grows.
    unquoted_.reserve(line.size());
    std::size_t pos = 0;
    const bool blanks = separator_ == ' ';
    const auto skipBlanks = [&] {
        while (pos < line.size() && isBlank(line[pos]) && (blanks || line[pos] != separator_)) {
            ++pos;
        }
    };
    for (;;) {
        skipBlanks();
        if (blanks && pos == line.size()) {
            break;
        }
        *column = static_cast<int>(fields_.size()) + 1;
        if (pos < line.size() && line[pos] == '"') {
            if (std::string problem = takeQuoted(line, pos); !problem.empty()) {
                return problem;
            }
            if (!blanks) {
                skipBlanks();
            }
            if (pos < line.size() && line[pos] != separator_ && !isBlank(line[pos])) {
                return "text follows the closing quote of a field";
            }
        } else {
            std::size_t stop = pos;
            if (blanks) {
                while (stop < line.size() && !isBlank(line[stop])) {
                    ++stop;
                }
            } else {
                stop = line.find(separator_, pos);
                stop = stop == std::string_view::npos ? line.size() : stop;
            }
            fields_.push_back(trimBlanks(line.substr(pos, stop - pos)));
            pos = stop;
        }
        if (pos == line.size()) {
            break;
        }
        if (!blanks) {
            ++pos;  // past the separator
        }
    }
    return {};
}

}  // namespace vornetica
