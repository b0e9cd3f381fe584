#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/number_text.h"
#include "netfile/network_file.h"
#include "recall/recall_press.h"
#include "ui/pattern_view.h"
#include "ui/run_screens_fixture.h"

namespace vornetica {
namespace {

using testing::readText;
using testing::writeText;

Matrix<double> matrixOf(std::size_t rows, std::size_t cols, std::vector<double> values) {
    Matrix<double> matrix(rows, cols);
    matrix.values().assign(values.begin(), values.end());
    return matrix;
}

BpnNetwork bpnNetwork() {
    BpnNetwork network;
    network.InputScale = 10.0;
    network.OutputScale = 2.0;
    network.HiddenWeights = matrixOf(3, 2, {0.5, -0.25, 1.5, 0.75, -1.0, 0.125});
    network.OutputWeights = matrixOf(2, 2, {1.0, -2.0, 0.5, 0.25});
    network.HiddenThresholds = {0.1, -0.2};
    network.OutputThresholds = {0.3, 0.05};
    return network;
}

CpnNetwork cpnNetwork() {
    CpnNetwork network;
    network.HiddenWeights = matrixOf(3, 2, {0.1, 0.9, 0.2, 0.8, 0.3, 0.7});
    network.OutputWeights = matrixOf(2, 2, {-0.5, 1.5, 2.5, -3.5});
    return network;
}

BsbNetwork bsbNetwork() {
    BsbNetwork network;
    network.Weights = matrixOf(3, 3, {0.5, 0.1, -0.2, 0.1, 0.4, 0.3, -0.2, 0.3, 0.6});
    return network;
}

DaNetwork daNetwork() {
    DaNetwork network;
    network.CorrelationMatrix = Matrix<std::int16_t>(4, 4);
    network.CorrelationMatrix.values() = {0, 1, -1, 2, 1, 0, 1, -1, -1, 1, 0, 1, 2, -1, 1, 0};
    return network;
}

struct KindCase {
    NetworkKind kind;
    Screen loading;
    const char* caption;
    const char* frameCaption;
    TrainedNetwork network;
    std::vector<QString> inputs;  // typed into the input grid
    int outputColumns;
    const char* networkLine;  // what the window says it holds
};

std::vector<KindCase> kindCases() {
    return {
        {NetworkKind::BPN,
         Screen::RecallBPN,
         "Recall Backpropagation",
         "Enter Network to Load",
         bpnNetwork(),
         {"1.5", "-2", ".25"},
         2,
         "net.vrn \u2014 backpropagation 3-2-2"},
        {NetworkKind::CPN,
         Screen::RecallCPN,
         "Recall Counterpropagation",
         "Enter Network to Load",
         cpnNetwork(),
         {".2", ".8", ".7"},
         2,
         "net.vrn \u2014 counterpropagation 3-2-2"},
        {NetworkKind::BSB,
         Screen::RecallBSB,
         "Recall Brain-State-in-a-Box",
         "Enter Name of Network to Load",
         bsbNetwork(),
         {".3", "-.4", ".1"},
         3,
         "net.vrn \u2014 brain-state-in-a-box 3 units"},
        {NetworkKind::DA,
         Screen::RecallDA,
         "Recall Discrete Autocorrelator",
         "Enter Network to Load",
         daNetwork(),
         {"1", "-1", "1.5", "-1"},
         4,
         "net.vrn \u2014 discrete autocorrelator 4 units"},
    };
}

class RecallScreensTest : public testing::RunScreensTest {
  protected:
    // As the chooser leaves the settings for the recall road.
    void chooseRecall(const KindCase& kase, std::int16_t mode) {
        clearRecallFlags(settings);
        recallFlag(settings, kase.kind) = 1;
        settings.DataEntryMode = mode;
        writeNetworkFile("net.vrn", kase.network);
    }
    void typePath(Screen screen, const QString& path) {
        auto* box = control<QLineEdit>(screen, "InputPath");
        box->selectAll();
        QTest::keyClicks(box, path);
    }
    void typeInputs(const std::vector<QString>& inputs) {
        CellGrid* cells = grid(Screen::RecallDataEntry, "InputDataGrid");
        for (std::size_t column = 0; column < inputs.size(); ++column) {
            typeInto(cells, static_cast<int>(column), inputs[column]);
        }
    }
    // What the core alone makes of the same press.
    RecallPressResult expectedPress(const KindCase& kase, std::int16_t mode,
                                    const std::vector<QString>& inputs) {
        NetworkSettings reference;
        recallFlag(reference, kase.kind) = 1;
        reference.DataEntryMode = mode;
        reference.NetworkFilePath = "net.vrn";
        reference.InputDataPath = settings.InputDataPath;
        reference.RecallBeta = 0.3;
        reference.RecallGamma = 1.0;
        reference.RecallErrorThreshold = 0.001;
        EXPECT_TRUE(loadNetwork(reference).loaded);
        RecallPressRequest request;
        for (const QString& input : inputs) {
            request.cellTexts.push_back(input.toStdString());
        }
        return recallPress(reference, request);
    }
    void walkLoadingScreen(const KindCase& kase) {
        wizard->show(kase.loading);
        QWidget* screen = wizard->screen(kase.loading);
        EXPECT_EQ(screen->windowTitle(), kase.caption);
        EXPECT_EQ(control<QGroupBox>(kase.loading, "InputFrame")->title(), kase.frameCaption);
        EXPECT_EQ(control<QLineEdit>(kase.loading, "InputPath")->text(), "network.vrn");
        typePath(kase.loading, "net.vrn");
        if (kase.kind == NetworkKind::BSB) {
            control<QLineEdit>(kase.loading, "Beta")->setText("0.3");
            control<QLineEdit>(kase.loading, "Gamma")->setText("1");
            control<QLineEdit>(kase.loading, "ErrorThreshold")->setText(".001");
        }
        click(kase.loading, "cmdNext");
        EXPECT_EQ(settings.NetworkFilePath, "net.vrn");
    }
};

TEST_F(RecallScreensTest, ManualRecallOfEachKindShowsTheCoresOutput) {
    for (const KindCase& kase : kindCases()) {
        SCOPED_TRACE(kindTag(kase.kind));
        dialogs.messages.clear();
        chooseRecall(kase, Manual);
        walkLoadingScreen(kase);
        ASSERT_EQ(wizard->current(), Screen::RecallDataEntry);
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
        EXPECT_EQ(control<QPushButton>(Screen::RecallDataEntry, "cmdEnterData")->text(),
                  "Enter Vector");
        EXPECT_EQ(control<QLabel>(Screen::RecallDataEntry, "NetworkLine")->text(),
                  QString::fromUtf8(kase.networkLine));
        CellGrid* inputs = grid(Screen::RecallDataEntry, "InputDataGrid");
        CellGrid* outputs = grid(Screen::RecallDataEntry, "OutputDataGrid");
        // Nothing of the network recalled before stays to be typed onto.
        EXPECT_EQ(rowTexts(inputs), std::vector<std::string>(kase.inputs.size()));
        EXPECT_EQ(rowTexts(outputs),
                  std::vector<std::string>(static_cast<std::size_t>(kase.outputColumns)));

        typeInputs(kase.inputs);
        click(Screen::RecallDataEntry, "cmdEnterData");
        const RecallPressResult expected = expectedPress(kase, Manual, kase.inputs);
        ASSERT_TRUE(expected.error.empty()) << expected.error;
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
        EXPECT_EQ(rowTexts(outputs), expected.outputTexts);
        auto* settled = control<QLabel>(Screen::RecallDataEntry, "SettledNote");
        EXPECT_EQ(settled->isVisible(), kase.kind == NetworkKind::BSB);
        if (expected.settled) {
            EXPECT_EQ(settled->text().contains("not settled"), !*expected.settled);
        }

        // Back returns to the same kind's loading screen; the recall flag stays.
        click(Screen::RecallDataEntry, "cmdBack");
        EXPECT_EQ(wizard->current(), kase.loading);
        EXPECT_EQ(recallFlag(settings, kase.kind), 1);
    }
}

TEST_F(RecallScreensTest, FileModeRecallsTheFirstVectorOfTheFileAndSaysDone) {
    for (const KindCase& kase : kindCases()) {
        SCOPED_TRACE(kindTag(kase.kind));
        dialogs.messages.clear();
        chooseRecall(kase, FromFiles);
        std::string data = "2\r\n";
        for (int round = 0; round < 2; ++round) {
            for (const QString& input : kase.inputs) {
                data +=
                    (kase.kind == NetworkKind::DA ? QString("-1") : input).toStdString() + "\r\n";
            }
        }
        writeText("recall.dat", data);
        walkLoadingScreen(kase);
        EXPECT_EQ(wizard->current(), Screen::TrainingFiles);
        settings.InputDataPath = "recall.dat";
        wizard->show(Screen::RecallDataEntry);
        EXPECT_EQ(control<QPushButton>(Screen::RecallDataEntry, "cmdEnterData")->text(), "Start");
        click(Screen::RecallDataEntry, "cmdEnterData");
        const RecallPressResult expected = expectedPress(kase, FromFiles, {});
        ASSERT_TRUE(expected.error.empty()) << expected.error;
        ASSERT_FALSE(expected.outputTexts.empty());
        EXPECT_EQ(rowTexts(grid(Screen::RecallDataEntry, "OutputDataGrid")), expected.outputTexts);
        // The input grid shows the vector read from the file, not what was typed before.
        EXPECT_EQ(rowTexts(grid(Screen::RecallDataEntry, "InputDataGrid")), expected.inputTexts);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, "Done!");
        EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::None);
        wizard->show(Screen::ChooseNetwork);
    }
}

