#include "ui/encode_window.h"

#include <QApplication>
#include <QGraphicsLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QValueAxis>
#include <algorithm>
#include <functional>
#include <map>
#include <utility>

#include "base/number_text.h"
#include "display/progress_history.h"
#include "netfile/network_file.h"
#include "train/training_run.h"
#include "ui/pattern_view.h"
#include "ui/progress_chart.h"
#include "ui/run_notes_view.h"
#include "ui/run_screens_fixture.h"

namespace vornetica {
namespace {

using testing::writeText;

// What a window would show at the end of a run: the last text of every cell written.
class LastCells : public ProgressSink {
  public:
    void showCells(ProgressGrid grid, int firstColumn, std::span<const double> values,
                   int width) override {
        for (std::size_t index = 0; index < values.size(); ++index) {
            const std::pair cell{grid, firstColumn + static_cast<int>(index)};
            texts[cell] = progressCellText(grid, values[index], width);
            wholeTexts[cell] = QString::fromStdString(numberText(values[index])).trimmed();
        }
    }
    void endOfEpoch(const EpochReport&) override {}
    bool stopRequested() override { return false; }

    std::map<std::pair<ProgressGrid, int>, std::string> texts;
    std::map<std::pair<ProgressGrid, int>, QString> wholeTexts;
};

// Every end-of-epoch report of a run, and the last input vector it showed.
class AllReports : public SilentProgress {
  public:
    void showCells(ProgressGrid grid, int firstColumn, std::span<const double> values,
                   int) override {
        if (grid != ProgressGrid::InputValues) {
            return;
        }
        const std::size_t end = static_cast<std::size_t>(firstColumn) + values.size();
        if (lastInput.size() < end) {
            lastInput.resize(end);
        }
        std::copy(values.begin(), values.end(), lastInput.begin() + firstColumn);
    }
    void endOfEpoch(const EpochReport& report) override { reports.push_back(report); }

    std::vector<EpochReport> reports;
    std::vector<double> lastInput;
};

const char* gridName(ProgressGrid grid) {
    switch (grid) {
        case ProgressGrid::InputValues:
            return "InputValuesGrid";
        case ProgressGrid::OutputValues:
            return "OutputValuesGrid";
        case ProgressGrid::ErrorValues:
            return "ErrorValuesGrid";
        case ProgressGrid::Iterations:
            return "IterationsGrid";
        case ProgressGrid::InputNodes:
            return "InputNodesGrid";
        case ProgressGrid::HiddenNodes:
            return "HiddenNodesGrid";
        case ProgressGrid::OutputNodes:
            break;
    }
    return "OutputNodesGrid";
}

class EncodeWindowTest : public testing::RunScreensTest {
  protected:
    void chooseBpn() {
        settings.EncodeBPNFlag = 1;
        settings.InputSize = 2;
        settings.HiddenSize = 3;
        settings.OutputSize = 1;
        settings.InputScale = 1.0;
        settings.OutputScale = 1.0;
        settings.Alpha = 0.5;
        settings.Beta = 0.5;
        settings.ErrorThreshold = 0.0001;
        settings.MaxIterations = 30;
        settings.ThresholdFunction = ThresholdKind::Logistic;
        useFiles("4\r\n0\r\n0\r\n0\r\n1\r\n1\r\n0\r\n1\r\n1\r\n", "0\r\n1\r\n1\r\n0\r\n");
    }
    void chooseCpn() {
        settings.EncodeCPNFlag = 1;
        settings.InputSize = 2;
        settings.HiddenSize = 4;
        settings.OutputSize = 1;
        settings.Beta = 0.5;
        settings.Gamma = 0.5;
        settings.NumberTimeSteps = 10;
        useFiles("3\r\n.1\r\n.9\r\n.8\r\n-.2\r\n.5\r\n.5\r\n", "1\r\n-1\r\n.5\r\n");
    }
    // `units` units; the threshold decides whether the errors can ever fall to it.
    void chooseBsb(int units, double errorThreshold, int vectors = 2, double alpha = 0.5) {
        settings.EncodeBSBFlag = 1;
        settings.InputSize = static_cast<std::int16_t>(units);
        settings.Alpha = alpha;
        settings.ErrorThreshold = errorThreshold;
        std::string input = std::to_string(vectors) + "\r\n";
        for (int value = 0; value < units * vectors; ++value) {
            input += (value * 7 % 3 == 0) ? "1\r\n" : "-1\r\n";
        }
        useFiles(input, "");
    }
    void chooseDa() {
        settings.EncodeDAFlag = 1;
        settings.InputSize = 3;
        useFiles("2\r\n1\r\n-1\r\n1\r\n1\r\n1\r\n-1\r\n", "");
    }
    void useFiles(const std::string& input, const std::string& output) {
        settings.DataEntryMode = FromFiles;
        writeText("input.dat", input);
        writeText("output.dat", output);
        settings.InputDataPath = "input.dat";
        settings.OutputDataPath = "output.dat";
    }

