// The exports, driven as a user drives them: the context menu opened by the
// keyboard or the mouse, an entry chosen with the arrow keys, a name typed into the
// save dialogue; then the file written is read back.
#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QXmlStreamReader>
#include <functional>

#include "base/number_text.h"
#include "netfile/matrix_export.h"
#include "ui/cell_grid.h"
#include "ui/encode_window.h"
#include "ui/progress_chart.h"
#include "ui/run_screens_fixture.h"

namespace vornetica {
namespace {

using testing::readText;
using testing::TempDir;

// Calls `act` once `find` gives a widget, polling the event loop that the code
// under test runs (a menu's or a dialogue's), and gives up after a minute.
template <typename T>
QTimer* whenShown(std::function<T*()> find, std::function<void(T*)> act) {
    auto* timer = new QTimer;
    auto* tries = new int(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [=] {
        T* found = find();
        if (found == nullptr && ++*tries < 6000) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        delete tries;
        if (found != nullptr) {
            act(found);
        }
    });
    timer->start();
    return timer;
}

QMenu* popupMenu() {
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

QFileDialog* saveDialogue() {
    return qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
}

// When the context menu shows, records its entries and picks `entry` with the arrow
// keys and Enter; when the save dialogue then shows, types `path` and presses Enter.
struct MenuAndSave {
    QStringList entries;
    bool saveAsked = false;

    void expect(const QString& entry, const QString& path) {
        whenShown<QMenu>(popupMenu, [this, entry](QMenu* menu) {
            for (QAction* action : menu->actions()) {
                entries.append(action->text());
            }
            for (int step = 0; step < menu->actions().size(); ++step) {
                QTest::keyClick(menu, Qt::Key_Down);
                if (menu->activeAction() != nullptr && menu->activeAction()->text() == entry) {
                    break;
                }
            }
            QTest::keyClick(menu, Qt::Key_Return);
        });
        whenShown<QFileDialog>(saveDialogue, [this, path](QFileDialog* dialogue) {
            saveAsked = true;
            auto* name = dialogue->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            // Set whole rather than typed: typing opens the name completer's popup.
            name->setText(path);
            QTest::keyClick(name, Qt::Key_Return);
        });
    }
};

std::vector<EpochReport> falling(int epochs) {
    std::vector<EpochReport> reports;
    for (int epoch = 0; epoch < epochs; ++epoch) {
        reports.push_back({epoch, 1.0 / (epoch + 1), 0.5 / (epoch + 1)});
    }
    return reports;
}

class ExportTest : public ::testing::Test {
  protected:
    TempDir folder;
};

TEST_F(ExportTest, ChartSavesAsPngFromTheMenuKeyAtItsOwnSize) {
    ProgressChart chart;
    chart.resize(640, 360);
    chart.show();
    chart.beginRun(NetworkKind::BPN, 0.01);
    chart.showPoints(falling(40));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));

    // The menu keys need the focus, and Tab must be able to bring it.
    EXPECT_TRUE(chart.focusPolicy() & Qt::TabFocus);
    MenuAndSave user;
    const QString path = QString::fromStdString(folder.file("chart.png"));
    user.expect(QStringLiteral("Save Chart as PNG…"), path);
    QTest::keyClick(&chart, Qt::Key_Menu);

    EXPECT_EQ(user.entries, (QStringList{QStringLiteral("Save Chart as PNG…"),
                                         QStringLiteral("Save Chart as SVG…")}));
    EXPECT_TRUE(user.saveAsked);
    QImage image;
    ASSERT_TRUE(image.load(path, "PNG"));
    EXPECT_EQ(image.size(), chart.size());
    // A picture of the chart, not an empty canvas: the curve's colour is in it.
    bool curveDrawn = false;
    for (int y = 0; y < image.height() && !curveDrawn; ++y) {
        for (int x = 0; x < image.width() && !curveDrawn; ++x) {
            curveDrawn = image.pixelColor(x, y) == QColor(0x1f, 0x5f, 0xbf);
        }
    }
    EXPECT_TRUE(curveDrawn);
}

TEST_F(ExportTest, ChartSavesAsSvgFromShiftF10AndTheRightMouseButton) {
    ProgressChart chart;
    chart.resize(600, 340);
    chart.show();
    chart.beginRun(NetworkKind::BPN, 0.01);
    chart.showPoints(falling(12));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));

    MenuAndSave keyboard;
    const QString first = QString::fromStdString(folder.file("chart.svg"));
    keyboard.expect(QStringLiteral("Save Chart as SVG…"), first);
    QTest::keyClick(&chart, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(keyboard.saveAsked);

    QXmlStreamReader svg(QByteArray::fromStdString(readText(first.toStdString())));
    int elements = 0;
    QString root;
    bool titled = false;
    while (!svg.atEnd()) {
        svg.readNext();
        if (svg.isStartElement()) {
            root = root.isEmpty() ? svg.name().toString() : root;
            ++elements;
        }
        if (svg.isCharacters() && svg.text().contains(QStringLiteral("Training progress"))) {
            titled = true;
        }
    }
    EXPECT_FALSE(svg.hasError()) << svg.errorString().toStdString();
    EXPECT_EQ(root, QStringLiteral("svg"));
    EXPECT_GT(elements, 20) << "the drawing holds the axes, the curves and their texts";
    EXPECT_TRUE(titled);

    MenuAndSave mouse;
    const QString second = QString::fromStdString(folder.file("by-mouse.svg"));
    mouse.expect(QStringLiteral("Save Chart as SVG…"), second);
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(50, 50),
                            chart.viewport()->mapToGlobal(QPoint(50, 50)));
    QApplication::sendEvent(chart.viewport(), &click);
    EXPECT_TRUE(mouse.saveAsked);
    EXPECT_TRUE(std::filesystem::exists(second.toStdString()));
}

