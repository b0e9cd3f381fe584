#include "display/worked_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vornetica {
namespace {

WorkedUnit bpnUnit(int I, int H, int O) {
    WorkedUnit unit;
    unit.kind = NetworkKind::BPN;
    unit.add("alpha", 0.75);
    unit.add("beta", 0.25);
    for (int i = 0; i < I; ++i)
        unit.add("input", 0.5 + i, i);
    for (int k = 0; k < O; ++k)
        unit.add("target", 0.9, k);
    for (int i = 0; i < I; ++i)
        for (int j = 0; j < H; ++j)
            unit.add("hidden_weight_before", -0.25, i, j);
    for (int j = 0; j < H; ++j) {
        unit.add("hidden_threshold_before", 0.125, j);
        unit.add("hidden_net", 1.0 + j, j);
        unit.add("hidden_out", 0.1 * (j + 1), j);
        unit.add("hidden_error", 1e-20, j);
    }
    for (int j = 0; j < H; ++j)
        for (int k = 0; k < O; ++k)
            unit.add("output_weight_before", 0.5, j, k);
    for (int k = 0; k < O; ++k) {
        unit.add("output_net", 0.4, k);
        unit.add("output_out", 0.6, k);
        unit.add("output_error", 0.0576, k);
    }
    return unit;
}

TEST(WorkedText, SmallNetShowsEveryNodeWithItsNumbersInFull) {
    const std::string text = workedCalculationText(bpnUnit(2, 2, 1), 0);
    EXPECT_NE(text.find("Backpropagation, epoch 1, vector 1 (unit 1)"), std::string::npos);
    EXPECT_NE(text.find("net1 = w[1,1]·x1 + w[2,1]·x2 + θ1 = (-0.25)·0.5 + (-0.25)·1.5 + "
                        "0.125 = 1"),
              std::string::npos);
    EXPECT_NE(text.find("h2 = f(2) = 0.2"), std::string::npos);
    EXPECT_NE(text.find("D1 = (1 − 0.6)·0.6·(0.9 − 0.6) = 0.0576"), std::string::npos);
    EXPECT_NE(text.find("1E-20"), std::string::npos);  // never cut to a shorter text
    EXPECT_EQ(text.find("…"), std::string::npos);
}

TEST(WorkedText, LargeLayersShowTheFirstNodesAndTheChosenOne) {
    const std::string text = workedCalculationText(bpnUnit(2, 20, 1), 16);
    EXPECT_NE(text.find("h3 = "), std::string::npos);
    EXPECT_EQ(text.find("h4 = "), std::string::npos);
    EXPECT_NE(text.find("h17 = f(17) = "), std::string::npos);
    EXPECT_NE(text.find("…"), std::string::npos);
    // The output sum over 20 hidden nodes is cut after three terms, ending with the last.
    EXPECT_NE(text.find("v[3,1]·h3 + … + v[20,1]·h20"), std::string::npos);
    EXPECT_EQ(largestLayer(bpnUnit(2, 20, 1)), 20);
}

TEST(WorkedText, OtherKindsNameTheirSteps) {
    WorkedUnit da;
    da.kind = NetworkKind::DA;
    da.add("input", 1, 0);
    da.add("input", -1, 1);
    da.add("matrix_before", 0, 0, 1);
    da.add("product", -1, 0, 1);
    da.add("matrix", -1, 0, 1);
    EXPECT_NE(workedCalculationText(da, 0).find("T[1,2] = 0 + 1·(-1) = 0 + (-1) = -1"),
              std::string::npos);

    WorkedUnit cpn;
    cpn.kind = NetworkKind::CPN;
    cpn.add("input", 0.6, 0);
    cpn.add("distance", 0.5, 0);
    cpn.add("distance", 0.25, 1);
    cpn.add("winner", 0.25, 1);
    EXPECT_NE(workedCalculationText(cpn, 0).find("Winner: unit 2, distance 0.25"),
              std::string::npos);
}

}  // namespace
}  // namespace vornetica
