// Step and the worked calculation in the training window, driven through its widgets.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <cstring>
#include <functional>
#include <optional>
#include <variant>

#include "display/worked_text.h"
#include "train/training_run.h"
#include "ui/encode_window.h"
#include "ui/run_screens_fixture.h"

namespace vornetica {
namespace {

using testing::writeText;

// Explains the first unit of a run and keeps it.
class FirstUnit : public SilentProgress {
  public:
    FirstUnit() { explainUnits(true); }
    void unitWorked(WorkedUnit&& worked) override {
        if (!unit) {
            unit = std::move(worked);
        }
        explainUnits(false);
    }
    std::optional<WorkedUnit> unit;
};

// Every weight of a network, in one list, to compare bit for bit.
std::vector<double> weightsOf(const TrainedNetwork& network) {
    std::vector<double> all;
    const auto add = [&](const auto& values) {
        all.insert(all.end(), values.begin(), values.end());
    };
    if (const auto* bpn = std::get_if<BpnNetwork>(&network)) {
        add(bpn->HiddenWeights.values());
        add(bpn->OutputWeights.values());
        add(bpn->HiddenThresholds);
        add(bpn->OutputThresholds);
    } else if (const auto* cpn = std::get_if<CpnNetwork>(&network)) {
        add(cpn->HiddenWeights.values());
        add(cpn->OutputWeights.values());
    } else if (const auto* bsb = std::get_if<BsbNetwork>(&network)) {
        add(bsb->Weights.values());
    } else if (const auto* da = std::get_if<DaNetwork>(&network)) {
        add(da->CorrelationMatrix.values());
    }
    return all;
}

bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

class StepTest : public testing::RunScreensTest {
  protected:
    void useFiles(const std::string& input, const std::string& output) {
        settings.DataEntryMode = FromFiles;
        writeText("input.dat", input);
        writeText("output.dat", output);
        settings.InputDataPath = "input.dat";
        settings.OutputDataPath = "output.dat";
    }
    void chooseKind(NetworkKind kind) {
        settings.EncodeBPNFlag = settings.EncodeCPNFlag = 0;
        settings.EncodeBSBFlag = settings.EncodeDAFlag = 0;
        switch (kind) {
            case NetworkKind::BPN:
                settings.EncodeBPNFlag = 1;
                settings.InputSize = 2;
                settings.HiddenSize = 3;
                settings.OutputSize = 1;
                settings.InputScale = settings.OutputScale = 1.0;
                settings.Alpha = settings.Beta = 0.5;
                settings.ErrorThreshold = 0.0001;
                settings.MaxIterations = 30;
                settings.ThresholdFunction = ThresholdKind::Logistic;
                useFiles("4\n0 0\n0 1\n1 0\n1 1\n", "0\n1\n1\n0\n");
                break;
            case NetworkKind::CPN:
                settings.EncodeCPNFlag = 1;
                settings.InputSize = 2;
                settings.HiddenSize = 4;
                settings.OutputSize = 1;
                settings.Beta = settings.Gamma = 0.5;
                settings.NumberTimeSteps = 10;
                useFiles("3\n.1 .9\n.8 -.2\n.5 .5\n", "1\n-1\n.5\n");
                break;
            case NetworkKind::BSB:
                settings.EncodeBSBFlag = 1;
                settings.InputSize = 3;
                settings.Alpha = 0.5;
                settings.ErrorThreshold = 0.01;
                useFiles("2\n1 -1 1\n-1 -1 1\n", "");
                break;
            case NetworkKind::DA:
                settings.EncodeDAFlag = 1;
                settings.InputSize = 3;
                useFiles("2\n1 -1 1\n1 1 -1\n", "");
                break;
        }
        wizard->show(Screen::ChooseNetwork);
        wizard->show(Screen::EncodeWindow);
    }
    EncodeWindow* window() {
        return static_cast<EncodeWindow*>(wizard->screen(Screen::EncodeWindow));
    }
    QString panelText() {
        return control<QPlainTextEdit>(Screen::EncodeWindow, "WorkedCalculationText")
            ->toPlainText();
    }
    bool waitForPanel(const QString& part) {
        return QTest::qWaitFor([&] { return panelText().contains(part); }, 60000);
    }
};

// Step trains one unit and shows its numbers, exactly as the core writes them out;
// Step, Step, Continue ends with the network Start alone trains.
TEST_F(StepTest, StepShowsOneUnitAndAStepppedRunEndsAsAnUnpausedOne) {
    std::size_t runs = 0;
    for (const NetworkKind kind :
         {NetworkKind::BPN, NetworkKind::CPN, NetworkKind::BSB, NetworkKind::DA}) {
        chooseKind(kind);
        const TrainingRequest request = captureTrainingRequest(settings);
        RandomSource forUnit = random, forNetwork = random;
        FirstUnit first;
        ASSERT_EQ(runTraining(request, forUnit, first).error, "");
        ASSERT_TRUE(first.unit.has_value());
        SilentProgress silent;
        const TrainingResult unpaused = runTraining(request, forNetwork, silent);

        click(Screen::EncodeWindow, "cmdStep");
        ASSERT_TRUE(waitForPanel(QStringLiteral("(unit 1)")));
        EXPECT_EQ(panelText(), QString::fromStdString(workedCalculationText(*first.unit, 0)));
        EXPECT_TRUE(window()->running());  // waiting after its first unit
        auto* start = control<QPushButton>(Screen::EncodeWindow, "cmdStart");
        EXPECT_EQ(start->text(), "Continue");
        EXPECT_TRUE(start->isEnabled());

        QTest::keyClick(window(), Qt::Key_F8);  // the Step key
        ASSERT_TRUE(waitForPanel(QStringLiteral("(unit 2)")));
        EXPECT_TRUE(window()->running());
        click(Screen::EncodeWindow, "cmdStart");
        ASSERT_TRUE(waitForMessages(++runs));
        EXPECT_EQ(dialogs.lastMessage(), "Done!");
        EXPECT_FALSE(window()->running());
        EXPECT_EQ(start->text(), "Start");
        EXPECT_TRUE(sameBits(weightsOf(window()->network()), weightsOf(unpaused.network)))
            << "kind " << static_cast<int>(kind);
    }
}

TEST_F(StepTest, StopWhileWaitingEndsTheRunAndTheNodeChoiceShowsALargeLayersNode) {
    chooseKind(NetworkKind::BPN);
    settings.HiddenSize = 12;
    wizard->show(Screen::ChooseNetwork);
    wizard->show(Screen::EncodeWindow);
    click(Screen::EncodeWindow, "cmdStep");
    ASSERT_TRUE(waitForPanel(QStringLiteral("(unit 1)")));
    EXPECT_FALSE(panelText().contains(QStringLiteral("h10 = ")));
    auto* node = control<QSpinBox>(Screen::EncodeWindow, "WorkedNode");
    EXPECT_EQ(node->maximum(), 12);
    node->setFocus();
    node->selectAll();
    QTest::keyClicks(node, "10");
    EXPECT_TRUE(panelText().contains(QStringLiteral("h10 = ")));
    EXPECT_TRUE(panelText().contains(QStringLiteral("…")));

    click(Screen::EncodeWindow, "cmdStop");
    ASSERT_TRUE(waitForMessages(1));
    EXPECT_EQ(dialogs.lastMessage(), "Done!");
    EXPECT_FALSE(window()->running());
    // The panel keeps the last unit explained until the next run.
    EXPECT_TRUE(panelText().contains(QStringLiteral("(unit 1)")));
}

}  // namespace
}  // namespace vornetica
