// The "Import..." button of the training files screen and its dialog, driven through
// the real widgets.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTableWidget>

#include "support/temp_dir.h"
#include "ui/help_viewer.h"
#include "ui/import_dialog.h"
#include "ui/wizard_fixture.h"

namespace vornetica {
namespace {

using testing::readText;
using testing::writeText;

struct ImportDialogTest : testing::WizardScreensTest {
    testing::TempDir dir;

    // The training files screen of the encode road for the kind chosen by `option`.
    void toTrainingFiles(const char* option) {
        choose({"ChoiceEncode", option, "FileEntry"});
        if (std::string(option) == "ChoiceBPN") {
            nextOnBPN();
        } else {
            click(wizard.current().value(), "cmdNext");
        }
        ASSERT_EQ(visible(), Screen::TrainingFiles);
    }
    // Presses Import... and chooses `table` with the dialog's Browse.
    ImportDialog* openWith(const std::string& table) {
        click(Screen::TrainingFiles, "cmdImport");
        auto* dialog = wizard.screen(Screen::TrainingFiles)->findChild<ImportDialog*>();
        EXPECT_NE(dialog, nullptr);
        if (dialog == nullptr) {
            return nullptr;
        }
        EXPECT_TRUE(dialog->isVisible());
        dialogs.fileAnswers = {QString::fromStdString(table)};
        QTest::mouseClick(part<QPushButton>(dialog, "cmdBrowseTable"), Qt::LeftButton);
        waitForReport(dialog);
        return dialog;
    }
    static void waitForReport(ImportDialog* dialog) {
        EXPECT_TRUE(QTest::qWaitFor([dialog] { return !dialog->busy(); }, 20000));
    }
    // Presses OK and waits until the files are written and the dialog has closed
    // (or, after a failure, stays open).
    static void pressOk(ImportDialog* dialog) {
        QPointer<ImportDialog> guard(dialog);
        QTest::mouseClick(part<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([guard] { return !guard || !guard->busy(); }, 20000));
        QTest::qWait(0);
    }
    template <typename T>
    static T* part(ImportDialog* dialog, const char* name) {
        T* found = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static QString report(ImportDialog* dialog) {
        return part<QPlainTextEdit>(dialog, "ImportReport")->toPlainText();
    }
    // Moves a choice box with the keyboard, as a user does.
    static void keyTo(QComboBox* box, Qt::Key key, int times = 1) {
        box->setFocus();
        for (int i = 0; i < times; ++i) {
            QTest::keyClick(box, key);
        }
    }
};

TEST_F(ImportDialogTest, PreviewsReportsAndWritesTheFilesBesideTheTable) {
    toTrainingFiles("ChoiceBPN");
    const std::string table = dir.file("iris.csv");
    writeText(table, "len;width;kind\r\n1,5;2;0\r\n-3;4;1\r\n");
    ImportDialog* dialog = openWith(table);
    ASSERT_NE(dialog, nullptr);

    auto* preview = part<QTableWidget>(dialog, "PreviewGrid");
    ASSERT_EQ(preview->columnCount(), 3);
    EXPECT_EQ(preview->rowCount(), 3) << "the role row and two data rows";
    EXPECT_EQ(preview->horizontalHeaderItem(0)->text(), "len");
    EXPECT_EQ(preview->item(1, 0)->text(), "1,5");
    EXPECT_EQ(preview->item(1, 0)->toolTip(), "1,5");
    EXPECT_EQ(part<QComboBox>(dialog, "Separator")->itemText(0), "Detect (semicolon)");
    EXPECT_EQ(part<QComboBox>(dialog, "HeaderRow")->itemText(0), "Detect (yes)");
    EXPECT_EQ(part<QComboBox>(dialog, "DecimalMark")->itemText(0), "Detect (comma)");
    EXPECT_EQ(part<QComboBox>(dialog, "Role3")->currentText(), "Target");
    EXPECT_TRUE(report(dialog).startsWith("2 vectors, 2 inputs, 1 output."))
        << report(dialog).toStdString();
    EXPECT_TRUE(report(dialog).contains("logistic function: input scale 4"))
        << report(dialog).toStdString();

    // The parameter screen says 1 input: the dialog says so and offers the table's sizes.
    auto* notice = part<QLabel>(dialog, "SizeNotice");
    EXPECT_TRUE(notice->isVisible());
    EXPECT_TRUE(notice->text().contains("The table has 2 inputs and 1 output"))
        << notice->text().toStdString();
    QTest::mouseClick(part<QPushButton>(dialog, "cmdSetSizes"), Qt::LeftButton);
    EXPECT_TRUE(notice->text().contains("will be set to 2 inputs and 1 output"));

    const QString input = QString::fromStdString(dir.file("iris-input.dat"));
    const QString output = QString::fromStdString(dir.file("iris-output.dat"));
    EXPECT_EQ(part<QLineEdit>(dialog, "ImportInputPath")->text(), input);
    EXPECT_EQ(part<QLineEdit>(dialog, "ImportOutputPath")->text(), output);
    pressOk(dialog);
    EXPECT_EQ(readText(input.toStdString()), "2\r\n1.5\r\n2\r\n-3\r\n4\r\n");
    EXPECT_EQ(readText(output.toStdString()), "0\r\n1\r\n");
    EXPECT_EQ(control<QLineEdit>(Screen::TrainingFiles, "InputPath")->text(), input);
    EXPECT_EQ(control<QLineEdit>(Screen::TrainingFiles, "OutputPath")->text(), output);
    EXPECT_EQ(settings.InputSize, 2);
    EXPECT_EQ(settings.OutputSize, 1);
    EXPECT_EQ(control<QLineEdit>(Screen::EncodeBPN, "InputSize")->text(), "2");
    click(Screen::TrainingFiles, "cmdNext");
    EXPECT_EQ(settings.InputDataPath, input.toStdString());
}

TEST_F(ImportDialogTest, RolesSeparatorAndClassLabelsAreChangedWithTheKeyboard) {
    toTrainingFiles("ChoiceBPN");
    const std::string table = dir.file("t.csv");
    writeText(table, "1,x,7,red\n2,y,8,blue\n");
    ImportDialog* dialog = openWith(table);
    ASSERT_NE(dialog, nullptr);
    // Column 2 holds text: the whole table is refused at its first value.
    EXPECT_TRUE(report(dialog).contains("t.csv, line 1, column 2: \"x\" is not a number."))
        << report(dialog).toStdString();
    EXPECT_FALSE(part<QPushButton>(dialog, "cmdOK")->isEnabled());

    keyTo(part<QComboBox>(dialog, "Role2"), Qt::Key_Down, 2);  // Input -> Target -> Ignored
    EXPECT_EQ(part<QComboBox>(dialog, "Role2")->currentText(), "Ignored");
    waitForReport(dialog);
    EXPECT_TRUE(
        report(dialog).contains("line 1, column 4: \"red\" is not a number; a target column of "
                                "class labels can give one output per class."));
    QTest::mouseClick(part<QCheckBox>(dialog, "OneHot"), Qt::LeftButton);
    waitForReport(dialog);
    EXPECT_TRUE(report(dialog).startsWith("2 vectors, 2 inputs, 2 outputs (one per class)."))
        << report(dialog).toStdString();
    EXPECT_TRUE(report(dialog).contains("4 column 4: target, classes red, blue"));
    EXPECT_TRUE(part<QPushButton>(dialog, "cmdOK")->isEnabled());

    // Reading the commas as a semicolon table leaves one column, which cannot be read.
    keyTo(part<QComboBox>(dialog, "Separator"), Qt::Key_Down, 2);
    EXPECT_EQ(part<QComboBox>(dialog, "Separator")->currentText(), "Semicolon");
    waitForReport(dialog);
    EXPECT_EQ(part<QTableWidget>(dialog, "PreviewGrid")->columnCount(), 1);
    EXPECT_EQ(part<QTableWidget>(dialog, "PreviewGrid")->item(1, 0)->text(), "1,x,7,red");

    QTest::mouseClick(part<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.file("t-input.dat"))));
    EXPECT_EQ(control<QLineEdit>(Screen::TrainingFiles, "InputPath")->text(), "input.dat");
}

TEST_F(ImportDialogTest, KindsWithoutTargetsWriteTheInputFileAlone) {
    toTrainingFiles("ChoiceBSB");
    const std::string table = dir.file("v.fann");
    writeText(table, "2 2 1\n1 -1\n1\n-1 1\n-1\n");
    ImportDialog* dialog = openWith(table);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(part<QComboBox>(dialog, "TableFormat")->itemText(0), "Detect (FANN data file)");
    EXPECT_FALSE(part<QLineEdit>(dialog, "ImportOutputPath")->isVisible());
    EXPECT_FALSE(part<QCheckBox>(dialog, "OneHot")->isEnabled());
    EXPECT_EQ(part<QComboBox>(dialog, "Role3")->currentText(), "Input");
    EXPECT_EQ(part<QComboBox>(dialog, "Role3")->count(), 2) << "Input and Ignored only";
    EXPECT_TRUE(report(dialog).startsWith("2 vectors, 3 inputs, 0 outputs."));
    pressOk(dialog);
    EXPECT_EQ(readText(dir.file("v-input.dat")), "2\r\n1\r\n-1\r\n1\r\n-1\r\n1\r\n-1\r\n");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.file("v-output.dat"))));
    EXPECT_EQ(control<QLineEdit>(Screen::TrainingFiles, "OutputPath")->text(), "output.dat");
}

