#include "import/import_report.h"

#include <gtest/gtest.h>

namespace vornetica {
namespace {

ImportedTable tableOf(std::vector<double> inputs, std::vector<double> targets) {
    ImportedTable table;
    table.inputs = Matrix<double>(inputs.size(), 1);
    table.inputs.values().assign(inputs.begin(), inputs.end());
    table.outputs = Matrix<double>(targets.size(), targets.empty() ? 0 : 1);
    table.outputs.values().assign(targets.begin(), targets.end());
    return table;
}

ThresholdChoice function(ThresholdKind kind) {
    ThresholdChoice choice;
    choice.function = kind;
    return choice;
}

TEST(ImportReport, ScalesBringInputsIntoOneAndTargetsIntoTheFunctionsRange) {
    const ImportedTable table = tableOf({-8, 2, 4}, {0, 5, 10});
    ScaleAdvice advice = adviseScales(table, functionRangeOf(function(ThresholdKind::Logistic)));
    EXPECT_EQ(advice.inputScale, 8);
    EXPECT_EQ(advice.outputScale, 10);
    advice = adviseScales(table, functionRangeOf(function(ThresholdKind::Tanh)));
    EXPECT_EQ(advice.outputScale, 10);

    ThresholdChoice ramp = function(ThresholdKind::Ramp);
    ramp.RampBoundary = 2;
    EXPECT_EQ(adviseScales(table, functionRangeOf(ramp)).outputScale, 5);
    EXPECT_EQ(adviseScales(table, functionRangeOf(function(ThresholdKind::Linear))).outputScale, 1);
}

TEST(ImportReport, TargetsOfOneSignFitZeroToOneByMirroringAndMixedSignsDoNot) {
    const FunctionRange logistic = functionRangeOf(function(ThresholdKind::Logistic));
    EXPECT_EQ(adviseScales(tableOf({1}, {-4, -2}), logistic).outputScale, -4);
    EXPECT_FALSE(adviseScales(tableOf({1}, {-4, 2}), logistic).outputScale);
    EXPECT_EQ(adviseScales(tableOf({1}, {-4, 2}), functionRangeOf(function(ThresholdKind::Tanh)))
                  .outputScale,
              4);
    EXPECT_EQ(adviseScales(tableOf({0, 0}, {0, 0}), logistic).inputScale, 1)
        << "zeros are kept as they are";
}

TEST(ImportReport, NamesCountsColumnsAndScales) {
    ImportedTable table = tableOf({-0.5, 2}, {1, 0});
    table.columns = {{"x", ColumnRole::Input, -0.5, 2},
                     {"y", ColumnRole::Target, 0, 1},
                     {"id", ColumnRole::Ignored, 0, 0}};
    EXPECT_EQ(importReport(table, function(ThresholdKind::Logistic)),
              "2 vectors, 1 input, 1 output.\n"
              "  1 x: input, smallest -.5, largest 2\n"
              "  2 y: target, smallest 0, largest 1\n"
              "  3 id: ignored\n"
              "For backpropagation with the logistic function: input scale 2 brings the inputs "
              "into -1..1; output scale 1 brings the targets into 0..1.\n");
    table.outputs = Matrix<double>(2, 0);
    EXPECT_EQ(importReport(table, std::nullopt).substr(0, 30), "2 vectors, 1 input, 0 outputs.");
}

}  // namespace
}  // namespace vornetica
