#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vornetica {

// How close a batch of recalled vectors came to the outputs expected of them,
// kept as running figures so that a file of any length is summed in fixed memory.
//
// Classes: when every expected vector is one-hot (a single 1, the rest 0) the
// expected class is the place of its 1 and the recalled class the place of the
// largest output (the first of equals); the share classified right and the
// confusion matrix count those.
class RecallSummary {
  public:
    // A confusion matrix of more classes would not be read, and would cost
    // classes squared counts.
    static constexpr int kMostConfusionClasses = 64;

    explicit RecallSummary(int outputs);

    // One vector: `output` and `expected` both hold the outputs' count of values.
    void add(std::span<const double> output, std::span<const double> expected);

    int outputs() const { return outputs_; }
    std::int64_t vectors() const { return vectors_; }
    // The mean of (expected - output)^2 over every output of every vector; 0 for none.
    double meanSquaredError() const;
    // The largest |expected - output|; 0 for no vectors.
    double largestError() const { return largestError_; }

    // Whether every expected vector so far was one-hot (and there was one, of
    // two or more outputs): only then are the class figures below kept.
    bool classified() const { return vectors_ > 0 && oneHot_; }
    std::int64_t classifiedRight() const { return right_; }
    // classifiedRight / vectors, from 0 to 1.
    double shareRight() const;
    // Whether the confusion matrix is kept: classified, and no more classes
    // than kMostConfusionClasses.
    bool hasConfusion() const { return classified() && !confusion_.empty(); }
    // How many vectors of expected class `expected` were recalled as `recalled`.
    std::int64_t confusion(int expected, int recalled) const;

  private:
    int outputs_;
    std::int64_t vectors_ = 0;
    double squaredErrorSum_ = 0.0;
    double largestError_ = 0.0;
    bool oneHot_ = true;
    std::int64_t right_ = 0;
    std::vector<std::int64_t> confusion_;  // outputs x outputs, expected class first
};

// The place of the largest value, the first of equals (-1 for none).
int largestPlace(std::span<const double> values);

// The summary as the command line prints it: mean squared error and largest
// error, then for one-hot targets the share right and the confusion matrix.
// Each line ends with a line feed.
std::string summaryText(const RecallSummary& summary);

}  // namespace vornetica