TEST_F(RecallScreensTest, RecordingKeepsOnlyTheLastPressInBothFiles) {
    const KindCase kase = kindCases()[0];
    chooseRecall(kase, Manual);
    walkLoadingScreen(kase);
    control<QCheckBox>(Screen::RecallDataEntry, "cmdCheckRecord")->setChecked(true);
    control<QLineEdit>(Screen::RecallDataEntry, "InputFile")->setText("in.rec");
    control<QLineEdit>(Screen::RecallDataEntry, "OutputFile")->setText("out.rec");
    typeInputs({"9", "9", "9"});
    click(Screen::RecallDataEntry, "cmdEnterData");
    CellGrid* inputs = grid(Screen::RecallDataEntry, "InputDataGrid");
    for (int column = 0; column < 3; ++column) {
        typeInto(inputs, column, "\b");
    }
    EXPECT_EQ(rowTexts(inputs), (std::vector<std::string>{"", "", ""}));
    typeInputs(kase.inputs);
    click(Screen::RecallDataEntry, "cmdEnterData");

    const RecallPressResult expected = expectedPress(kase, Manual, kase.inputs);
    std::string inputLines;
    for (const double value : expected.inputValues) {
        inputLines += fileNumberText(value) + "\r\n";
    }
    std::string outputLines;
    for (const double value : expected.outputValues) {
        outputLines += fileNumberText(value) + "\r\n";
    }
    EXPECT_EQ(readText("in.rec"), inputLines);
    EXPECT_EQ(readText("out.rec"), outputLines);
}