TEST_F(ImportDialogTest, AFailedWriteKeepsTheDialogOpenAndF1OpensItsHelp) {
    toTrainingFiles("ChoiceBPN");
    const std::string table = dir.file("t.csv");
    writeText(table, "1,2\n");
    ImportDialog* dialog = openWith(table);
    ASSERT_NE(dialog, nullptr);
    part<QLineEdit>(dialog, "ImportInputPath")->setText(QString::fromStdString(table));
    pressOk(dialog);
    EXPECT_TRUE(dialogs.lastMessage().contains("is the table being imported"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(readText(table), "1,2\n");
    // A folder that does not exist cannot take the files: the write fails on the
    // worker, the message says why, and the dialog stays open and usable.
    part<QLineEdit>(dialog, "ImportInputPath")
        ->setText(QString::fromStdString(dir.file("no/in.dat")));
    pressOk(dialog);
    EXPECT_TRUE(dialogs.lastMessage().contains("Cannot write the data file"))
        << dialogs.lastMessage().toStdString();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(part<QPushButton>(dialog, "cmdOK")->isEnabled());

    const QString previous = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir.path().string()));
    QFile::copy(QStringLiteral(VORNETICA_HELP_FILE), QStringLiteral("vornetica.hlp"));
    QTest::keyClick(dialog, Qt::Key_F1);
    QDir::setCurrent(previous);
    ASSERT_NE(wizard.helpViewer(), nullptr);
    EXPECT_EQ(wizard.helpViewer()->section(), "ImportDialog");
    EXPECT_TRUE(wizard.helpViewer()->toPlainText().contains("Import Table"));
    for (auto* widget : dialog->findChildren<QWidget*>()) {
        if (qobject_cast<QComboBox*>(widget) || qobject_cast<QLineEdit*>(widget) ||
            qobject_cast<QPushButton*>(widget) || qobject_cast<QTableWidget*>(widget)) {
            EXPECT_FALSE(widget->accessibleName().isEmpty() &&
                         qobject_cast<QPushButton*>(widget) == nullptr)
                << widget->objectName().toStdString();
        }
    }
}

}  // namespace
}  // namespace vornetica
