#include <QDir>
#include <QLabel>

#include "ui/parameter_help.h"
#include "ui/wizard_fixture.h"

namespace vornetica {
namespace {

using testing::WizardScreensTest;

struct BoxText {
    const char* name;
    const char* text;
    const char* tooltip;
};

void expectBoxes(WizardScreensTest& f, Screen screen, std::initializer_list<BoxText> boxes) {
    for (const BoxText& box : boxes) {
        SCOPED_TRACE(box.name);
        auto* edit = f.control<QLineEdit>(screen, box.name);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), box.text);
        // A box without a tooltip of its own shows what it does and its usual range.
        const QString fixed = QString::fromLatin1(box.tooltip);
        const QString help = parameterHelp(edit->window()->objectName(), box.name);
        EXPECT_FALSE(help.isEmpty());
        EXPECT_EQ(edit->toolTip(), fixed.isEmpty() ? help : fixed);
    }
}

TEST_F(WizardScreensTest, ParameterScreensShowTheirDefaultTexts) {
    EXPECT_EQ(wizard.screen(Screen::EncodeBPN)->windowTitle(), "Encode Backpropagation");
    expectBoxes(*this, Screen::EncodeBPN,
                {{"InputSize", "1", "Dimension of the input vectors."},
                 {"HiddenSize", "100", "Dimension of the hidden layer (number of hidden nodes)."},
                 {"OutputSize", "1", ""},
                 {"ErrorThreshold", ".0001", ""},
                 {"MaxIterations", "100", ""},
                 {"InputScale", "10.0", ""},
                 {"OutputScale", "10.0", ""},
                 {"Alpha", "0.75", "Controls input layer learning rate."},
                 {"Beta", "0.25", "Controls hidden layer learning rate."}});
    EXPECT_EQ(wizard.screen(Screen::EncodeCPN)->windowTitle(), "Encode Counterpropagation");
    expectBoxes(*this, Screen::EncodeCPN,
                {{"InputSize", "4", ""},
                 {"HiddenSize", "50", ""},
                 {"OutputSize", "4", ""},
                 {"Beta", "0.5", "Controls input layer learnng rate."},
                 {"Gamma", "0.5", "Controls hidden layer learning rate."},
                 {"NumberTimeSteps", "100", ""}});
    EXPECT_EQ(wizard.screen(Screen::EncodeBSB)->windowTitle(), "Encode Brain-State-in-a-Box");
    expectBoxes(*this, Screen::EncodeBSB,
                {{"InputSize", "4", ""},
                 {"Alpha", "0.5", "Controls learning rate."},
                 {"ErrorThreshold", "0.01", ""}});
    EXPECT_EQ(wizard.screen(Screen::EncodeDA)->windowTitle(), "Encode Discrete Autocorrelator");
    expectBoxes(*this, Screen::EncodeDA, {{"InputSize", "4", ""}});
    auto* label = qobject_cast<QLabel*>(control<QLineEdit>(Screen::EncodeDA, "InputSize")
                                            ->parentWidget()
                                            ->findChildren<QLabel*>()
                                            .value(0));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Dimension of Input Vectors:");
}

TEST_F(WizardScreensTest, TabFollowsTheFieldsInTheirListedOrder) {
    wizard.show(Screen::EncodeBPN);
    const char* order[] = {"InputSize",     "HiddenSize", "OutputSize",  "ErrorThreshold",
                           "MaxIterations", "InputScale", "OutputScale", "Alpha",
                           "Beta",          "cmdNext"};
    // The widget Tab moves to: the next in the focus chain that takes focus by Tab.
    const auto tabFrom = [](QWidget* widget) {
        do {
            widget = widget->nextInFocusChain();
        } while ((widget->focusPolicy() & Qt::TabFocus) == 0);
        return widget;
    };
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        EXPECT_EQ(tabFrom(control(Screen::EncodeBPN, order[i]))->objectName(), order[i + 1])
            << order[i];
    }
}