    EncodeWindow* window() {
        return static_cast<EncodeWindow*>(wizard->screen(Screen::EncodeWindow));
    }

    void expectCells(const LastCells& reference) {
        for (const auto& [cell, text] : reference.texts) {
            CellGrid* cells = grid(Screen::EncodeWindow, gridName(cell.first));
            ASSERT_LT(cell.second, cells->cells().valueColumns()) << gridName(cell.first);
            EXPECT_EQ(cells->cells().text(0, cell.second), text)
                << gridName(cell.first) << " column " << cell.second;
            // Resting the pointer on a cell shows its value's whole text.
            EXPECT_EQ(cells->model()->index(0, cell.second).data(Qt::ToolTipRole).toString(),
                      reference.wholeTexts.at(cell))
                << gridName(cell.first) << " column " << cell.second;
        }
    }

    // Runs the chosen kind in the window and expects every grid cell to end exactly as
    // a run of the core alone, from a fresh generator, leaves it.
    void expectWindowShowsLastValuesOfTheRun() {
        const TrainingRequest request = captureTrainingRequest(settings);
        RandomSource fresh;
        LastCells reference;
        const TrainingResult expected = runTraining(request, fresh, reference);
        ASSERT_TRUE(expected.error.empty()) << expected.error;
        ASSERT_FALSE(reference.texts.empty());

        wizard->show(Screen::EncodeWindow);
        click(Screen::EncodeWindow, "cmdStart");
        ASSERT_TRUE(waitForMessages(1));
        EXPECT_EQ(dialogs.messages[0].text, "Done!");
        EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::None);
        expectCells(reference);
        // Coming back to the window keeps what the run showed.
        wizard->show(Screen::ChooseNetwork);
        wizard->show(Screen::EncodeWindow);
        expectCells(reference);
        EXPECT_EQ(settings.TrainingVectorCount, expected.vectorCount);
        EXPECT_TRUE(control<QPushButton>(Screen::EncodeWindow, "cmdSaveNetwork")->isEnabled());
    }
};

TEST_F(EncodeWindowTest, BackpropagationRunEndsShowingTheLastValuesWritten) {
    chooseBpn();
    expectWindowShowsLastValuesOfTheRun();
}

TEST_F(EncodeWindowTest, CounterpropagationRunEndsShowingTheLastValuesWritten) {
    chooseCpn();
    expectWindowShowsLastValuesOfTheRun();
}

TEST_F(EncodeWindowTest, BrainStateRunEndsShowingTheLastValuesWritten) {
    chooseBsb(4, 0.01);
    expectWindowShowsLastValuesOfTheRun();
}

TEST_F(EncodeWindowTest, AutocorrelatorRunShowsTheWholeMatrixInOneRow) {
    chooseDa();
    expectWindowShowsLastValuesOfTheRun();
    EXPECT_EQ(grid(Screen::EncodeWindow, "OutputValuesGrid")->cells().valueColumns(), 9);
}

TEST_F(EncodeWindowTest, CellsKeepExponentsAndTheIterationCellItsEveryDigit) {
    chooseBpn();
    settings.InputSize = 1;
    settings.HiddenSize = 1;
    settings.MaxIterations = 32000;
    // Every error signal is above a threshold below -1: the run goes to its limit.
    settings.ErrorThreshold = -2.0;
    useFiles("1\r\n5.22502468990324E-91\r\n", ".5\r\n");
    expectWindowShowsLastValuesOfTheRun();
    CellGrid* inputs = grid(Screen::EncodeWindow, "InputValuesGrid");
    EXPECT_EQ(inputs->cells().text(0, 0), "5E-91");
    EXPECT_EQ(inputs->model()->index(0, 0).data(Qt::ToolTipRole).toString(),
              "5.22502468990324E-91");
    EXPECT_EQ(grid(Screen::EncodeWindow, "IterationsGrid")->cells().text(0, 0), "32001");
}

TEST_F(EncodeWindowTest, EachRunShowsOnlyItsOwnValuesWhicheverKindRanBefore) {
    const std::function<void()> kinds[] = {[&] { chooseBpn(); }, [&] { chooseCpn(); },
                                           [&] { chooseBsb(3, 0.01); }, [&] { chooseDa(); }};
    auto* chart = control<ProgressChart>(Screen::EncodeWindow, "ProgressChart");
    auto* pattern = control<PatternView>(Screen::EncodeWindow, "InputPattern");
    std::size_t runs = 0;
    for (const auto& choose : kinds) {
        settings.EncodeBPNFlag = settings.EncodeCPNFlag = 0;
        settings.EncodeBSBFlag = settings.EncodeDAFlag = 0;
        choose();
        wizard->show(Screen::ChooseNetwork);
        wizard->show(Screen::EncodeWindow);
        // Before the run, nothing pictures the last kind's run.
        EXPECT_EQ(chart->largestSeries()->count(), 0);
        EXPECT_TRUE(pattern->values().empty());

        RandomSource same = random;
        LastCells reference;
        ASSERT_EQ(runTraining(captureTrainingRequest(settings), same, reference).error, "");
        click(Screen::EncodeWindow, "cmdStart");
        ASSERT_TRUE(waitForMessages(++runs));
        ASSERT_EQ(dialogs.lastMessage(), "Done!");
        expectCells(reference);
        for (int index = 0; index < GridProgress::GridCount; ++index) {
            const auto which = static_cast<ProgressGrid>(index);
            const bool written =
                std::any_of(reference.texts.begin(), reference.texts.end(),
                            [&](const auto& cell) { return cell.first.first == which; });
            if (!written) {
                CellGrid* cells = grid(Screen::EncodeWindow, gridName(which));
                EXPECT_EQ(rowTexts(cells), std::vector<std::string>(static_cast<std::size_t>(
                                               cells->cells().valueColumns())))
                    << gridName(which) << " after run " << runs;
            }
        }
    }
}

TEST_F(EncodeWindowTest, SaveNetworkWaitsForTheFirstRunAndWritesWhatItTrained) {
    chooseBpn();
    wizard->show(Screen::EncodeWindow);
    EXPECT_FALSE(control<QPushButton>(Screen::EncodeWindow, "cmdSaveNetwork")->isEnabled());
    click(Screen::EncodeWindow, "cmdStart");
    ASSERT_TRUE(waitForMessages(1));

    dialogs.textAnswers = {QString(), QStringLiteral("trained.vrn")};
    click(Screen::EncodeWindow, "cmdSaveNetwork");
    EXPECT_EQ(dialogs.lastMessage(), "Please enter a valid string for the network name!");
    EXPECT_FALSE(std::filesystem::exists("trained.vrn"));
    click(Screen::EncodeWindow, "cmdSaveNetwork");
    EXPECT_EQ(dialogs.lastMessage(), "Finished Saving Network");
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[0].text, "Please enter the name of the network file to save");
    EXPECT_EQ(dialogs.asked[0].title, "Enter Network Name");
    EXPECT_EQ(dialogs.askedDefaults[0], "network.vrn");