TEST_F(RecallScreensTest, ARefusedLoadLeavesNoNetworkAndAPressChangesNothing) {
    const struct {
        const char* what;
        const char* text;  // the file the loading screen names; nullptr: none at all
        const char* message;
    } refusals[] = {
        {"another kind's file", "CPN\r\n1\r\n1\r\n1\r\n0\r\n0\r\n", "Not correct network type!"},
        {"a missing file", nullptr, "Cannot open the network file \"other.vrn\"."},
        {"a file that ends early", "BPN\r\n3\r\n2\r\n", "other.vrn: the file ends"},
    };
    const KindCase kase = kindCases()[0];
    chooseRecall(kase, Manual);
    walkLoadingScreen(kase);
    control<QCheckBox>(Screen::RecallDataEntry, "cmdCheckRecord")->setChecked(true);
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        // A good network first, recalled and recorded.
        dialogs.messages.clear();
        click(Screen::RecallDataEntry, "cmdBack");
        typePath(kase.loading, "net.vrn");
        click(kase.loading, "cmdNext");
        typeInputs(kase.inputs);
        click(Screen::RecallDataEntry, "cmdEnterData");
        ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
        const std::string recorded = readText("output.txt");

        click(Screen::RecallDataEntry, "cmdBack");
        std::filesystem::remove("other.vrn");
        if (refusal.text != nullptr) {
            writeText("other.vrn", refusal.text);
        }
        typePath(kase.loading, "other.vrn");
        click(kase.loading, "cmdNext");
        ASSERT_EQ(wizard->current(), Screen::RecallDataEntry);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_TRUE(dialogs.messages[0].text.startsWith(refusal.message))
            << dialogs.messages[0].text.toStdString();
        EXPECT_EQ(control<QLabel>(Screen::RecallDataEntry, "NetworkLine")->text(),
                  "No network loaded");
        CellGrid* outputs = grid(Screen::RecallDataEntry, "OutputDataGrid");
        EXPECT_EQ(rowTexts(outputs), (std::vector<std::string>{"", ""}));

        typeInputs(kase.inputs);
        click(Screen::RecallDataEntry, "cmdEnterData");
        ASSERT_EQ(dialogs.messages.size(), 2u);
        EXPECT_EQ(dialogs.messages[1].text,
                  "No network is loaded. Choose a network file on the previous screen.");
        EXPECT_EQ(rowTexts(outputs), (std::vector<std::string>{"", ""}));
        EXPECT_EQ(readText("output.txt"), recorded);
    }
}

