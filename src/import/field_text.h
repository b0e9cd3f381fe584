#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vornetica {

// Reads a table field as a number: blanks around it, an optional sign, digits
// with "." (or "," with a decimal comma) and an optional exponent. Infinities,
// NaN and values beyond the range of a double are refused.
bool parseFieldNumber(std::string_view text, bool decimalComma, double& value);

// Why parseFieldNumber refused a text, for a message: the text quoted and cut,
// then "is not a number" or "is beyond the range of a number".
std::string refusedFieldText(std::string_view text, bool decimalComma);

// The text without blanks and tabs on either side.
std::string_view trimBlanks(std::string_view text);

// Splits one line of a delimited table into fields. A field may be quoted ("..."
// with "" for a quote inside); the quotes are removed. With the separator ' '
// any run of blanks and tabs separates and blanks at either end are dropped.
class FieldSplitter {
  public:
    explicit FieldSplitter(char separator) : separator_(separator) {}

    // Splits `line` into fields(), valid until the next call. Returns an empty text
    // on success, otherwise what is wrong, and the 1-based column in *column.
    std::string split(std::string_view line, int* column);
    const std::vector<std::string_view>& fields() const { return fields_; }

  private:
    std::string takeQuoted(std::string_view line, std::size_t& pos);

    char separator_;
    std::vector<std::string_view> fields_;
    std::string unquoted_;  // the quoted fields' texts, reused from line to line
};

}  // namespace vornetica