    const TrainedNetwork loaded = readNetworkFile("trained.vrn", NetworkKind::BPN);
    const auto& saved = std::get<BpnNetwork>(window()->network());
    const auto& read = std::get<BpnNetwork>(loaded);
    EXPECT_EQ(read.inputSize(), 2);
    EXPECT_EQ(read.hiddenSize(), 3);
    ASSERT_EQ(read.HiddenThresholds.size(), saved.HiddenThresholds.size());
    for (std::size_t unit = 0; unit < saved.HiddenThresholds.size(); ++unit) {
        EXPECT_EQ(fileNumberText(read.HiddenThresholds[unit]),
                  fileNumberText(saved.HiddenThresholds[unit]));
    }
    EXPECT_EQ(settings.EncodeBPNFlag, 0);
}

TEST_F(EncodeWindowTest, SavingAgainSaysWhyFirstAndReplacingAFileAsksBefore) {
    chooseBpn();
    wizard->show(Screen::EncodeWindow);
    click(Screen::EncodeWindow, "cmdStart");
    ASSERT_TRUE(waitForMessages(1));
    dialogs.textAnswers = {QStringLiteral("network.vrn")};
    click(Screen::EncodeWindow, "cmdSaveNetwork");
    ASSERT_EQ(dialogs.lastMessage(), "Finished Saving Network");
    EXPECT_TRUE(dialogs.questions.empty());  // nothing to replace yet
    const std::string first = testing::readText("network.vrn");

    // The flag is clear: the window says so before it asks for a name.
    click(Screen::EncodeWindow, "cmdSaveNetwork");
    EXPECT_EQ(dialogs.lastMessage(),
              "This network was saved already. Choose the kind again on the network chooser to "
              "train and save another.");
    EXPECT_EQ(dialogs.asked.size(), 1u);

    // A second network, offered the same name: No keeps the first file as it was.
    settings.EncodeBPNFlag = 1;
    wizard->show(Screen::ChooseNetwork);
    wizard->show(Screen::EncodeWindow);
    click(Screen::EncodeWindow, "cmdStart");
    ASSERT_TRUE(waitForMessages(4));
    const std::size_t shown = dialogs.messages.size();
    dialogs.textAnswers = {QStringLiteral("network.vrn"), QStringLiteral("network.vrn")};
    dialogs.yesNoAnswers = {false, true};
    click(Screen::EncodeWindow, "cmdSaveNetwork");
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].text,
              "The file \"network.vrn\" exists already. Do you want to replace it?");
    EXPECT_EQ(dialogs.questions[0].title, "Save Network");
    EXPECT_EQ(dialogs.messages.size(), shown);
    EXPECT_EQ(testing::readText("network.vrn"), first);
    EXPECT_EQ(settings.EncodeBPNFlag, 1);
    // Yes replaces it.
    click(Screen::EncodeWindow, "cmdSaveNetwork");
    EXPECT_EQ(dialogs.lastMessage(), "Finished Saving Network");
    EXPECT_NE(testing::readText("network.vrn"), first);
}