TEST_F(WizardScreensTest, IntegerHalvesGoToTheEvenNeighbour) {
    choose({"ChoiceEncode", "ChoiceBPN", "ManualEntry"});
    type(Screen::EncodeBPN, "InputSize", "2.5");
    type(Screen::EncodeBPN, "OutputSize", "3.5");
    nextOnBPN();
    EXPECT_EQ(settings.InputSize, 2);
    EXPECT_EQ(settings.OutputSize, 4);
    EXPECT_EQ(visible(), Screen::EncodeDataEntry);
}

TEST_F(WizardScreensTest, ARefusedTextIsNamedAndNothingIsStored) {
    choose({"ChoiceEncode", "ChoiceBPN", "ManualEntry"});
    const std::pair<const char*, const char*> refusals[] = {{"HiddenSize", "abc"},
                                                            {"InputSize", "0"},
                                                            {"OutputScale", "0"},
                                                            {"MaxIterations", "-5"},
                                                            {"OutputSize", "40000"}};
    for (const auto& [box, text] : refusals) {
        SCOPED_TRACE(box);
        const QString before = control<QLineEdit>(Screen::EncodeBPN, box)->text();
        type(Screen::EncodeBPN, box, text);
        const std::size_t shown = dialogs.messages.size();
        // No neuron function dialog opens: a refusal stops Next before it.
        click(Screen::EncodeBPN, "cmdNext");
        ASSERT_EQ(dialogs.messages.size(), shown + 1);
        EXPECT_EQ(dialogs.messages.back().icon, Dialogs::Icon::Warning);
        EXPECT_EQ(visible(), Screen::EncodeBPN);
        EXPECT_EQ(settings.InputSize, 0);
        EXPECT_EQ(settings.HiddenSize, 0);
        EXPECT_EQ(settings.ThresholdFunction, ThresholdKind::NoneChosen);
        type(Screen::EncodeBPN, box, before);
    }
    EXPECT_TRUE(dialogs.messages[0].text.contains("hidden layer"))
        << dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(dialogs.messages[2].text.contains("output scaling factor"))
        << dialogs.messages[2].text.toStdString();
}

TEST_F(WizardScreensTest, OtherParameterScreensStoreInTheirOwnFields) {
    choose({"ChoiceEncode", "ChoiceCPN", "FileEntry"});
    type(Screen::EncodeCPN, "NumberTimeSteps", "250");
    type(Screen::EncodeCPN, "Gamma", "0.125");
    click(Screen::EncodeCPN, "cmdNext");
    EXPECT_EQ(settings.NumberTimeSteps, 250);
    EXPECT_EQ(settings.Gamma, 0.125);
    EXPECT_EQ(settings.HiddenSize, 50);

    wizard.show(Screen::EncodeBSB);
    type(Screen::EncodeBSB, "Alpha", "");
    click(Screen::EncodeBSB, "cmdNext");
    EXPECT_EQ(visible(), Screen::EncodeBSB);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(settings.Alpha, 0.0);
}

TEST_F(WizardScreensTest, NeuronFunctionScreenStartsWithLogistic) {
    choose({"ChoiceEncode", "ChoiceBPN", "ManualEntry"});
    nextOnBPN([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Choose Neuron Threshold Function");
        EXPECT_TRUE(dialog.findChild<QRadioButton*>("OptionLogistic")->isChecked());
        EXPECT_EQ(dialog.findChild<QRadioButton*>("OptionRatioSquares")->text(),
                  "Augmented Ratio of Squares");
        EXPECT_EQ(dialog.findChild<QLineEdit*>("StepLowerBoundary")->text(), "-1.0");
        // Boxes of functions not chosen are not read.
        dialog.findChild<QLineEdit*>("LinearSlope")->setText("steep");
    });
    EXPECT_EQ(settings.ThresholdFunction, ThresholdKind::Logistic);
    EXPECT_EQ(settings.LinearSlope, 1.0);
}