// Another kind's file is told in a plain box; every other refusal is a warning.
TEST_F(RecallScreensTest, AWrongKindIsToldPlainlyAndAnyOtherRefusalAsAWarning) {
    const struct {
        const char* what;
        const char* text;  // the file the loading screen names; nullptr: none at all
        Dialogs::Icon icon;
    } refusals[] = {
        {"another kind's file", "CPN\r\n1\r\n1\r\n1\r\n0\r\n0\r\n", Dialogs::Icon::None},
        {"a missing file", nullptr, Dialogs::Icon::Warning},
        {"a file that ends early", "BPN\r\n3\r\n2\r\n", Dialogs::Icon::Warning},
        {"a word for a weight", "BPN\r\n1\r\n1\r\n1\r\n1\r\n1\r\nx\r\n", Dialogs::Icon::Warning},
    };
    const KindCase kase = kindCases()[0];
    chooseRecall(kase, Manual);
    walkLoadingScreen(kase);
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        click(Screen::RecallDataEntry, "cmdBack");
        std::filesystem::remove("other.vrn");
        if (refusal.text != nullptr) {
            writeText("other.vrn", refusal.text);
        }
        dialogs.messages.clear();
        typePath(kase.loading, "other.vrn");
        click(kase.loading, "cmdNext");
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].icon, refusal.icon) << dialogs.messages[0].text.toStdString();
    }
}

TEST_F(RecallScreensTest, OutputCellsShowTheWholeNumberAndCopyAsOneRow) {
    // Zero weights: every output is half the output scale times the logistic of its
    // threshold, so the first is .832106289928978 and the second about 8E-91.
    chooseRecall(kindCases()[0], Manual);
    writeText("net.vrn",
              "BPN\r\n1\r\n1\r\n2\r\n1\r\n1.664212579857956\r\n0\r\n0\r\n0\r\n0\r\n0\r\n-"
              "208\r\n");
    KindCase kase = kindCases()[0];
    walkLoadingScreen(kase);
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    typeInputs({"1"});
    click(Screen::RecallDataEntry, "cmdEnterData");
    const RecallPressResult expected = expectedPress(kase, Manual, {"1"});
    CellGrid* outputs = grid(Screen::RecallDataEntry, "OutputDataGrid");
    ASSERT_EQ(rowTexts(outputs), expected.outputTexts);
    EXPECT_EQ(expected.outputTexts[0], " .832106289928978");
    EXPECT_TRUE(expected.outputTexts[1].ends_with("E-91")) << expected.outputTexts[1];

    // Each cell is wide enough for its whole text: nothing cut, nothing elided.
    for (int column = 0; column < 2; ++column) {
        const QModelIndex cell = outputs->model()->index(0, column);
        const QString text = cell.data().toString();
        EXPECT_GE(outputs->visualRect(cell).width(), outputs->fontMetrics().horizontalAdvance(text))
            << text.toStdString();
    }

    outputs->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(outputs->window()));
    QTest::mouseClick(outputs->viewport(), Qt::LeftButton, {},
                      outputs->visualRect(outputs->model()->index(0, 1)).center());
    QGuiApplication::clipboard()->clear();
    QTest::keySequence(outputs, QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString::fromStdString(".832106289928978\t" + expected.outputTexts[1].substr(1)));
}