TEST_F(EncodeWindowTest, OnlyStopActsDuringARunAndStopEndsItWithDone) {
    // Errors can never fall below a negative threshold: the run would last 32767 passes.
    // A small rate keeps the weights finite all the while; the size makes it long
    // enough (minutes) that only Stop can end it within the test.
    chooseBsb(256, -1000.0, 16, 0.003);
    wizard->show(Screen::EncodeWindow);
    click(Screen::EncodeWindow, "cmdStart");
    ASSERT_TRUE(window()->running());
    for (const char* name : {"cmdStart", "cmdSaveNetwork", "cmdChangeParameters", "cmdChangeData",
                             "cmdStartOver", "cmdHelp", "cmdExit"}) {
        EXPECT_FALSE(control<QPushButton>(Screen::EncodeWindow, name)->isEnabled()) << name;
    }
    EXPECT_TRUE(control<QPushButton>(Screen::EncodeWindow, "cmdStop")->isEnabled());
    // The window shows progress while the run goes on.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !grid(Screen::EncodeWindow, "IterationsGrid")->cells().text(0, 0).empty(); },
        60000));
    // So does the chart, less often than the grids.
    auto* chart = control<ProgressChart>(Screen::EncodeWindow, "ProgressChart");
    ASSERT_TRUE(QTest::qWaitFor([&] { return chart->largestSeries()->count() > 0; }, 60000));

    ASSERT_TRUE(window()->running());
    click(Screen::EncodeWindow, "cmdStop");
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_EQ(dialogs.messages[0].text, "Done!");
    EXPECT_FALSE(window()->running());
    EXPECT_LT(std::stoi(grid(Screen::EncodeWindow, "IterationsGrid")->cells().text(0, 0)), 32766);
    // A stopped run reached no limit: nothing to note.
    EXPECT_FALSE(control<RunNotesView>(Screen::EncodeWindow, "RunNotes")->isVisibleTo(window()));
    EXPECT_FALSE(control<QPushButton>(Screen::EncodeWindow, "cmdStop")->isEnabled());
    for (const char* name : {"cmdStart", "cmdSaveNetwork", "cmdChangeParameters", "cmdExit"}) {
        EXPECT_TRUE(control<QPushButton>(Screen::EncodeWindow, name)->isEnabled()) << name;
    }
    EXPECT_TRUE(std::holds_alternative<BsbNetwork>(window()->network()));
}

