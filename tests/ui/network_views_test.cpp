#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QTabWidget>
#include <QToolTip>

#include "base/number_text.h"
#include "display/function_view_data.h"
#include "ui/encode_window.h"
#include "ui/function_view.h"
#include "ui/run_screens_fixture.h"
#include "ui/weight_view.h"

namespace vornetica {
namespace {

using testing::writeText;

class NetworkViewsTest : public testing::RunScreensTest {
  protected:
    // 1-4-1 with four vectors: one input, so the function view draws a curve.
    void chooseBpn(int inputs = 1, int maxIterations = 20) {
        settings.EncodeBPNFlag = 1;
        settings.InputSize = static_cast<std::int16_t>(inputs);
        settings.HiddenSize = 4;
        settings.OutputSize = 2;
        settings.InputScale = 10.0;
        settings.OutputScale = 10.0;
        settings.Alpha = 0.5;
        settings.Beta = 0.5;
        settings.ErrorThreshold = -1.0;  // never met: the run goes to its limit
        settings.MaxIterations = static_cast<std::int16_t>(maxIterations);
        settings.ThresholdFunction = ThresholdKind::Tanh;
        std::string input = "4\r\n";
        for (int n = 0; n < 4 * inputs; ++n) {
            input += std::to_string(n * 3 % 7 - 2) + "\r\n";
        }
        useFiles(input, "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n");
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
    QTabWidget* tabs() { return control<QTabWidget>(Screen::EncodeWindow, "ViewTabs"); }
    FunctionView* functionView() {
        return control<FunctionView>(Screen::EncodeWindow, "FunctionView");
    }
    WeightView* weightView() { return control<WeightView>(Screen::EncodeWindow, "WeightView"); }
    void runToDone() {
        wizard->show(Screen::EncodeWindow);
        click(Screen::EncodeWindow, "cmdStart");
        ASSERT_TRUE(waitForMessages(1));
        ASSERT_EQ(dialogs.messages[0].text, "Done!");
    }
    // The tooltip a widget shows when the pointer rests at `at`.
    QString toolTipAt(QWidget* widget, const QPoint& at) {
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, at, widget->mapToGlobal(at));
        QApplication::sendEvent(widget, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }
};

TEST_F(NetworkViewsTest, TabsTurnByKeyboardFromAnywhereInTheWindow) {
    chooseBpn();
    wizard->show(Screen::EncodeWindow);
    window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    ASSERT_EQ(tabs()->count(), 4);
    EXPECT_EQ(tabs()->tabText(0), "&Chart");
    EXPECT_EQ(tabs()->currentIndex(), 0);
    QWidget* start = control<QWidget>(Screen::EncodeWindow, "cmdStart");
    start->setFocus();
    QTest::keyClick(start, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs()->currentWidget(), functionView());
    QTest::keyClick(start, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs()->currentWidget(), weightView());
    QTest::keyClick(start, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs()->currentIndex(), 3);
    QTest::keyClick(start, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs()->currentIndex(), 0);
    QTest::keyClick(start, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs()->currentIndex(), 3);
    // Alt and the underlined letter pick a tab.
    QTest::keyClick(start, Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(tabs()->currentWidget(), functionView());
    QTest::keyClick(start, Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(tabs()->currentIndex(), 0);
    // Step brings its worked calculation into view.
    QTest::mouseClick(control<QWidget>(Screen::EncodeWindow, "cmdStep"), Qt::LeftButton);
    EXPECT_EQ(tabs()->currentIndex(), 3);
}

TEST_F(NetworkViewsTest, FunctionViewDrawsTheTrainedCurveWithTheTrainingFunction) {
    chooseBpn();
    tabs()->setCurrentWidget(functionView());
    runToDone();
    FunctionView* view = functionView();
    ASSERT_TRUE(view->drawn());
    const auto& network = std::get<BpnNetwork>(window()->network());
    const FunctionSamples& samples = view->samples();
    ASSERT_EQ(samples.shape, FunctionShape::Curve);
    // The inputs -2, 1, 4, 0 span -2 to 4; the targets of output 1 are the points.
    EXPECT_EQ(samples.xLow, -2.0);
    EXPECT_EQ(samples.xHigh, 4.0);
    EXPECT_EQ(samples.pointY, (std::vector<double>{1, 3, 5, 7}));
    ThresholdChoice tanh;
    tanh.function = ThresholdKind::Tanh;
    ASSERT_GT(samples.values.size(), 2u);
    EXPECT_EQ(samples.values.back(), networkOutputs(network, tanh, std::vector{4.0})[0]);
    EXPECT_TRUE(view->caption().contains("tanh")) << view->caption().toStdString();

    // The second output, chosen by keyboard, redraws with its own targets.
    auto* choice = control<QComboBox>(Screen::EncodeWindow, "FunctionOutputChoice");
    tabs()->setCurrentWidget(view);
    choice->setFocus();
    QTest::keyClick(choice, Qt::Key_Down);
    EXPECT_EQ(view->samples().output, 1);
    EXPECT_EQ(view->samples().pointY, (std::vector<double>{2, 4, 6, 8}));
    EXPECT_EQ(view->samples().values.back(), networkOutputs(network, tanh, std::vector{4.0})[1]);

    // Resting the pointer on the curve reads its value in full: the middle sample
    // lies at input 1.
    FunctionPlot* plot = view->plot();
    const std::size_t middle = view->samples().values.size() / 2;
    const QPointF at = plot->position(1.0, view->samples().values[middle]);
    const QString tip = toolTipAt(plot, at.toPoint());
    EXPECT_EQ(
        tip,
        QString("Input 1: output 2 is %1")
            .arg(QString::fromStdString(numberText(view->samples().values[middle])).trimmed()));
}

TEST_F(NetworkViewsTest, TwoInputsDrawAMapAndMoreDrawOutputsAgainstTargets) {
    chooseBpn(2);
    tabs()->setCurrentWidget(functionView());
    runToDone();
    EXPECT_EQ(functionView()->samples().shape, FunctionShape::Map);
    EXPECT_EQ(functionView()->samples().pointX.size(), 4u);
    dialogs.messages.clear();
    chooseBpn(3);
    runToDone();
    const FunctionSamples& pairs = functionView()->samples();
    ASSERT_EQ(pairs.shape, FunctionShape::Pairs);
    EXPECT_EQ(pairs.pointX, (std::vector<double>{1, 3, 5, 7}));
    EXPECT_EQ(pairs.pointY.size(), 4u);
}

TEST_F(NetworkViewsTest, WeightViewNamesTheWeightUnderThePointerAndAtTheKeys) {
    chooseBpn(2);
    tabs()->setCurrentIndex(2);
    runToDone();
    WeightView* view = weightView();
    const auto& network = std::get<BpnNetwork>(window()->network());
    ASSERT_EQ(view->matrices().size(), 4u);
    const WeightMatrix* hidden = view->shownMatrix();
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(hidden->values, std::vector<double>(network.HiddenWeights.values().begin(),
                                                  network.HiddenWeights.values().end()));

    WeightMap* map = view->map();
    const QPoint cell = map->cellRect(1, 2).center().toPoint();
    const QString expected =
        QString("Hidden weight from input 2 to hidden node 3: %1")
            .arg(QString::fromStdString(numberText(network.HiddenWeights.at(1, 2))).trimmed());
    QTest::mouseMove(map, cell);
    auto* name = control<QLabel>(Screen::EncodeWindow, "WeightName");
    EXPECT_EQ(name->text(), expected);
    EXPECT_EQ(toolTipAt(map, cell), expected);

    // The arrow keys move from there; the choice box takes the thresholds.
    map->setFocus();
    QTest::keyClick(map, Qt::Key_Up);
    EXPECT_TRUE(name->text().startsWith("Hidden weight from input 1 to hidden node 3: "));
    auto* choice = control<QComboBox>(Screen::EncodeWindow, "WeightMatrixChoice");
    choice->setCurrentIndex(3);
    EXPECT_EQ(view->shownMatrix()->values, network.OutputThresholds);
    EXPECT_TRUE(toolTipAt(map, map->cellRect(0, 1).center().toPoint())
                    .startsWith("Threshold of output node 2: "));
}

TEST_F(NetworkViewsTest, WeightViewFollowsALongRunBeforeItEnds) {
    chooseBpn(1, 32000);
    // 1-60-2 over 500 vectors for 32000 epochs: far longer than showing the weights takes.
    settings.HiddenSize = 60;
    // Logistic error signals never fall to -1, so only the limit or Stop ends it.
    settings.ThresholdFunction = ThresholdKind::Logistic;
    std::string input = "500\r\n", output;
    for (int n = 0; n < 500; ++n) {
        input += std::to_string(n % 19) + "\r\n";
        output += std::to_string(n % 7) + "\r\n" + std::to_string(n % 5) + "\r\n";
    }
    useFiles(input, output);
    tabs()->setCurrentIndex(2);
    wizard->show(Screen::EncodeWindow);
    click(Screen::EncodeWindow, "cmdStart");
    ASSERT_TRUE(QTest::qWaitFor([&] { return weightView()->shownMatrix() != nullptr; }, 300000));
    EXPECT_TRUE(window()->running());
    EXPECT_TRUE(dialogs.messages.empty());
    click(Screen::EncodeWindow, "cmdStop");
    ASSERT_TRUE(waitForMessages(1));
}

TEST_F(NetworkViewsTest, AutocorrelatorShowsItsMatrixAndNoFunction) {
    settings.EncodeDAFlag = 1;
    settings.InputSize = 3;
    useFiles("1\r\n1\r\n-1\r\n1\r\n", "");
    runToDone();
    // The weights behind their tab are drawn when it is chosen.
    EXPECT_EQ(weightView()->shownMatrix(), nullptr);
    tabs()->setCurrentWidget(weightView());
    const WeightMatrix* matrix = weightView()->shownMatrix();
    ASSERT_NE(matrix, nullptr);
    EXPECT_EQ(matrix->values, (std::vector<double>{0, -1, 1, -1, 0, -1, 1, -1, 0}));
    EXPECT_FALSE(functionView()->drawn());
}

TEST_F(NetworkViewsTest, WindowFitsA1024By768Screen) {
    chooseBpn();
    wizard->show(Screen::EncodeWindow);
    // A title bar and frame take about 30 pixels of the height.
    for (const QSize size : {window()->sizeHint(), window()->minimumSizeHint()}) {
        EXPECT_LE(size.width(), 1024);
        EXPECT_LE(size.height(), 738);
    }
}

}  // namespace
}  // namespace vornetica
