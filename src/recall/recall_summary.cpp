#include "recall/recall_summary.h"

#include <algorithm>
#include <cmath>

#include "base/number_chars.h"

namespace vornetica {

namespace {

bool isOneHot(std::span<const double> expected) {
    int ones = 0;
    for (const double value : expected) {
        if (value == 1.0) {
            ++ones;
        } else if (value != 0.0) {
            return false;
        }
    }
    return ones == 1;
}

std::string fileNumber(double value) {
    std::string text;
    appendFileNumber(text, value);
    return text;
}

std::string padded(const std::string& text, std::size_t width) {
    return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

std::string confusionText(const RecallSummary& summary) {
    const int classes = summary.outputs();
    std::size_t width = std::to_string(classes).size();
    for (int e = 0; e < classes; ++e) {
        for (int r = 0; r < classes; ++r) {
            width = std::max(width, std::to_string(summary.confusion(e, r)).size());
        }
    }
    std::string text =
        "confusion matrix (a row per expected class, a column per recalled class):\n";
    text += std::string(width, ' ');
    for (int r = 0; r < classes; ++r) {
        text += ' ' + padded(std::to_string(r + 1), width);
    }
    text += '\n';
    for (int e = 0; e < classes; ++e) {
        text += padded(std::to_string(e + 1), width);
        for (int r = 0; r < classes; ++r) {
            text += ' ' + padded(std::to_string(summary.confusion(e, r)), width);
        }
        text += '\n';
    }
    return text;
}

}  // namespace

RecallSummary::RecallSummary(int outputs) : outputs_(std::max(outputs, 0)) {
    // One output has no second class to confuse it with.
    oneHot_ = outputs_ >= 2;
    if (oneHot_ && outputs_ <= kMostConfusionClasses) {
        confusion_.assign(static_cast<std::size_t>(outputs_) * outputs_, 0);
    }
}

void RecallSummary::add(std::span<const double> output, std::span<const double> expected) {
    ++vectors_;
    for (std::size_t k = 0; k < output.size() && k < expected.size(); ++k) {
        const double error = expected[k] - output[k];
        squaredErrorSum_ += error * error;
        // A NaN output is the largest error there can be.
        if (!(std::abs(error) <= largestError_)) {
            largestError_ = std::abs(error);
        }
    }
    oneHot_ = oneHot_ && isOneHot(expected);
    if (!oneHot_) {
        return;
    }
    const int expectedClass = largestPlace(expected);
    const int recalledClass = largestPlace(output);
    right_ += expectedClass == recalledClass ? 1 : 0;
    if (!confusion_.empty() && recalledClass >= 0) {
        ++confusion_[static_cast<std::size_t>(expectedClass) * outputs_ + recalledClass];
    }
}

double RecallSummary::meanSquaredError() const {
    if (vectors_ == 0 || outputs_ == 0) {
        return 0.0;
    }
    return squaredErrorSum_ / (static_cast<double>(vectors_) * outputs_);
}

double RecallSummary::shareRight() const {
    return vectors_ == 0 ? 0.0 : static_cast<double>(right_) / static_cast<double>(vectors_);
}

std::int64_t RecallSummary::confusion(int expected, int recalled) const {
    if (!hasConfusion() || expected < 0 || recalled < 0 || expected >= outputs_ ||
        recalled >= outputs_) {
        return 0;
    }
    return confusion_[static_cast<std::size_t>(expected) * outputs_ + recalled];
}

int largestPlace(std::span<const double> values) {
    int place = -1;
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (place < 0 || values[k] > values[static_cast<std::size_t>(place)]) {
            place = static_cast<int>(k);
        }
    }
    return place;
}

std::string summaryText(const RecallSummary& summary) {
    std::string text = "vectors compared: " + std::to_string(summary.vectors()) + '\n';
    text += "mean squared error: " + fileNumber(summary.meanSquaredError()) + '\n';
    text += "largest error: " + fileNumber(summary.largestError()) + '\n';
    if (!summary.classified()) {
        return text;
    }
    text += "classified right: " + std::to_string(summary.classifiedRight()) + " of " +
            std::to_string(summary.vectors()) + " (" + fileNumber(100.0 * summary.shareRight()) +
            "%)\n";
    if (summary.hasConfusion()) {
        text += confusionText(summary);
    }
    return text;
}

}  // namespace vornetica