TEST_F(RecallScreensTest, ACellThatIsNotANumberIsReported) {
    const KindCase kase = kindCases()[0];
    chooseRecall(kase, Manual);
    walkLoadingScreen(kase);
    typeInputs({"1", "-", "2"});
    click(Screen::RecallDataEntry, "cmdEnterData");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(rowTexts(grid(Screen::RecallDataEntry, "OutputDataGrid")),
              (std::vector<std::string>{"", ""}));
}

TEST_F(RecallScreensTest, RecallWindowStartOverAndExit) {
    const KindCase kase = kindCases()[3];
    chooseRecall(kase, Manual);
    walkLoadingScreen(kase);
    dialogs.exitAnswers = {false, true};
    click(Screen::RecallDataEntry, "Exit");
    EXPECT_EQ(dialogs.quitCount, 0);
    EXPECT_EQ(wizard->current(), Screen::RecallDataEntry);
    click(Screen::RecallDataEntry, "Exit");
    EXPECT_EQ(dialogs.quitCount, 1);
    EXPECT_EQ(dialogs.confirmTitles, (std::vector<QString>{"Exit", "Exit"}));
    click(Screen::RecallDataEntry, "cmdStartOver");
    EXPECT_EQ(wizard->current(), Screen::ChooseNetwork);
    EXPECT_FALSE(recallKind(settings).has_value());
}

TEST_F(RecallScreensTest, BrowseFillsTheBoxAndACancelledDialogLeavesIt) {
    settings.RecallDAFlag = 1;
    wizard->show(Screen::RecallDA);
    auto* path = control<QLineEdit>(Screen::RecallDA, "InputPath");
    path->setText("typed.vrn");
    dialogs.fileAnswers = {QString(), QStringLiteral("/some/where/chosen.vrn")};
    click(Screen::RecallDA, "cmdBrowse");
    EXPECT_EQ(path->text(), "typed.vrn");
    click(Screen::RecallDA, "cmdBrowse");
    EXPECT_EQ(path->text(), "/some/where/chosen.vrn");
    EXPECT_EQ(settings.NetworkFilePath, "/some/where/chosen.vrn");
    click(Screen::RecallDA, "cmdBack");
    EXPECT_EQ(wizard->current(), Screen::ChooseNetwork);
    EXPECT_FALSE(recallKind(settings).has_value());
}

TEST_F(RecallScreensTest, BrainStateLoadingRefusesParametersThatDoNotConvert) {
    settings.RecallBSBFlag = 1;
    wizard->show(Screen::RecallBSB);
    EXPECT_EQ(control<QLineEdit>(Screen::RecallBSB, "Beta")->text(), "0.5");
    EXPECT_EQ(control<QLineEdit>(Screen::RecallBSB, "Gamma")->text(), "0.5");
    EXPECT_EQ(control<QLineEdit>(Screen::RecallBSB, "ErrorThreshold")->text(), "0.01");
    control<QLineEdit>(Screen::RecallBSB, "Gamma")->setText("0");
    click(Screen::RecallBSB, "cmdNext");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("gamma", Qt::CaseInsensitive))
        << dialogs.messages[0].text.toStdString();
    EXPECT_EQ(wizard->current(), Screen::RecallBSB);
    EXPECT_EQ(settings.RecallBeta, 0.0);
    EXPECT_EQ(settings.RecallGamma, 0.0);
    EXPECT_EQ(settings.NetworkFilePath, "");

    control<QLineEdit>(Screen::RecallBSB, "Gamma")->setText("0.5");
    control<QLineEdit>(Screen::RecallBSB, "Beta")->setText("abc");
    click(Screen::RecallBSB, "cmdNext");
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[1].text.contains("beta", Qt::CaseInsensitive));
    EXPECT_EQ(wizard->current(), Screen::RecallBSB);

    control<QLineEdit>(Screen::RecallBSB, "Beta")->setText("0.5");
    settings.DataEntryMode = Manual;
    writeNetworkFile("network.vrn", bsbNetwork());
    click(Screen::RecallBSB, "cmdNext");
    EXPECT_EQ(wizard->current(), Screen::RecallDataEntry);
    EXPECT_EQ(settings.RecallBeta, 0.5);
    EXPECT_EQ(settings.RecallGamma, 0.5);
    EXPECT_EQ(settings.RecallErrorThreshold, 0.01);
    EXPECT_EQ(settings.NetworkFilePath, "network.vrn");
}

