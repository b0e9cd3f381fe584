#include <gtest/gtest.h>

#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QAbstractButton>
#include <QAccessible>
#include <QChartView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <memory>
#include <set>

#include "netfile/network_file.h"
#include "support/temp_dir.h"
#include "ui/cell_grid.h"
#include "ui/choose_threshold.h"
#include "ui/scripted_dialogs.h"
#include "ui/wizard.h"

namespace vornetica {
namespace {

// What a screen reader is told about a widget, through Qt's accessibility interface.
QString accessibleText(QObject* object, QAccessible::Text which) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face != nullptr ? face->text(which) : QString();
}

struct Announcement {
    QObject* object;
    QAccessible::Event type;
};
std::vector<Announcement> announced;

void rememberEvent(QAccessibleEvent* event) {
    announced.push_back({event->object(), event->type()});
}

class AccessibilityTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(folder.path());
        setDefaultSettings(settings);
        wizard = std::make_unique<Wizard>(settings, random, dialogs);
        registerWizardScreens(*wizard);
        registerTrainingAndRecallScreens(*wizard);
    }
    void TearDown() override {
        wizard.reset();
        std::filesystem::current_path(previous_);
    }
    template <typename T = QWidget>
    T* control(Screen screen, const char* name) {
        T* found = wizard->screen(screen)->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    testing::TempDir folder;
    NetworkSettings settings;
    RandomSource random;
    testing::ScriptedDialogs dialogs;
    std::unique_ptr<Wizard> wizard;

  private:
    std::filesystem::path previous_;
};

TEST_F(AccessibilityTest, EveryGridIsNamedByItsLabelAndDescribedByItsTooltip) {
    const struct {
        Screen screen;
        const char* grid;
        const char* name;
        const char* description;  // nullptr: a description of the screen's own
    } grids[] = {
        {Screen::EncodeWindow, "InputValuesGrid", "Input Values", "Displays input vectors."},
        {Screen::EncodeWindow, "OutputValuesGrid", "Output Values", "Displays output vectors."},
        {Screen::EncodeWindow, "ErrorValuesGrid", "Error Values", "Displays error values."},
        {Screen::EncodeWindow, "IterationsGrid", "Iteration", "Displays current iteration."},
        {Screen::EncodeWindow, "InputNodesGrid", "Input Nodes", ""},
        {Screen::EncodeWindow, "HiddenNodesGrid", "Hidden Nodes", ""},
        {Screen::EncodeWindow, "OutputNodesGrid", "Output Nodes", ""},
        {Screen::RecallDataEntry, "InputDataGrid", "Enter Recall Vector", nullptr},
        {Screen::RecallDataEntry, "OutputDataGrid", "Output Data Vector", nullptr},
        {Screen::EncodeDataEntry, "InputGrid", "Input Data", "Enter an input vector."},
        {Screen::EncodeDataEntry, "OutputGrid", "Output Data", "Enter an output vector."},
        {Screen::EncodeDataEntry2, "InputGrid", "Input Data", "Enter an input vector."},
    };
    for (const auto& each : grids) {
        SCOPED_TRACE(each.grid);
        auto* grid = control<CellGrid>(each.screen, each.grid);
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(accessibleText(grid, QAccessible::Name), each.name);
        const QString description = accessibleText(grid, QAccessible::Description);
        if (each.description != nullptr) {
            EXPECT_EQ(description, each.description);
        } else {
            EXPECT_FALSE(description.isEmpty());
        }
    }
}

