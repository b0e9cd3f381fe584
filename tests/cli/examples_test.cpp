// The real data sets in examples/: well-formed data files whose counts agree with
// the sizes their README trains them with.
#include <gtest/gtest.h>

#include <cmath>

#include "base/number_text.h"
#include "support/temp_dir.h"

namespace {

using vornetica::testing::readText;

std::string examplePath(const std::string& name) {
    return std::string(VORNETICA_EXAMPLES_DIR) + "/" + name;
}

// The numbers of a data file: one a line, each line ended with CR LF.
std::vector<double> numbersOf(const std::string& path) {
    const std::string text = readText(path);
    std::vector<double> numbers;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        double value = 0.0;
        EXPECT_TRUE(vornetica::parseFileNumber(text.substr(start, end - start), value))
            << path << ": \"" << text.substr(start, end - start) << "\"";
        numbers.push_back(value);
    }
    EXPECT_EQ(start, text.size()) << path << " does not end with CR LF";
    return numbers;
}

// The value of `--option N` in the README's train command for `kind`.
int readmeSize(const std::string& readme, const std::string& kind, const std::string& option) {
    const std::size_t command = readme.find("vornetica-cli train " + kind);
    EXPECT_NE(command, std::string::npos) << "no train " << kind << " command";
    const std::string rest = readme.substr(command, readme.find("```", command) - command);
    const std::size_t at = rest.find(option + " ");
    EXPECT_NE(at, std::string::npos) << option;
    return at == std::string::npos ? 0 : std::stoi(rest.substr(at + option.size() + 1));
}

struct SetCounts {
    std::size_t vectors = 0;
    std::size_t inputValues = 0;
};

SetCounts inputFile(const std::string& path, int inputSize) {
    const std::vector<double> numbers = numbersOf(path);
    EXPECT_FALSE(numbers.empty());
    const auto count = static_cast<std::size_t>(numbers.at(0));
    EXPECT_EQ(numbers.size() - 1, count * static_cast<std::size_t>(inputSize)) << path;
    return {count, numbers.size() - 1};
}

TEST(Examples, IrisFilesMatchTheSizesItsReadmeTrains) {
    const std::string readme = readText(examplePath("iris/README.md"));
    for (const std::string kind : {"bpn", "cpn"}) {
        const int in = readmeSize(readme, kind, "--input-size");
        const int out = readmeSize(readme, kind, "--output-size");
        const SetCounts train = inputFile(examplePath("iris/input.dat"), in);
        const SetCounts recall = inputFile(examplePath("iris/recall.dat"), in);
        EXPECT_EQ(train.vectors + recall.vectors, 150u);
        const std::vector<double> targets = numbersOf(examplePath("iris/output.dat"));
        const std::vector<double> expected = numbersOf(examplePath("iris/recall-expected.dat"));
        ASSERT_EQ(targets.size(), train.vectors * static_cast<std::size_t>(out));
        ASSERT_EQ(expected.size(), recall.vectors * static_cast<std::size_t>(out));
        // One-hot targets, and inputs within the -1..1 the README promises.
        for (std::size_t v = 0; v < train.vectors; ++v) {
            double sum = 0.0;
            for (int k = 0; k < out; ++k) {
                const double t = targets[v * static_cast<std::size_t>(out) + k];
                EXPECT_TRUE(t == 0.0 || t == 1.0);
                sum += t;
            }
            EXPECT_EQ(sum, 1.0) << "target " << v + 1;
        }
    }
    const std::vector<double> inputs = numbersOf(examplePath("iris/input.dat"));
    for (std::size_t i = 1; i < inputs.size(); ++i) {
        EXPECT_LE(std::abs(inputs[i]), 1.0) << "value " << i;
    }
}

TEST(Examples, DigitsArePlusMinusOnePicturesOfTheSizeItsReadmeTrains) {
    const std::string readme = readText(examplePath("digits/README.md"));
    for (const std::string kind : {"da", "bsb"}) {
        const int in = readmeSize(readme, kind, "--input-size");
        EXPECT_EQ(in, 64);
        const SetCounts stored = inputFile(examplePath("digits/input.dat"), in);
        const SetCounts noisy = inputFile(examplePath("digits/recall.dat"), in);
        EXPECT_EQ(stored.vectors, 4u);
        EXPECT_EQ(numbersOf(examplePath("digits/recall-expected.dat")).size(), noisy.inputValues);
    }
    for (const std::string file : {"input.dat", "recall.dat"}) {
        const std::vector<double> values = numbersOf(examplePath("digits/" + file));
        for (std::size_t i = 1; i < values.size(); ++i) {
            EXPECT_TRUE(values[i] == 1.0 || values[i] == -1.0) << file << " value " << i;
        }
    }
}

}  // namespace
