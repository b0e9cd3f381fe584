#include "import/table_readers.h"

#include <charconv>
#include <optional>
#include <span>

#include "base/number_text.h"
#include "base/user_error.h"
#include "import/field_text.h"

namespace vornetica {

namespace {

// The first lines, enough to tell the format, the separator and the header.
constexpr int kSampleLines = 30;
// A training data file counts its vectors in 16 bits, and so do the sizes.
constexpr long long kMostVectors = 32767;
constexpr std::string_view kSnnsTitle = "SNNS pattern definition file";

[[noreturn]] void refuse(const std::string& place, const std::string& what) {
    throw UserError(place + what + ".");
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::vector<std::string_view> blankTokens(std::string_view line) {
    std::vector<std::string_view> tokens;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) {
            ++pos;
        }
        std::size_t stop = pos;
        while (stop < line.size() && line[stop] != ' ' && line[stop] != '\t') {
            ++stop;
        }
        if (stop > pos) {
            tokens.push_back(line.substr(pos, stop - pos));
        }
        pos = stop;
    }
    return tokens;
}

std::optional<long long> wholeNumber(std::string_view text) {
    text = trimBlanks(text);
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// A count of a file's header: a whole number from 0 to 32767.
int countOf(std::string_view text, const std::string& place, const char* what) {
    const std::optional<long long> value = wholeNumber(text);
    if (!value || *value < 0 || *value > kMostVectors) {
        refuse(place,
               quotedExcerpt(text) + " is not " + what + " (a whole number from 0 to 32767)");
    }
    return static_cast<int>(*value);
}

std::vector<std::string> sampleLines(const std::string& path) {
    LineSource source(path);
    std::vector<std::string> lines;
    std::string_view line;
    while (static_cast<int>(lines.size()) < kSampleLines && source.next(line)) {
        if (!trimBlanks(line).empty()) {
            lines.emplace_back(line);
        }
    }
    return lines;
}

// Splits blank-separated tokens across lines, as FANN and SNNS files are read.
class TokenStream {
  public:
    TokenStream(LineSource& source, bool hashComments, std::string_view firstLine = {})
        : source_(source), rest_(firstLine), comments_(hashComments), line_(source.line()) {}

    bool next(std::string_view& token) {
        for (;;) {
            while (!rest_.empty() && (rest_.front() == ' ' || rest_.front() == '\t')) {
                rest_.remove_prefix(1);
            }
            if (!rest_.empty() && !(comments_ && rest_.front() == '#')) {
                break;
            }
            if (!source_.next(rest_)) {
                return false;
            }
            line_ = source_.line();
            column_ = 0;
        }
        std::size_t stop = 0;
        while (stop < rest_.size() && rest_[stop] != ' ' && rest_[stop] != '\t') {
            ++stop;
        }
        token = rest_.substr(0, stop);
        rest_.remove_prefix(stop);
        ++column_;
        return true;
    }
    std::int64_t line() const { return line_; }
    int column() const { return column_; }
    std::int64_t bytesRead() const { return source_.bytesRead(); }

  private:
    LineSource& source_;
    std::string_view rest_;
    bool comments_;
    std::int64_t line_;
    int column_ = 0;
};

struct VectorCounts {
    int vectors = 0;
    int inputs = 0;
    int outputs = 0;
};

// Hands `counts.vectors` vectors of inputs and outputs to the visitor, then makes
// sure nothing but comments follows.
void readVectors(TokenStream& tokens, const std::string& path, const VectorCounts& counts,
                 const char* announcer, RowVisitor& visitor) {
    const int width = counts.inputs + counts.outputs;
    std::string_view token;
    for (int v = 0; v < counts.vectors; ++v) {
        for (int c = 0; c < width; ++c) {
            if (!tokens.next(token)) {
                throw UserError(path + ": the file ends within vector " + std::to_string(v + 1) +
                                " of the " + std::to_string(counts.vectors) + " that " + announcer +
                                " announces.");
            }
            visitor.value(c, token, tokens.line(), tokens.column());
        }
        if (!visitor.endRow(tokens.bytesRead())) {
            return;
        }
    }
    if (tokens.next(token)) {
        refuse(placeLabel(path, tokens.line(), tokens.column()),
               quotedExcerpt(token) + " follows the last of the " + std::to_string(counts.vectors) +
                   " vectors that " + announcer + " announces");
    }
}

// FANN: the first line holds the vector count, the inputs and the outputs.
VectorCounts readFannHead(LineSource& source) {
    std::string_view line;
    while (source.next(line) && trimBlanks(line).empty()) {
    }
    const std::string place = placeLabel(source.path(), source.line());
    const std::vector<std::string_view> head = blankTokens(line);
    if (head.size() != 3) {
        refuse(place,
               "the first line of a FANN data file holds three numbers (vectors, inputs, "
               "outputs); found " +
                   quotedExcerpt(trimBlanks(line)));
    }
    VectorCounts counts;
    counts.vectors = countOf(head[0], place, "a vector count");
    counts.inputs = countOf(head[1], place, "a number of inputs");
    counts.outputs = countOf(head[2], place, "a number of outputs");
    return counts;
}

// SNNS: a title line, then "name : value" lines until the first value.
VectorCounts readSnnsHead(LineSource& source, std::string_view& firstData) {
    std::string_view line;
    while (source.next(line) && trimBlanks(line).empty()) {
    }
    if (!startsWith(trimBlanks(line), kSnnsTitle)) {
        refuse(placeLabel(source.path(), source.line()),
               "an SNNS pattern file begins with \"SNNS pattern definition file\"; found " +
                   quotedExcerpt(trimBlanks(line)));
    }
    std::optional<int> patterns, inputs, outputs;
    firstData = {};
    while (source.next(line)) {
        const std::string_view text = trimBlanks(line);
        if (text.empty() || text.front() == '#' || startsWith(text, "generated at")) {
            continue;
        }
        const std::string place = placeLabel(source.path(), source.line());
        const std::size_t colon = text.find(':');
        if (colon == std::string_view::npos) {
            if (!patterns || !inputs || !outputs) {
                refuse(place,
                       "the counts \"No. of patterns\", \"No. of input units\" and "
                       "\"No. of output units\" must come before the values; found " +
                           quotedExcerpt(text));
            }
            firstData = line;
            break;
        }
        const std::string_view name = trimBlanks(text.substr(0, colon));
        const std::string_view value = trimBlanks(text.substr(colon + 1));
        if (name == "No. of patterns") {
            patterns = countOf(value, place, "a number of patterns");
        } else if (name == "No. of input units") {
            inputs = countOf(value, place, "a number of input units");
        } else if (name == "No. of output units") {
            outputs = countOf(value, place, "a number of output units");
        } else if ((startsWith(name, "No. of variable") || name == "No. of classes") &&
                   value != "0") {
            refuse(place,
                   "files with variable dimensions or classes are not read; save the "
                   "patterns with fixed dimensions");
        }
    }
    if (firstData.empty() && (!patterns || !inputs || !outputs)) {
        throw UserError(source.path() +
                        ": the file lacks one of the counts \"No. of patterns\", \"No. of input "
                        "units\" and \"No. of output units\".");
    }
    return {*patterns, *inputs, *outputs};
}

std::vector<std::string> vectorColumnNames(const VectorCounts& counts) {
    std::vector<std::string> names;
    for (int i = 1; i <= counts.inputs; ++i) {
        names.push_back("input " + std::to_string(i));
    }
    for (int i = 1; i <= counts.outputs; ++i) {
        names.push_back("output " + std::to_string(i));
    }
    return names;
}

bool looksLikeFann(const std::vector<std::string>& sample) {
    if (sample.size() < 2) {
        return false;
    }
    const std::vector<std::string_view> head = blankTokens(sample[0]);
    if (head.size() != 3) {
        return false;
    }
    const std::optional<long long> inputs = wholeNumber(head[1]);
    const std::optional<long long> outputs = wholeNumber(head[2]);
    if (!wholeNumber(head[0]) || !inputs || !outputs || *inputs < 1) {
        return false;
    }
    const bool inputsFit = static_cast<long long>(blankTokens(sample[1]).size()) == *inputs;
    const bool outputsFit = sample.size() < 3 || *outputs == 0 ||
                            static_cast<long long>(blankTokens(sample[2]).size()) == *outputs;
    return inputsFit && outputsFit;
}

int fieldCount(FieldSplitter& splitter, std::string_view line) {
    int column = 0;
    return splitter.split(line, &column).empty() ? static_cast<int>(splitter.fields().size()) : -1;
}

// Whether every line splits into the same number of fields, more than one.
bool splitsEvenly(const std::vector<std::string>& sample, char separator) {
    FieldSplitter splitter(separator);
    const int first = fieldCount(splitter, sample.front());
    for (const std::string& line : sample) {
        if (fieldCount(splitter, line) != first) {
            return false;
        }
    }
    return first > 1;
}

// Whether the fields of the lines after the first (which may be a header) hold
// numbers with a decimal comma and none with a decimal point.
bool fieldsUseDecimalComma(const std::vector<std::string>& sample, char separator) {
    FieldSplitter splitter(separator);
    bool comma = false;
    bool point = false;
    for (std::size_t i = sample.size() > 1 ? 1 : 0; i < sample.size(); ++i) {
        int column = 0;
        if (!splitter.split(sample[i], &column).empty()) {
            continue;
        }
        for (const std::string_view field : splitter.fields()) {
            double value = 0.0;
            const std::size_t at = field.find(',');
            comma = comma || (at != std::string_view::npos && at + 1 < field.size() &&
                              parseFieldNumber(field, true, value));
            point = point || (field.find('.') != std::string_view::npos &&
                              parseFieldNumber(field, false, value));
        }
    }
    return comma && !point;
}

char detectSeparator(const std::vector<std::string>& sample) {
    for (const char separator : {'\t', ';'}) {
        if (splitsEvenly(sample, separator)) {
            return separator;
        }
    }
    const bool commas = splitsEvenly(sample, ',');
    const bool blanks = splitsEvenly(sample, kBlanks);
    // "1,5 2,5" splits evenly both ways; the decimal commas tell which it is.
    if (blanks && (!commas || fieldsUseDecimalComma(sample, kBlanks))) {
        return kBlanks;
    }
    return ',';
}

// A header row has a field that is not a number where the next row has one (a
// column of class labels is text in every row, the header included).
bool detectHeader(const std::vector<std::string>& sample, const TableLayout& layout) {
    FieldSplitter first(layout.separator);
    FieldSplitter second(layout.separator);
    int column = 0;
    if (!first.split(sample[0], &column).empty()) {
        return false;
    }
    const bool secondRow = sample.size() > 1 && second.split(sample[1], &column).empty();
    for (std::size_t c = 0; c < first.fields().size(); ++c) {
        double value = 0.0;
        if (parseFieldNumber(first.fields()[c], layout.decimalComma, value)) {
            continue;
        }
        if (!secondRow || c >= second.fields().size() ||
            parseFieldNumber(second.fields()[c], layout.decimalComma, value)) {
            return true;
        }
    }
    return false;
}

// Whether every line ends in the separator itself (not in a quoted empty field),
// with more than one field. A header row may end without it.
bool everyLineEndsInSeparator(std::span<const std::string> sample, char separator) {
    if (separator == kBlanks) {
        return false;
    }
    FieldSplitter splitter(separator);
    for (const std::string& line : sample) {
        std::string_view rest = line;
        while (!rest.empty() && rest.back() != separator &&
               (rest.back() == ' ' || rest.back() == '\t')) {
            rest.remove_suffix(1);
        }
        if (rest.empty() || rest.back() != separator || fieldCount(splitter, line) < 2) {
            return false;
        }
    }
    return true;
}

TableLayout delimitedLayout(const std::vector<std::string>& sample, const ImportChoices& choices) {
    TableLayout layout;
    layout.format = TableFormat::Delimited;
    if (sample.empty()) {
        layout.separator = choices.separator == kDetectSeparator ? ',' : choices.separator;
        layout.decimalComma = choices.decimalComma.value_or(false);
        layout.header = choices.header == HeaderRow::Yes;
        return layout;
    }
    layout.separator =
        choices.separator == kDetectSeparator ? detectSeparator(sample) : choices.separator;
    layout.decimalComma = choices.decimalComma.value_or(
        layout.separator != ',' && fieldsUseDecimalComma(sample, layout.separator));
    layout.header = choices.header == HeaderRow::Auto ? detectHeader(sample, layout)
                                                      : choices.header == HeaderRow::Yes;
    FieldSplitter splitter(layout.separator);
    const std::size_t dataRow = layout.header && sample.size() > 1 ? 1 : 0;
    layout.trailingSeparator =
        everyLineEndsInSeparator(std::span(sample).subspan(dataRow), layout.separator);
    const int columns =
        std::max(fieldCount(splitter, sample[dataRow]) - (layout.trailingSeparator ? 1 : 0), 0);
    if (layout.header && fieldCount(splitter, sample[0]) >= 0) {
        for (const std::string_view name : splitter.fields()) {
            layout.columnNames.emplace_back(name);
        }
    }
    layout.columnNames.resize(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        if (layout.columnNames[c].empty()) {
            layout.columnNames[c] = "column " + std::to_string(c + 1);
        }
    }
    return layout;
}

TableLayout vectorLayout(TableFormat format, const VectorCounts& counts) {
    TableLayout layout;
    layout.format = format;
    layout.separator = kBlanks;
    layout.columnNames = vectorColumnNames(counts);
    layout.fileInputs = counts.inputs;
    return layout;
}

void readDelimited(const std::string& path, const TableLayout& layout, RowVisitor& visitor) {
    LineSource source(path);
    FieldSplitter splitter(layout.separator);
    const std::size_t columns = layout.columnNames.size();
    bool headerPending = layout.header;
    std::string_view line;
    while (source.next(line)) {
        if (trimBlanks(line).empty()) {
            continue;
        }
        int column = 0;
        if (std::string problem = splitter.split(line, &column); !problem.empty()) {
            refuse(placeLabel(path, source.line(), column), problem);
        }
        const std::vector<std::string_view>& fields = splitter.fields();
        std::size_t count = fields.size();
        if (layout.trailingSeparator && count == columns + 1 && fields.back().empty()) {
            --count;
        }
        if (count != columns) {
            refuse(placeLabel(path, source.line()),
                   std::to_string(count) + (count == 1 ? " field" : " fields") +
                       " where the first data row has " + std::to_string(columns));
        }
        if (headerPending) {
            headerPending = false;
            continue;
        }
        for (std::size_t c = 0; c < columns; ++c) {
            visitor.value(static_cast<int>(c), fields[c], source.line(), static_cast<int>(c) + 1);
        }
        if (!visitor.endRow(source.bytesRead())) {
            return;
        }
    }
}

}  // namespace

std::string placeLabel(const std::string& path, std::int64_t line, int column) {
    std::string label = path + ", line " + std::to_string(line);
    if (column > 0) {
        label += ", column " + std::to_string(column);
    }
    return label + ": ";
}

TableLayout detectLayout(const std::string& path, const ImportChoices& choices) {
    const std::vector<std::string> sample = sampleLines(path);
    // A spreadsheet's "Unicode text" is UTF-16: every other byte is zero.
    if (!sample.empty() &&
        (startsWith(sample[0], "\xFF\xFE") || startsWith(sample[0], "\xFE\xFF"))) {
        throw UserError(path + ": the table is UTF-16 text; save it as CSV or as UTF-8 text.");
    }
    TableFormat format = choices.format;
    if (format == TableFormat::Auto) {
        format = !sample.empty() && startsWith(trimBlanks(sample[0]), kSnnsTitle)
                     ? TableFormat::Snns
                 : looksLikeFann(sample) ? TableFormat::Fann
                                         : TableFormat::Delimited;
    }
    if (format == TableFormat::Delimited) {
        return delimitedLayout(sample, choices);
    }
    LineSource source(path);
    if (format == TableFormat::Fann) {
        return vectorLayout(format, readFannHead(source));
    }
    std::string_view firstData;
    return vectorLayout(format, readSnnsHead(source, firstData));
}

void readRows(const std::string& path, const TableLayout& layout, RowVisitor& visitor) {
    if (layout.format == TableFormat::Delimited) {
        readDelimited(path, layout, visitor);
        return;
    }
    LineSource source(path);
    if (layout.format == TableFormat::Fann) {
        const VectorCounts counts = readFannHead(source);
        TokenStream tokens(source, false);
        readVectors(tokens, path, counts, "the first line", visitor);
        return;
    }
    std::string_view firstData;
    const VectorCounts counts = readSnnsHead(source, firstData);
    TokenStream tokens(source, true, firstData);
    readVectors(tokens, path, counts, "\"No. of patterns\"", visitor);
}

}  // namespace vornetica
