#include <QDir>
#include <QFile>

#include "support/temp_dir.h"
#include "ui/cell_grid.h"
#include "ui/encode_data_entry.h"
#include "ui/wizard_fixture.h"

namespace vornetica {
namespace {

using testing::WizardScreensTest;

// Grid screen tests run in a fresh current folder, where Next writes its files.
struct GridScreenTest : WizardScreensTest {
    testing::TempDir dir;
    QString previous = QDir::currentPath();

    void SetUp() override { QDir::setCurrent(QString::fromStdString(dir.path().string())); }
    void TearDown() override { QDir::setCurrent(previous); }

    // Encode with BPN by hand, the sizes typed on EncodeBPN, up to the grid screen.
    void toBPNGrid(const QString& inputSize, const QString& outputSize) {
        choose({"ChoiceEncode", "ChoiceBPN", "ManualEntry"});
        type(Screen::EncodeBPN, "InputSize", inputSize);
        type(Screen::EncodeBPN, "OutputSize", outputSize);
        nextOnBPN();
        ASSERT_EQ(visible(), Screen::EncodeDataEntry);
    }
    CellGrid* grid(Screen screen, const char* name) { return control<CellGrid>(screen, name); }
    void clickCell(CellGrid* grid, int row, int column) {
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }
    std::vector<std::string> rowTexts(CellGrid* grid, int row) {
        std::vector<std::string> texts;
        for (int column = 0; column < grid->cells().valueColumns(); ++column) {
            texts.push_back(grid->cells().text(row, column));
        }
        return texts;
    }
    void typeKeys(CellGrid* grid, const char* keys) {
        for (const char* key = keys; *key != '\0'; ++key) {
            QTest::keyClick(grid, *key);
        }
    }
};

TEST_F(GridScreenTest, KeysFollowTheCellRule) {
    toBPNGrid("3", "1");
    CellGrid* input = grid(Screen::EncodeDataEntry, "InputGrid");
    EXPECT_EQ(input->model()->columnCount(), 4);
    EXPECT_EQ(input->model()->rowCount(), 1);
    clickCell(input, 0, 2);
    typeKeys(input, "1x.5,");
    EXPECT_EQ(input->cells().text(0, 1), "1.5");
    EXPECT_EQ(input->model()->index(0, 2).data().toString(), "1.5");
    QTest::keyClick(input, Qt::Key_Backspace);
    EXPECT_EQ(input->cells().text(0, 1), "");
    typeKeys(input, "123");
    QTest::keyClick(input, Qt::Key_Delete);
    EXPECT_EQ(input->cells().text(0, 1), "");
}

TEST_F(GridScreenTest, MouseAndArrowsNeverReachTheLabelColumn) {
    toBPNGrid("2", "1");
    CellGrid* input = grid(Screen::EncodeDataEntry, "InputGrid");
    EXPECT_EQ(input->model()->index(0, 0).data().toString(), "1");
    clickCell(input, 0, 1);
    clickCell(input, 0, 0);
    EXPECT_EQ(input->currentIndex().column(), 1);
    QTest::keyClick(input, Qt::Key_Left);
    EXPECT_EQ(input->currentIndex().column(), 1);
    QTest::keyClick(input, Qt::Key_Right);
    EXPECT_EQ(input->currentIndex().column(), 2);
    typeKeys(input, "-7");
    EXPECT_EQ(input->cells().text(0, 1), "-7");
}

TEST_F(GridScreenTest, EnterInAGridMovesToTheNextCellAndNeverPressesNext) {
    toBPNGrid("2", "1");
    CellGrid* input = grid(Screen::EncodeDataEntry, "InputGrid");
    click(Screen::EncodeDataEntry, "cmdAddVector");
    clickCell(input, 0, 1);
    typeKeys(input, "9");
    QTest::keyClick(input, Qt::Key_Return);
    EXPECT_EQ(visible(), Screen::EncodeDataEntry);
    EXPECT_FALSE(QFile::exists(QStringLiteral("input.txt")));
    typeKeys(input, "8");
    QTest::keyClick(input, Qt::Key_Enter);  // from a row's end to the next row
    typeKeys(input, "7");
    QTest::keyClick(input, Qt::Key_Return);
    QTest::keyClick(input, Qt::Key_Return);  // the last cell stays current
    typeKeys(input, "6");
    EXPECT_EQ(rowTexts(input, 0), (std::vector<std::string>{"9", "8"}));
    EXPECT_EQ(rowTexts(input, 1), (std::vector<std::string>{"7", "6"}));
    EXPECT_EQ(visible(), Screen::EncodeDataEntry);
}

TEST_F(GridScreenTest, AddVectorAddsARowToEachGridAndGoesToItsLabel) {
    toBPNGrid("2", "1");
    CellGrid* input = grid(Screen::EncodeDataEntry, "InputGrid");
    CellGrid* output = grid(Screen::EncodeDataEntry, "OutputGrid");
    click(Screen::EncodeDataEntry, "cmdAddVector");
    for (CellGrid* g : {input, output}) {
        EXPECT_EQ(g->model()->rowCount(), 2);
        EXPECT_EQ(g->model()->index(1, 0).data().toString(), "2");
        EXPECT_EQ(g->currentIndex(), g->model()->index(1, 0));
    }
    QTest::keyClick(input, '4');
    EXPECT_EQ(input->cells().text(1, 0), "");
    QTest::keyClick(input, Qt::Key_Down);
    EXPECT_EQ(input->currentIndex(), input->model()->index(1, 1));
    auto* screen = static_cast<EncodeDataEntry*>(wizard.screen(Screen::EncodeDataEntry));
    EXPECT_EQ(screen->VectorCount, 2);

    screen->VectorCount = 32767;
    click(Screen::EncodeDataEntry, "cmdAddVector");
    EXPECT_EQ(screen->VectorCount, 32767);
    EXPECT_EQ(input->model()->rowCount(), 2);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.lastMessage().contains("32767")) << dialogs.lastMessage().toStdString();
}

TEST_F(GridScreenTest, NextWritesBothFilesFromTheGrids) {
    toBPNGrid("2", "1");
    CellGrid* input = grid(Screen::EncodeDataEntry, "InputGrid");
    CellGrid* output = grid(Screen::EncodeDataEntry, "OutputGrid");
    clickCell(input, 0, 1);
    typeKeys(input, "1-2");
    QTest::keyClick(input, Qt::Key_Right);
    typeKeys(input, "-.5");
    click(Screen::EncodeDataEntry, "cmdAddVector");
    clickCell(input, 1, 2);
    typeKeys(input, "1.2.3");
    clickCell(output, 1, 1);
    typeKeys(output, "--1");
    clickCell(output, 0, 1);
    typeKeys(output, "8");

    click(Screen::EncodeDataEntry, "cmdNext");
    EXPECT_EQ(visible(), Screen::EncodeWindow);
    EXPECT_EQ(testing::readText(dir.file("input.txt")), "2\r\n1\r\n-0.5\r\n0\r\n1.2\r\n");
    EXPECT_EQ(testing::readText(dir.file("output.txt")), "8\r\n0\r\n");
    EXPECT_EQ(settings.TrainingVectorCount, 2);
    EXPECT_EQ(settings.InputDataPath, "input.txt");
    EXPECT_EQ(settings.OutputDataPath, "output.txt");
}

TEST_F(GridScreenTest, InputOnlyGridWritesNoOutputFile) {
    choose({"ChoiceEncode", "ChoiceDA", "ManualEntry"});
    click(Screen::EncodeDA, "cmdNext");
    ASSERT_EQ(visible(), Screen::EncodeDataEntry2);
    EXPECT_EQ(wizard.screen(Screen::EncodeDataEntry2)->findChild<QWidget*>("OutputGrid"), nullptr);
    settings.OutputDataPath = "targets.dat";
    click(Screen::EncodeDataEntry2, "cmdNext");
    EXPECT_EQ(testing::readText(dir.file("input.txt")), "1\r\n0\r\n0\r\n0\r\n0\r\n");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.file("output.txt"))));
    EXPECT_EQ(settings.OutputDataPath, "targets.dat");
}

