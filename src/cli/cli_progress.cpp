#include "cli/cli_progress.h"

#include "base/number_text.h"

namespace vornetica::cli {

namespace {

// A terminal line is rewritten at most this often.
constexpr std::chrono::milliseconds kShowInterval{250};

std::string trimmedNumberText(double value) {
    std::string text = numberText(value);
    if (!text.empty() && text.front() == ' ') {
        text.erase(0, 1);
    }
    return text;
}

}  // namespace

ConsoleProgress::ConsoleProgress(std::ostream& err, bool terminal, NetworkKind kind, int limit)
    : err_(err), terminal_(terminal), kind_(kind), limit_(limit) {}

std::string ConsoleProgress::lineFor(const EpochReport& report) const {
    std::string unit;
    std::string measure;
    switch (kind_) {
        case NetworkKind::BPN:
            unit = "epoch";
            measure = "largest error signal";
            break;
        case NetworkKind::CPN:
            unit = "pair";
            measure = "largest change";
            break;
        case NetworkKind::BSB:
            unit = "pass";
            measure = "largest error";
            break;
        case NetworkKind::DA:
            unit = "vector";
            break;
    }
    std::string line = unit + " " + std::to_string(report.index + 1);
    if (limit_ > 0) {
        line += " (limit " + std::to_string(limit_) + ")";
    }
    if (!measure.empty()) {
        line += ", " + measure + " " + trimmedNumberText(report.largestError);
    }
    return line;
}

void ConsoleProgress::endOfEpoch(const EpochReport& report) {
    last_ = report;
    record_.add(report);
    if (!terminal_) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - lastShown_ < kShowInterval) {
        return;
    }
    lastShown_ = now;
    const std::string line = lineFor(report);
    // Blanks wipe what a longer earlier line left on the terminal.
    const std::size_t padding = shownWidth_ > line.size() ? shownWidth_ - line.size() : 0;
    err_ << '\r' << line << std::string(padding, ' ') << std::flush;
    shownWidth_ = line.size();
}

void ConsoleProgress::finish() {
    if (!last_) {
        return;
    }
    const std::string line = lineFor(*last_);
    if (terminal_) {
        const std::size_t padding = shownWidth_ > line.size() ? shownWidth_ - line.size() : 0;
        err_ << '\r' << line << std::string(padding, ' ') << '\n' << std::flush;
    } else {
        err_ << line << '\n' << std::flush;
    }
}

}  // namespace vornetica::cli