TEST_F(EncodeWindowTest, BrainStateRunAtItsPassLimitSaysSoBelowTheGrids) {
    chooseBsb(4, -1000.0);
    wizard->show(Screen::EncodeWindow);
    auto* notes = control<RunNotesView>(Screen::EncodeWindow, "RunNotes");
    EXPECT_FALSE(notes->isVisible());
    click(Screen::EncodeWindow, "cmdStart");
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_EQ(dialogs.messages[0].text, "Done!");
    EXPECT_TRUE(notes->isVisible());
    // Vectors of squared length 4 at Alpha .5 are noted before the run, the limit after it.
    const QString text = notes->toPlainText();
    EXPECT_TRUE(text.contains("Note: Vectors 1 and 2 are too long for the rate Alpha = .5"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Note: The run ended at its pass limit of 32767 passes"))
        << text.toStdString();
    EXPECT_EQ(notes->noteCount(), 2);
    // A chart of 32767 passes keeps a bounded, evenly thinned curve that ends at the
    // last pass.
    auto* chart = control<ProgressChart>(Screen::EncodeWindow, "ProgressChart");
    const QList<QPointF> points = chart->largestSeries()->points();
    ASSERT_GE(points.size(), 2);
    EXPECT_LE(points.size(), static_cast<qsizetype>(ProgressHistory::DefaultCapacity) + 1);
    EXPECT_EQ(points.front().x(), 1.0);
    EXPECT_EQ(points.back().x(), 32767.0);
}

TEST_F(EncodeWindowTest, NotesOfARunShowBelowTheGridsAndGoWhenTheNextRunHasNone) {
    chooseBpn();
    settings.ThresholdFunction = ThresholdKind::Tanh;
    useFiles("2\r\n.1\r\n.2\r\n.8\r\n.9\r\n", ".2\r\n.8\r\n");
    wizard->show(Screen::EncodeWindow);
    auto* notes = control<RunNotesView>(Screen::EncodeWindow, "RunNotes");
    EXPECT_EQ(notes->accessibleName(), "Run notes");
    click(Screen::EncodeWindow, "cmdStart");
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_EQ(dialogs.messages[0].text, "Done!");
    ASSERT_TRUE(notes->isVisible());
    EXPECT_TRUE(notes->isReadOnly());
    EXPECT_TRUE(notes->toPlainText().contains(
        "Note: This network trains with the hyperbolic tangent function, but recall always uses "
        "the logistic function"))
        << notes->toPlainText().toStdString();
    // Compact: a few lines of the window's font, below the grids.
    EXPECT_LT(notes->height(), 8 * notes->fontMetrics().lineSpacing());
    const QWidget* frame = window()->findChild<QWidget*>("ThresholdFrame");
    ASSERT_NE(frame, nullptr);
    EXPECT_GT(notes->mapTo(window(), QPoint(0, 0)).y(), frame->mapTo(window(), QPoint(0, 0)).y());
    // Its height is counted in lines of its font, so it grows with the desktop's font size.
    const int usualHeight = notes->height();
    QFont larger = notes->font();
    larger.setPointSizeF(larger.pointSizeF() * 2.0);
    notes->setFont(larger);
    EXPECT_GT(notes->height(), usualHeight * 3 / 2);
    // The keyboard reaches the notes and selects their text to copy.
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    for (int step = 0; step < 40 && QApplication::focusWidget() != notes; ++step) {
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused != nullptr ? focused : window(), Qt::Key_Tab);
    }
    ASSERT_EQ(QApplication::focusWidget(), notes) << "Tab never reached the notes";
    QTest::keyClick(notes, Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(notes->textCursor().selectedText().startsWith("Note: "));

    // The logistic function, targets within its range and a threshold met at once.
    settings.ThresholdFunction = ThresholdKind::Logistic;
    settings.ErrorThreshold = 0.5;
    click(Screen::EncodeWindow, "cmdStart");
    ASSERT_TRUE(waitForMessages(2));
    EXPECT_FALSE(notes->isVisible());
    EXPECT_EQ(notes->noteCount(), 0);
}

TEST_F(EncodeWindowTest, ClosingTheProgramDuringARunEndsTheRun) {
    chooseBsb(96, -1000.0, 16, 0.005);
    wizard->show(Screen::EncodeWindow);
    click(Screen::EncodeWindow, "cmdStart");
    ASSERT_TRUE(window()->running());
    wizard.reset();  // deletes the screens, as the end of the program does
    QTest::qWait(50);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(EncodeWindowTest, AFailedRunSaysWhyInsteadOfDone) {
    chooseBpn();
    settings.InputDataPath = "missing.dat";
    wizard->show(Screen::EncodeWindow);
    click(Screen::EncodeWindow, "cmdStart");
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_NE(dialogs.messages[0].text, "Done!");
    EXPECT_FALSE(dialogs.messages[0].text.isEmpty());
    EXPECT_TRUE(std::holds_alternative<std::monostate>(window()->network()));
}

TEST_F(EncodeWindowTest, EveryShowingSizesTheGridsForTheCurrentKindAndSizes) {
    chooseBpn();
    wizard->show(Screen::EncodeWindow);
    EXPECT_EQ(grid(Screen::EncodeWindow, "InputValuesGrid")->cells().valueColumns(), 2);
    EXPECT_EQ(grid(Screen::EncodeWindow, "HiddenNodesGrid")->cells().valueColumns(), 3);
    EXPECT_EQ(grid(Screen::EncodeWindow, "ErrorValuesGrid")->cells().valueColumns(), 1);

    click(Screen::EncodeWindow, "cmdChangeParameters");
    EXPECT_EQ(wizard->current(), Screen::EncodeBPN);
    EXPECT_EQ(settings.ReturnToTraining, -1);
    settings.InputSize = 5;
    settings.HiddenSize = 7;
    settings.OutputSize = 2;
    wizard->show(Screen::EncodeWindow);
    EXPECT_EQ(settings.ReturnToTraining, 0);
    EXPECT_EQ(grid(Screen::EncodeWindow, "InputValuesGrid")->cells().valueColumns(), 5);
    EXPECT_EQ(grid(Screen::EncodeWindow, "InputNodesGrid")->cells().valueColumns(), 5);
    EXPECT_EQ(grid(Screen::EncodeWindow, "HiddenNodesGrid")->cells().valueColumns(), 7);
    EXPECT_EQ(grid(Screen::EncodeWindow, "OutputValuesGrid")->cells().valueColumns(), 2);
    EXPECT_EQ(grid(Screen::EncodeWindow, "OutputNodesGrid")->cells().valueColumns(), 2);

    click(Screen::EncodeWindow, "cmdStartOver");
    EXPECT_EQ(wizard->current(), Screen::ChooseNetwork);
    EXPECT_EQ(settings.EncodeBPNFlag, 0);
    settings.EncodeBSBFlag = 1;
    settings.InputSize = 6;
    wizard->show(Screen::EncodeWindow);
    EXPECT_FALSE(grid(Screen::EncodeWindow, "HiddenNodesGrid")->isVisible());
    EXPECT_FALSE(control<QLabel>(Screen::EncodeWindow, "Label6")->isVisible());
    EXPECT_TRUE(grid(Screen::EncodeWindow, "ErrorValuesGrid")->isVisible());
    EXPECT_EQ(grid(Screen::EncodeWindow, "ErrorValuesGrid")->cells().valueColumns(), 6);

    settings.EncodeBSBFlag = 0;
    settings.EncodeDAFlag = 1;
    wizard->show(Screen::ChooseNetwork);
    wizard->show(Screen::EncodeWindow);
    EXPECT_FALSE(grid(Screen::EncodeWindow, "ErrorValuesGrid")->isVisible());
    EXPECT_FALSE(control<QLabel>(Screen::EncodeWindow, "Label3")->isVisible());
    EXPECT_FALSE(grid(Screen::EncodeWindow, "HiddenNodesGrid")->isVisible());
    EXPECT_EQ(grid(Screen::EncodeWindow, "OutputValuesGrid")->height(), 40);

    settings.EncodeDAFlag = 0;
    settings.EncodeCPNFlag = 1;
    wizard->show(Screen::ChooseNetwork);
    wizard->show(Screen::EncodeWindow);
    EXPECT_TRUE(grid(Screen::EncodeWindow, "ErrorValuesGrid")->isVisible());
    EXPECT_TRUE(grid(Screen::EncodeWindow, "HiddenNodesGrid")->isVisible());
    EXPECT_GT(grid(Screen::EncodeWindow, "OutputValuesGrid")->height(), 0);
}

TEST_F(EncodeWindowTest, ChangeDataFollowsTheEntryModeAndKind) {
    chooseBpn();
    wizard->show(Screen::EncodeWindow);
    click(Screen::EncodeWindow, "cmdChangeData");
    EXPECT_EQ(wizard->current(), Screen::TrainingFiles);
    settings.DataEntryMode = Manual;
    settings.EncodeBPNFlag = 0;
    settings.EncodeDAFlag = 1;
    wizard->show(Screen::EncodeWindow);
    click(Screen::EncodeWindow, "cmdChangeData");
    EXPECT_EQ(wizard->current(), Screen::EncodeDataEntry2);
}

TEST_F(EncodeWindowTest, ExitAsksUnderItsOwnTitleAndEndsOnlyOnYes) {
    chooseBpn();
    wizard->show(Screen::EncodeWindow);
    dialogs.exitAnswers = {false, true};
    click(Screen::EncodeWindow, "cmdExit");
    EXPECT_EQ(dialogs.quitCount, 0);
    EXPECT_TRUE(window()->isVisible());
    click(Screen::EncodeWindow, "cmdExit");
    EXPECT_EQ(dialogs.quitCount, 1);
    EXPECT_EQ(dialogs.confirmTitles, (std::vector<QString>{"Exit", "Exit"}));
}

TEST_F(EncodeWindowTest, StartWithNoKindChosenTrainsNothingButEnablesSave) {
    wizard->show(Screen::EncodeWindow);
    click(Screen::EncodeWindow, "cmdStart");
    EXPECT_FALSE(window()->running());
    EXPECT_TRUE(control<QPushButton>(Screen::EncodeWindow, "cmdSaveNetwork")->isEnabled());
    EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
}  // namespace vornetica

namespace vornetica {
namespace {

class EncodeWindowChartTest : public EncodeWindowTest {
  protected:
    // A run of the core alone from a fresh generator, as the window's run will go.
    void referenceRun(AllReports& reference) {
        RandomSource fresh;
        const TrainingResult result =
            runTraining(captureTrainingRequest(settings), fresh, reference);
        EXPECT_TRUE(result.error.empty()) << result.error;
    }
    void runInWindow() {
        wizard->show(Screen::EncodeWindow);
        click(Screen::EncodeWindow, "cmdStart");
        ASSERT_TRUE(waitForMessages(1));
        ASSERT_EQ(dialogs.messages[0].text, "Done!");
    }
    ProgressChart* chart() { return control<ProgressChart>(Screen::EncodeWindow, "ProgressChart"); }
};

TEST_F(EncodeWindowChartTest, ChartHasItsAxesBeforeTheFirstRun) {
    chooseBpn();
    wizard->show(Screen::EncodeWindow);
    const QList<QAbstractAxis*> steps = chart()->chart()->axes(Qt::Horizontal);
    ASSERT_EQ(steps.size(), 1);
    const auto* step = qobject_cast<QValueAxis*>(steps.front());
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->min(), 1.0);
    EXPECT_EQ(step->max(), 2.0);
    EXPECT_EQ(chart()->largestSeries()->count(), 0);
}

TEST_F(EncodeWindowChartTest, BackpropagationChartShowsEveryEpochAndTheThreshold) {
    chooseBpn();
    AllReports reference;
    referenceRun(reference);
    ASSERT_FALSE(reference.reports.empty());
    runInWindow();

    const QList<QPointF> largest = chart()->largestSeries()->points();
    const QList<QPointF> meanSquared = chart()->meanSquaredSeries()->points();
    ASSERT_EQ(largest.size(), static_cast<qsizetype>(reference.reports.size()));
    ASSERT_EQ(meanSquared.size(), largest.size());
    for (std::size_t at = 0; at < reference.reports.size(); ++at) {
        const EpochReport& report = reference.reports[at];
        const auto point = static_cast<qsizetype>(at);
        EXPECT_EQ(largest[point].x(), report.index + 1.0);
        EXPECT_EQ(largest[point].y(), report.largestError);
        EXPECT_EQ(meanSquared[point].y(), report.meanSquaredError);
    }
    QLineSeries* threshold = chart()->thresholdLine();
    EXPECT_TRUE(threshold->isVisible());
    ASSERT_EQ(threshold->count(), 2);
    EXPECT_EQ(threshold->at(0).y(), 0.0001);
    EXPECT_EQ(threshold->at(1).x(), largest.back().x());
    // Errors near .5 beside a threshold of .0001 span decades.
    EXPECT_TRUE(chart()->logarithmic());
    EXPECT_FALSE(control<PatternView>(Screen::EncodeWindow, "InputPattern")->isVisible());

    // The curve stays while the user goes away and comes back, until the next Start.
    wizard->show(Screen::ChooseNetwork);
    wizard->show(Screen::EncodeWindow);
    EXPECT_EQ(chart()->largestSeries()->count(), largest.size());
}

TEST_F(EncodeWindowChartTest, CounterpropagationChartHasNoThresholdLine) {
    chooseCpn();
    AllReports reference;
    referenceRun(reference);
    runInWindow();
    EXPECT_EQ(chart()->largestSeries()->count(), static_cast<qsizetype>(reference.reports.size()));
    EXPECT_FALSE(chart()->thresholdLine()->isVisible());
    EXPECT_FALSE(chart()->meanSquaredSeries()->isVisible());
}

TEST_F(EncodeWindowChartTest, BrainStateRunShowsItsPassesAndTheVectorBeingTrained) {
    chooseBsb(16, 0.01);
    AllReports reference;
    referenceRun(reference);
    runInWindow();
    ASSERT_EQ(chart()->largestSeries()->count(), static_cast<qsizetype>(reference.reports.size()));
    EXPECT_EQ(chart()->largestSeries()->points().back().y(), reference.reports.back().largestError);
    EXPECT_EQ(chart()->thresholdLine()->at(0).y(), 0.01);

    auto* pattern = control<PatternView>(Screen::EncodeWindow, "InputPattern");
    EXPECT_TRUE(pattern->isVisible());
    EXPECT_EQ(pattern->values(), reference.lastInput);
    EXPECT_EQ(pattern->layout().rows, 4);
}

TEST_F(EncodeWindowChartTest, StartingARunLikeTheLastLeavesTheChartsLayoutAlone) {
    // Laying out the axes and titles again would cost a short run more than its points.
    chooseBsb(16, 0.01);
    runInWindow();
    EXPECT_EQ(chart()->chart()->title(), "Training progress");
    const QGraphicsLayout* layout = chart()->chart()->layout();
    ASSERT_TRUE(QTest::qWaitFor([&] { return layout->isActivated(); }));
    click(Screen::EncodeWindow, "cmdStart");
    EXPECT_TRUE(layout->isActivated());
    ASSERT_TRUE(waitForMessages(2));
    EXPECT_EQ(dialogs.messages[1].text, "Done!");
}

TEST_F(EncodeWindowChartTest, AutocorrelatorChartCountsTheVectorsAdded) {
    chooseDa();
    runInWindow();
    const QList<QPointF> points = chart()->largestSeries()->points();
    ASSERT_EQ(points.size(), 2);
    EXPECT_EQ(points[0].y(), 1.0);
    EXPECT_EQ(points[1].y(), 2.0);
    EXPECT_FALSE(chart()->logarithmic());
    EXPECT_EQ(control<PatternView>(Screen::EncodeWindow, "InputPattern")->values(),
              (std::vector<double>{1, 1, -1}));

    // The next Start begins a new curve.
    dialogs.messages.clear();
    chooseBpn();
    settings.EncodeDAFlag = 0;
    runInWindow();
    EXPECT_GT(chart()->largestSeries()->count(), 2);
    EXPECT_EQ(chart()->largestSeries()->at(0).x(), 1.0);
    EXPECT_FALSE(control<PatternView>(Screen::EncodeWindow, "InputPattern")->isVisible());
}

}  // namespace
}  // namespace vornetica