TEST_F(ExportTest, GridSavesEveryRowAsCsvFromItsContextMenu) {
    CellGrid grid(true, true);
    grid.setAccessibleName(QStringLiteral("Input Values"));
    grid.cells().setValueColumns(3);
    grid.cells().setRows(2);
    grid.cells().setText(0, 0, numberText(0.25));
    grid.cells().setText(0, 1, numberText(-1.5e-20));
    grid.cells().setText(0, 2, numberText(10.0));
    grid.cells().setText(1, 0, numberText(-0.5));
    grid.resize(400, 120);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));

    MenuAndSave user;
    const QString path = QString::fromStdString(folder.file("grid.csv"));
    user.expect(QStringLiteral("Save as CSV…"), path);
    QTest::keyClick(&grid, Qt::Key_Menu);

    EXPECT_EQ(user.entries, (QStringList{QStringLiteral("Copy"), QStringLiteral("Save as CSV…")}));
    // No row numbers and no sign blanks; an empty cell stays an empty field.
    EXPECT_EQ(readText(path.toStdString()), ".25,-1.5E-20,10\r\n-.5,,\r\n");

    // A platform that sends its own menu event before the menu key's press (X11) gets
    // one menu, not a second after the first.
    MenuAndSave platform;
    const QString again = QString::fromStdString(folder.file("again.csv"));
    platform.expect(QStringLiteral("Save as CSV…"), again);
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(10, 10),
                                grid.mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(&grid, &menuEvent);
    ASSERT_TRUE(platform.saveAsked);
    int menusAfter = 0;
    QTimer* extra = whenShown<QMenu>(popupMenu, [&menusAfter](QMenu* menu) {
        ++menusAfter;
        menu->close();
    });
    QTest::keyClick(&grid, Qt::Key_Menu);
    QTest::qWait(100);
    extra->stop();
    extra->deleteLater();
    EXPECT_EQ(menusAfter, 0);
    // The next press, with no menu event of the platform's, opens the menu again.
    MenuAndSave next;
    next.expect(QStringLiteral("Save as CSV…"), QString::fromStdString(folder.file("next.csv")));
    QTest::keyClick(&grid, Qt::Key_Menu);
    EXPECT_TRUE(next.saveAsked);
}

TEST_F(ExportTest, ARefusedSaveSaysWhyAndWritesNothing) {
    CellGrid grid(false, false);
    grid.cells().setValueColumns(1);
    grid.cells().setRows(1);
    grid.cells().setText(0, 0, "1");
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));

    // A file in a folder that is not there: the dialogue takes the name, the save fails.
    const std::string missing = folder.file("missing") + "/grid.csv";
    QString warning;
    whenShown<QMessageBox>(
        [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
        [&warning](QMessageBox* box) {
            warning = box->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
    MenuAndSave user;
    user.expect(QStringLiteral("Save as CSV…"), QString::fromStdString(missing));
    QTest::keyClick(&grid, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(user.saveAsked);
    EXPECT_TRUE(warning.contains(QString::fromStdString(missing))) << warning.toStdString();
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

class ExportMatricesTest : public testing::RunScreensTest {};

TEST_F(ExportMatricesTest, ExportMatricesWaitsForARunAndWritesWhatItTrained) {
    settings.EncodeBPNFlag = 1;
    settings.InputSize = 2;
    settings.HiddenSize = 3;
    settings.OutputSize = 1;
    settings.InputScale = 1.0;
    settings.OutputScale = 1.0;
    settings.MaxIterations = 5;
    settings.DataEntryMode = FromFiles;
    testing::writeText("input.dat", "2\r\n0\r\n1\r\n1\r\n0\r\n");
    testing::writeText("output.dat", "1\r\n0\r\n");
    settings.InputDataPath = "input.dat";
    settings.OutputDataPath = "output.dat";
    wizard->show(Screen::EncodeWindow);
    auto* button = control<QPushButton>(Screen::EncodeWindow, "cmdExportMatrices");
    EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(button->toolTip().isEmpty());
    click(Screen::EncodeWindow, "cmdStart");
    ASSERT_TRUE(waitForMessages(1));
    ASSERT_TRUE(button->isEnabled());

    dialogs.textAnswers = {QStringLiteral("nowhere/net"), QStringLiteral("net"), QString()};
    click(Screen::EncodeWindow, "cmdExportMatrices");
    EXPECT_TRUE(dialogs.lastMessage().contains("could not be written"))
        << dialogs.lastMessage().toStdString();
    EXPECT_EQ(dialogs.messages.back().icon, Dialogs::Icon::Warning);
    click(Screen::EncodeWindow, "cmdExportMatrices");
    EXPECT_EQ(dialogs.askedDefaults.back(), "network");
    EXPECT_TRUE(dialogs.lastMessage().contains("net-output-thresholds.csv"));

    const auto& trained = std::get<BpnNetwork>(
        static_cast<EncodeWindow*>(wizard->screen(Screen::EncodeWindow))->network());
    const std::string hiddenWeights = readText("net-hidden-weights.csv");
    EXPECT_EQ(hiddenWeights, matrixCsvText(networkMatrices(trained).front()));
    EXPECT_EQ(std::count(hiddenWeights.begin(), hiddenWeights.end(), '\n'), 2) << "2 inputs";
    // Cancelling the name box writes nothing and says nothing.
    const std::size_t shown = dialogs.messages.size();
    click(Screen::EncodeWindow, "cmdExportMatrices");
    EXPECT_EQ(dialogs.messages.size(), shown);
}

}  // namespace
}  // namespace vornetica
