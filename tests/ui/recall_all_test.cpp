#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

#include "base/number_text.h"
#include "ui/run_screens_fixture.h"

namespace vornetica {
namespace {

using testing::readText;
using testing::writeText;

// 2 inputs, 2 hidden units with identity weights (the larger input wins), and
// the outputs (0.9, 0.1) for unit 0, (0.2, 0.6) for unit 1.
const char* const kCpnFile =
    "CPN\r\n2\r\n2\r\n2\r\n1\r\n0\r\n0\r\n1\r\n0.9\r\n0.1\r\n0.2\r\n0.6\r\n";

class RecallAllTest : public testing::RunScreensTest {
  protected:
    void openRecallWindow(std::int16_t mode, const std::string& inputs) {
        writeText("net.vrn", kCpnFile);
        writeText("in.dat", inputs);
        writeText("targets.dat", "1\r\n0\r\n0\r\n1\r\n0\r\n1\r\n");
        clearRecallFlags(settings);
        recallFlag(settings, NetworkKind::CPN) = 1;
        settings.DataEntryMode = mode;
        settings.NetworkFilePath = "net.vrn";
        settings.InputDataPath = "in.dat";
        wizard->show(Screen::RecallDataEntry);
    }
    QPushButton* recallAll() {
        return control<QPushButton>(Screen::RecallDataEntry, "cmdRecallAll");
    }
    QAbstractItemModel* results() {
        return control<QTableView>(Screen::RecallDataEntry, "ResultsTable")->model();
    }
    QString label(const char* name) {
        return control<QLabel>(Screen::RecallDataEntry, name)->text();
    }
    QString cell(QAbstractItemModel* model, int row, int column, int role = Qt::DisplayRole) {
        return model->data(model->index(row, column), role).toString();
    }
    // Clicks Recall All and lets the event loop run until the run has ended.
    void recallAllAndWait() {
        QTest::mouseClick(recallAll(), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return recallAll()->isEnabled(); }, 300000));
    }
};

TEST_F(RecallAllTest, FillsTheTableWithErrorsAndTheSummaryThenSavesItAsCsv) {
    openRecallWindow(FromFiles, "3\r\n1\r\n0\r\n0\r\n1\r\n0.2\r\n0.1\r\n");
    ASSERT_TRUE(recallAll()->isVisible());
    auto* expected = control<QLineEdit>(Screen::RecallDataEntry, "ExpectedOutputsFile");
    dialogs.fileAnswers.push_back("targets.dat");
    click(Screen::RecallDataEntry, "cmdBrowseExpected");
    EXPECT_EQ(expected->text(), "targets.dat");

    recallAllAndWait();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    EXPECT_EQ(label("RecallAllStatus"), "Recalled 3 vectors.");
    QAbstractItemModel* table = results();
    ASSERT_EQ(table->rowCount(), 3);
    // Vector, 2 inputs, 2 outputs, 2 expected, 2 errors.
    ASSERT_EQ(table->columnCount(), 9);
    EXPECT_EQ(table->headerData(5, Qt::Horizontal).toString(), "Expected 1");
    EXPECT_EQ(table->headerData(8, Qt::Horizontal).toString(), "Error 2");
    EXPECT_EQ(cell(table, 2, 0), "3");
    EXPECT_EQ(cell(table, 2, 3), " .9");
    EXPECT_EQ(cell(table, 2, 7), QString::fromStdString(numberText(0.0 - 0.9)));
    EXPECT_EQ(cell(table, 2, 7, Qt::ToolTipRole), "-.9");
    EXPECT_EQ(control<QProgressBar>(Screen::RecallDataEntry, "RecallAllProgress")->value(),
              control<QProgressBar>(Screen::RecallDataEntry, "RecallAllProgress")->maximum());

    // Errors (.1, -.1), (-.2, .4), (-.9, .9); the third vector is taken for class 1.
    EXPECT_EQ(label("MeanSquaredError"), "Mean squared error: .306666666666667");
    EXPECT_EQ(label("LargestError"), "Largest error: .9");
    EXPECT_EQ(label("ShareRight"), "Classified right: 2 of 3 (66.6666666666667%)");
    QAbstractItemModel* confusion =
        control<QTableView>(Screen::RecallDataEntry, "ConfusionTable")->model();
    EXPECT_EQ(cell(confusion, 0, 0), "1");
    EXPECT_EQ(cell(confusion, 0, 1), "0");
    EXPECT_EQ(cell(confusion, 1, 0), "1");
    EXPECT_EQ(cell(confusion, 1, 1), "1");

    dialogs.textAnswers.push_back("saved.csv");
    click(Screen::RecallDataEntry, "cmdSaveResults");
    EXPECT_EQ(dialogs.askedDefaults.back(), "results.csv");
    EXPECT_EQ(readText("saved.csv"),
              "vector,input 1,input 2,output 1,output 2,expected 1,expected 2,error 1,error 2\r\n"
              "1,1,0,0.9,0.1,1,0,0.1,-0.1\r\n"
              "2,0,1,0.2,0.6,0,1,-0.2,0.4\r\n"
              "3,0.2,0.1,0.9,0.1,0,1,-0.9,0.9\r\n");
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
}