// Every control a user can reach (and every picture) is named, and no two in one
// window share a name.
TEST_F(AccessibilityTest, EveryControlOnEveryScreenHasItsOwnName) {
    ChooseThreshold threshold(settings, dialogs, nullptr);
    std::vector<QWidget*> windows{&threshold};
    for (int index = 0; index <= static_cast<int>(Screen::RecallDataEntry); ++index) {
        if (static_cast<Screen>(index) != Screen::ChooseThreshold) {
            windows.push_back(wizard->screen(static_cast<Screen>(index)));
        }
    }
    for (QWidget* window : windows) {
        SCOPED_TRACE(window->objectName().toStdString());
        std::set<QString> names;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<QLabel*>(widget);
            const bool control = qobject_cast<QAbstractButton*>(widget) != nullptr ||
                                 qobject_cast<QLineEdit*>(widget) != nullptr ||
                                 qobject_cast<CellGrid*>(widget) != nullptr ||
                                 qobject_cast<QChartView*>(widget) != nullptr ||
                                 (label != nullptr && !label->pixmap().isNull());
            // A grid's own parts (its corner button) are read as the grid.
            if (!control || qobject_cast<QAbstractItemView*>(widget->parentWidget()) != nullptr) {
                continue;
            }
            const QString name = accessibleText(widget, QAccessible::Name);
            EXPECT_FALSE(name.isEmpty()) << widget->objectName().toStdString();
            EXPECT_TRUE(names.insert(name).second)
                << widget->objectName().toStdString() << " shares the name " << name.toStdString();
        }
    }
    // The boxes are named by their own labels, not by their frame.
    EXPECT_EQ(accessibleText(control(Screen::RecallDataEntry, "InputFile"), QAccessible::Name),
              "Input File:");
    EXPECT_EQ(accessibleText(control(Screen::TrainingFiles, "cmdBrowseOut"), QAccessible::Name),
              "Browse for the output file");
    EXPECT_EQ(accessibleText(threshold.findChild<QLabel*>("Picture6"), QAccessible::Name),
              "Curve of the Augmented Ratio of Squares");
    // The chart's text alternative.
    EXPECT_FALSE(
        accessibleText(control(Screen::EncodeWindow, "ProgressChart"), QAccessible::Description)
            .isEmpty());
}

TEST_F(AccessibilityTest, ANewRecallOutputIsAnnounced) {
    BsbNetwork network;
    network.Weights = Matrix<double>(2, 2);
    writeNetworkFile("net.vrn", network);
    settings.RecallBSBFlag = 1;
    settings.DataEntryMode = Manual;
    settings.NetworkFilePath = "net.vrn";
    settings.RecallGamma = 1.0;
    settings.RecallErrorThreshold = 0.01;
    wizard->show(Screen::RecallDataEntry);
    auto* inputs = control<CellGrid>(Screen::RecallDataEntry, "InputDataGrid");
    inputs->cells().setText(0, 0, ".25");
    inputs->cells().setText(0, 1, "-.5");

    // As when a screen reader is listening.
    QPlatformAccessibility* platform =
        QGuiApplicationPrivate::platformIntegration()->accessibility();
    ASSERT_NE(platform, nullptr);
    platform->setActive(true);
    announced.clear();
    QAccessible::installUpdateHandler(rememberEvent);
    QTest::mouseClick(control<QAbstractButton>(Screen::RecallDataEntry, "cmdEnterData"),
                      Qt::LeftButton);
    QTest::mouseClick(control<QAbstractButton>(Screen::RecallDataEntry, "cmdEnterData"),
                      Qt::LeftButton);
    QAccessible::installUpdateHandler(nullptr);
    platform->setActive(false);

    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.lastMessage().toStdString();
    auto* outputs = control<CellGrid>(Screen::RecallDataEntry, "OutputDataGrid");
    int announcements = 0;
    for (const Announcement& event : announced) {
        announcements += event.object == outputs && event.type == QAccessible::DescriptionChanged;
    }
    // Each press is announced, also the second with the same output.
    EXPECT_EQ(announcements, 2);
    EXPECT_TRUE(accessibleText(outputs, QAccessible::Description).contains(".25, -.5"))
        << accessibleText(outputs, QAccessible::Description).toStdString();
    // A network opened afresh has no output to tell of.
    wizard->show(Screen::RecallBSB);
    wizard->show(Screen::RecallDataEntry);
    EXPECT_FALSE(accessibleText(outputs, QAccessible::Description).contains(".25"));
}

}  // namespace
}  // namespace vornetica
