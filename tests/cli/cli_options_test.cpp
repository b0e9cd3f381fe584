#include "cli/cli_options.h"

#include <gtest/gtest.h>

namespace vornetica::cli {
namespace {

Command parse(std::vector<std::string> arguments) {
    return parseCommandLine(arguments);
}

TEST(CliOptions, EachKindStartsFromItsParameterScreenDefaults) {
    const TrainOptions bpn = std::get<TrainOptions>(parse({"train", "bpn"}));
    EXPECT_EQ(bpn.inputSize, 1);
    EXPECT_EQ(bpn.hiddenSize, 100);
    EXPECT_EQ(bpn.outputSize, 1);
    EXPECT_EQ(bpn.errorThreshold, 0.0001);
    EXPECT_EQ(bpn.maxIterations, 100);
    EXPECT_EQ(bpn.inputScale, 10.0);
    EXPECT_EQ(bpn.outputScale, 10.0);
    EXPECT_EQ(bpn.alpha, 0.75);
    EXPECT_EQ(bpn.beta, 0.25);
    EXPECT_EQ(bpn.function, ThresholdKind::Logistic);
    EXPECT_EQ(bpn.lower, -1.0);
    EXPECT_EQ(bpn.inputs, "input.dat");
    EXPECT_EQ(bpn.outputs, "output.dat");
    EXPECT_EQ(bpn.save, "network.vrn");

    const TrainOptions cpn = std::get<TrainOptions>(parse({"train", "cpn"}));
    EXPECT_EQ(cpn.inputSize, 4);
    EXPECT_EQ(cpn.hiddenSize, 50);
    EXPECT_EQ(cpn.outputSize, 4);
    EXPECT_EQ(cpn.beta, 0.5);
    EXPECT_EQ(cpn.gamma, 0.5);
    EXPECT_EQ(cpn.timeSteps, 100);

    const TrainOptions bsb = std::get<TrainOptions>(parse({"train", "bsb"}));
    EXPECT_EQ(bsb.inputSize, 4);
    EXPECT_EQ(bsb.alpha, 0.5);
    EXPECT_EQ(bsb.errorThreshold, 0.01);

    EXPECT_EQ(std::get<TrainOptions>(parse({"train", "da"})).inputSize, 4);
}

TEST(CliOptions, ValuesAreTakenFromTheNextArgumentOrAfterAnEqualsSign) {
    const TrainOptions options = std::get<TrainOptions>(
        parse({"train", "bpn", "--hidden-size", "7", "--alpha=.5", "--function", "ratio-squares",
               "--input-scale", "-2.5", "--save", "a=b.vrn"}));
    EXPECT_EQ(options.hiddenSize, 7);
    EXPECT_EQ(options.alpha, 0.5);
    EXPECT_EQ(options.function, ThresholdKind::RatioSquares);
    EXPECT_EQ(options.inputScale, -2.5);
    EXPECT_EQ(options.save, "a=b.vrn");
}

TEST(CliOptions, RecallTakesTheNetworkAnywhereAndTheBoxParameters) {
    const RecallOptions options = std::get<RecallOptions>(
        parse({"recall", "--inputs", "r.dat", "net.vrn", "--kind", "bsb", "--gamma", "2"}));
    EXPECT_EQ(options.network, "net.vrn");
    EXPECT_EQ(options.inputs, "r.dat");
    EXPECT_EQ(options.kind, std::optional<NetworkKind>(NetworkKind::BSB));
    EXPECT_EQ(options.gamma, 2.0);
    EXPECT_EQ(options.beta, 0.5);
    EXPECT_EQ(options.errorThreshold, 0.01);
}

TEST(CliOptions, HelpPointsAtTheTopicGivenBeforeIt) {
    EXPECT_EQ(std::get<HelpRequest>(parse({"--help"})).topic, "");
    EXPECT_EQ(std::get<HelpRequest>(parse({"train", "--help"})).topic, "train");
    EXPECT_EQ(std::get<HelpRequest>(parse({"train", "da", "-h"})).topic, "train da");
    EXPECT_EQ(std::get<HelpRequest>(parse({"recall", "x.vrn", "--help"})).topic, "recall");
}

TEST(CliOptions, AnOptionOfAnotherKindIsAUsageError) {
    EXPECT_THROW(parse({"train", "da", "--alpha", "1"}), UsageError);
    EXPECT_THROW(parse({"train", "bsb", "--outputs", "o.dat"}), UsageError);
    EXPECT_THROW(parse({"train", "cpn", "--function", "tanh"}), UsageError);
    try {
        parse({"train", "cpn", "--max-iterations", "5"});
        FAIL() << "no usage error";
    } catch (const UsageError& error) {
        EXPECT_EQ(error.topic(), "train cpn");
    }
}

}  // namespace
}  // namespace vornetica::cli