TEST_F(RecallAllTest, StopEndsTheRunAndKeepsTheRowsRecalled) {
    std::string inputs = "0\r\n";
    const int vectors = 200000;
    for (int v = 0; v < vectors; ++v) {
        inputs += v % 2 == 0 ? "1\r\n0\r\n" : "0\r\n1\r\n";
    }
    openRecallWindow(FromFiles, inputs);
    QTest::mouseClick(recallAll(), Qt::LeftButton);
    // While it runs, nothing may change the network or the file it reads.
    EXPECT_FALSE(control<QPushButton>(Screen::RecallDataEntry, "cmdEnterData")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(Screen::RecallDataEntry, "cmdBack")->isEnabled());
    click(Screen::RecallDataEntry, "cmdStopRecallAll");
    ASSERT_TRUE(QTest::qWaitFor([&] { return recallAll()->isEnabled(); }, 300000));

    EXPECT_LT(results()->rowCount(), vectors);
    EXPECT_EQ(label("RecallAllStatus"),
              QString("Stopped after %1 of %2 vectors.").arg(results()->rowCount()).arg(vectors));
    EXPECT_TRUE(control<QPushButton>(Screen::RecallDataEntry, "cmdEnterData")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(Screen::RecallDataEntry, "cmdStopRecallAll")->isEnabled());
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();

    // Without an expected-outputs file the table has no errors and no summary.
    recallAllAndWait();
    EXPECT_EQ(results()->rowCount(), vectors);
    EXPECT_EQ(results()->columnCount(), 5);
    EXPECT_EQ(cell(results(), vectors - 1, 3), " .2");
    EXPECT_FALSE(control<QLabel>(Screen::RecallDataEntry, "MeanSquaredError")->isVisible());
}

TEST_F(RecallAllTest, TargetsThatDoNotMatchAreRefusedAndNothingIsShown) {
    openRecallWindow(FromFiles, "4\r\n1\r\n0\r\n0\r\n1\r\n0.2\r\n0.1\r\n0\r\n1\r\n");
    control<QLineEdit>(Screen::RecallDataEntry, "ExpectedOutputsFile")->setText("targets.dat");
    recallAllAndWait();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.lastMessage().contains(
        "holds 6 values, 3 vectors of 2 outputs; the recall data file's 4 whole vectors need 8."))
        << dialogs.lastMessage().toStdString();
    EXPECT_EQ(results()->rowCount(), 0);
    EXPECT_FALSE(control<QPushButton>(Screen::RecallDataEntry, "cmdSaveResults")->isEnabled());
}

TEST_F(RecallAllTest, IsOnlyOfferedInFileMode) {
    openRecallWindow(Manual, "1\r\n1\r\n0\r\n");
    EXPECT_FALSE(recallAll()->isVisible());
    EXPECT_FALSE(control<QTableView>(Screen::RecallDataEntry, "ResultsTable")->isVisible());
}

}  // namespace
}  // namespace vornetica
