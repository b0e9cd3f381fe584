#include "base/number_chars.h"

#include <charconv>

namespace vornetica {

char* writeFileNumber(char* out, double value) {
    // The general form with 15 digits is "%.15g" by definition; "%.15G" differs
    // only in writing its letters (exponent, NAN, INF) in capitals.
    char* const end =
        std::to_chars(out, out + kFileNumberChars, value, std::chars_format::general, 15).ptr;
    for (char* at = out; at != end; ++at) {
        if (*at >= 'a' && *at <= 'z') {
            *at = static_cast<char>(*at - 'a' + 'A');
        }
    }
    return end;
}

void appendFileNumber(std::string& text, double value) {
    char buffer[kFileNumberChars];
    text.append(buffer, writeFileNumber(buffer, value));
}

}  // namespace vornetica