TEST_F(GridScreenTest, AFailedWriteIsReportedAndTheScreenStays) {
    QDir(QString::fromStdString(dir.path().string())).mkdir("input.txt");
    toBPNGrid("1", "1");
    click(Screen::EncodeDataEntry, "cmdNext");
    EXPECT_EQ(visible(), Screen::EncodeDataEntry);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(settings.TrainingVectorCount, 0);
}

TEST_F(GridScreenTest, GridsFollowSizeChangesAndKeepRemainingValues) {
    toBPNGrid("2", "1");
    CellGrid* input = grid(Screen::EncodeDataEntry, "InputGrid");
    clickCell(input, 0, 1);
    typeKeys(input, "5");
    QTest::keyClick(input, Qt::Key_Right);
    typeKeys(input, "6");
    click(Screen::EncodeDataEntry, "cmdBack");
    type(Screen::EncodeBPN, "InputSize", "3");
    nextOnBPN();
    EXPECT_EQ(input->model()->columnCount(), 4);
    EXPECT_EQ(input->cells().text(0, 0), "5");
    EXPECT_EQ(input->cells().text(0, 1), "6");
    EXPECT_EQ(input->cells().text(0, 2), "");

    click(Screen::EncodeDataEntry, "cmdBack");
    type(Screen::EncodeBPN, "InputSize", "1");
    nextOnBPN();
    EXPECT_EQ(input->model()->columnCount(), 2);
    click(Screen::EncodeDataEntry, "cmdNext");
    EXPECT_EQ(testing::readText(dir.file("input.txt")), "1\r\n5\r\n");
}

TEST_F(WizardScreensTest, TrainingFilesBrowseFillsTheBoxAndACancelLeavesIt) {
    choose({"ChoiceEncode", "ChoiceBPN", "FileEntry"});
    nextOnBPN();
    ASSERT_EQ(visible(), Screen::TrainingFiles);
    EXPECT_EQ(wizard.screen(Screen::TrainingFiles)->windowTitle(),
              "Select Input and Output Training Files");
    EXPECT_EQ(control<QLineEdit>(Screen::TrainingFiles, "InputPath")->text(), "input.dat");
    EXPECT_EQ(control<QLineEdit>(Screen::TrainingFiles, "OutputPath")->text(), "output.dat");

    dialogs.fileAnswers = {QString()};
    click(Screen::TrainingFiles, "cmdBrowseIn");
    EXPECT_EQ(control<QLineEdit>(Screen::TrainingFiles, "InputPath")->text(), "input.dat");
    EXPECT_EQ(settings.InputDataPath, "");

    dialogs.fileAnswers = {QStringLiteral("/data/targets.dat")};
    click(Screen::TrainingFiles, "cmdBrowseOut");
    EXPECT_EQ(control<QLineEdit>(Screen::TrainingFiles, "OutputPath")->text(), "/data/targets.dat");
    EXPECT_EQ(settings.OutputDataPath, "/data/targets.dat");

    type(Screen::TrainingFiles, "InputPath", "vectors.dat");
    click(Screen::TrainingFiles, "cmdNext");
    EXPECT_EQ(settings.InputDataPath, "vectors.dat");
    EXPECT_EQ(settings.OutputDataPath, "/data/targets.dat");
    EXPECT_EQ(visible(), Screen::EncodeWindow);
}

}  // namespace
}  // namespace vornetica