TEST_F(RecallScreensTest, AssociativeMemoriesShowBothVectorsAndHowManyElementsDiffer) {
    for (const KindCase& kase : kindCases()) {
        SCOPED_TRACE(kindTag(kase.kind));
        chooseRecall(kase, Manual);
        walkLoadingScreen(kase);
        ASSERT_EQ(wizard->current(), Screen::RecallDataEntry);
        auto* inputPattern = control<PatternView>(Screen::RecallDataEntry, "InputPattern");
        auto* outputPattern = control<PatternView>(Screen::RecallDataEntry, "OutputPattern");
        auto* note = control<QLabel>(Screen::RecallDataEntry, "DifferenceNote");
        const bool associative = kase.kind == NetworkKind::BSB || kase.kind == NetworkKind::DA;
        EXPECT_EQ(inputPattern->isVisible(), associative);
        EXPECT_EQ(outputPattern->isVisible(), associative);
        EXPECT_EQ(note->isVisible(), associative);

        typeInputs(kase.inputs);
        click(Screen::RecallDataEntry, "cmdEnterData");
        const RecallPressResult expected = expectedPress(kase, Manual, kase.inputs);
        ASSERT_TRUE(expected.error.empty()) << expected.error;
        if (!associative) {
            click(Screen::RecallDataEntry, "cmdBack");
            continue;
        }
        EXPECT_EQ(inputPattern->values(), expected.inputValues);
        EXPECT_EQ(outputPattern->values(), expected.outputValues);
        int differing = 0;
        for (std::size_t at = 0; at < expected.inputValues.size(); ++at) {
            differing += expected.inputValues[at] != expected.outputValues[at] ? 1 : 0;
        }
        if (kase.kind == NetworkKind::DA) {
            EXPECT_EQ(note->text(), QStringLiteral("Hamming distance: %1").arg(differing));
        } else {
            EXPECT_EQ(note->text(),
                      QStringLiteral("The output differs from the input in %1 of 3 elements.")
                          .arg(differing));
        }
        click(Screen::RecallDataEntry, "cmdBack");
    }
}

TEST_F(RecallScreensTest, AutocorrelatorHammingDistanceOfAKnownRecall) {
    // Each unit sees only itself, and the fourth with a negative weight: the fourth
    // element flips and the others stay.
    DaNetwork network;
    network.CorrelationMatrix = Matrix<std::int16_t>(4, 4);
    network.CorrelationMatrix.values() = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1};
    KindCase kase = kindCases()[3];
    kase.network = network;
    chooseRecall(kase, Manual);
    walkLoadingScreen(kase);
    typeInputs({"1", "-1", "1", "-1"});
    click(Screen::RecallDataEntry, "cmdEnterData");
    auto* note = control<QLabel>(Screen::RecallDataEntry, "DifferenceNote");
    EXPECT_EQ(note->text(), "Hamming distance: 1");
    EXPECT_EQ(control<PatternView>(Screen::RecallDataEntry, "OutputPattern")->values(),
              (std::vector<double>{1, -1, 1, 1}));
}

}  // namespace
}  // namespace vornetica