TEST_F(WizardScreensTest, NeuronFunctionOkWithStepReadsItsBoxesAndKeepsTheChoice) {
    choose({"ChoiceEncode", "ChoiceBPN", "ManualEntry"});
    nextOnBPN([](QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QRadioButton*>("OptionStep"), Qt::LeftButton);
        dialog.findChild<QLineEdit*>("StepUpperBoundary")->setText("0.5");
        dialog.findChild<QLineEdit*>("StepLowerBoundary")->setText("2");
        dialog.findChild<QLineEdit*>("RampBoundary")->setText("wide");
    });
    EXPECT_EQ(settings.ThresholdFunction, ThresholdKind::Step);
    EXPECT_EQ(settings.StepUpperBoundary, 0.5);
    EXPECT_EQ(settings.StepLowerBoundary, 2.0);
    EXPECT_EQ(settings.RampBoundary, 1.0);

    // The screen is kept: the next showing offers the previous selection.
    click(Screen::EncodeDataEntry, "cmdBack");
    nextOnBPN([](QDialog& dialog) {
        EXPECT_TRUE(dialog.findChild<QRadioButton*>("OptionStep")->isChecked());
        EXPECT_EQ(dialog.findChild<QLineEdit*>("StepUpperBoundary")->text(), "0.5");
    });
}

TEST_F(WizardScreensTest, NeuronFunctionBoxThatIsNoNumberKeepsTheDialogOpen) {
    choose({"ChoiceEncode", "ChoiceBPN", "ManualEntry"});
    nextOnBPN([this](QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QRadioButton*>("OptionLinear"), Qt::LeftButton);
        dialog.findChild<QLineEdit*>("LinearSlope")->setText("1,5");
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOk"), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_TRUE(dialogs.lastMessage().contains("Enter Slope"))
            << dialogs.lastMessage().toStdString();
        EXPECT_EQ(settings.ThresholdFunction, ThresholdKind::NoneChosen);
        dialog.findChild<QLineEdit*>("LinearSlope")->setText("1.5");
    });
    EXPECT_EQ(settings.ThresholdFunction, ThresholdKind::Linear);
    EXPECT_EQ(settings.LinearSlope, 1.5);
}

// Whether the curve drawn in `column` of a picture lies in its upper half.
bool curveIsHighAt(const QImage& picture, int column) {
    int sum = 0;
    int count = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const QColor pixel = picture.pixelColor(column, y);
        if (pixel.red() > 150 && pixel.green() < 120) {
            sum += y;
            ++count;
        }
    }
    EXPECT_GT(count, 0) << "no curve in column " << column;
    return count > 0 && sum / count < picture.height() / 2;
}

TEST_F(WizardScreensTest, NeuronFunctionPicturesFollowTheirParameters) {
    choose({"ChoiceEncode", "ChoiceBPN", "ManualEntry"});
    nextOnBPN([](QDialog& dialog) {
        const auto picture = [&](const char* name) {
            return dialog.findChild<QLabel*>(name)->pixmap().toImage();
        };
        EXPECT_FALSE(curveIsHighAt(picture("Picture1"), 5));
        EXPECT_TRUE(curveIsHighAt(picture("Picture1"), 90));
        const QImage logistic = picture("Picture4");
        dialog.findChild<QLineEdit*>("LinearSlope")->setText("-1");
        EXPECT_TRUE(curveIsHighAt(picture("Picture1"), 5));
        EXPECT_FALSE(curveIsHighAt(picture("Picture1"), 90));
        EXPECT_EQ(picture("Picture4"), logistic);

        EXPECT_FALSE(curveIsHighAt(picture("Picture3"), 5));
        dialog.findChild<QLineEdit*>("StepUpperBoundary")->setText("-1.0");
        dialog.findChild<QLineEdit*>("StepLowerBoundary")->setText("1.0");
        EXPECT_TRUE(curveIsHighAt(picture("Picture3"), 5));
        EXPECT_FALSE(curveIsHighAt(picture("Picture3"), 90));
    });
}

TEST_F(WizardScreensTest, F1WithoutTheHelpFileNamesThePathLookedFor) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QDir::tempPath());
    wizard.show(Screen::EncodeCPN);
    QTest::keyClick(wizard.screen(Screen::EncodeCPN), Qt::Key_F1);
    QDir::setCurrent(previous);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.lastMessage().contains(QDir(QDir::tempPath()).filePath("vornetica.hlp")))
        << dialogs.lastMessage().toStdString();
}

}  // namespace
}  // namespace vornetica
