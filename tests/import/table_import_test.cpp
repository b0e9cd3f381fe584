#include "import/table_import.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/user_error.h"
#include "support/temp_dir.h"

namespace vornetica {
namespace {

using testing::readText;
using testing::TempDir;
using testing::writeText;

std::vector<double> valuesOf(const Matrix<double>& m) {
    return {m.values().begin(), m.values().end()};
}

class TableImport : public ::testing::Test {
  protected:
    std::string file(const std::string& text, const std::string& name = "table.csv") {
        const std::string path = dir_.file(name);
        writeText(path, text);
        return path;
    }
    ImportedTable import(const std::string& text, const ImportChoices& choices = {}) {
        return importTable(file(text), choices);
    }
    // The refusal's message, with the folder taken out of the file name.
    std::string refusal(const std::string& text, const ImportChoices& choices = {}) {
        try {
            importTable(file(text), choices);
        } catch (const UserError& error) {
            std::string message = error.what();
            const std::string folder = dir_.path().string() + "/";
            if (const auto at = message.find(folder); at != std::string::npos) {
                message.erase(at, folder.size());
            }
            return message;
        }
        return "(accepted)";
    }

    TempDir dir_;
};

TEST_F(TableImport, CommaTableWithHeaderTakesTheLastColumnAsTarget) {
    const ImportedTable t = import("a,b,c\n1,2,3\n4.5,-5,6e1\n");
    EXPECT_EQ(t.layout.format, TableFormat::Delimited);
    EXPECT_EQ(t.layout.separator, ',');
    EXPECT_TRUE(t.layout.header);
    EXPECT_FALSE(t.layout.decimalComma);
    EXPECT_EQ(t.layout.columnNames, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(t.inputs.rows(), 2u);
    EXPECT_EQ(valuesOf(t.inputs), (std::vector<double>{1, 2, 4.5, -5}));
    EXPECT_EQ(valuesOf(t.outputs), (std::vector<double>{3, 60}));
    ASSERT_EQ(t.columns.size(), 3u);
    EXPECT_EQ(t.columns[1].smallest, -5);
    EXPECT_EQ(t.columns[1].largest, 2);
    EXPECT_EQ(t.columns[2].role, ColumnRole::Target);
}

TEST_F(TableImport, DetectsSeparatorDecimalMarkHeaderAndLineEnds) {
    // Semicolons with decimal commas, CR LF and a byte order mark.
    ImportedTable t = import("\xEF\xBB\xBFx;y\r\n1,5;2\r\n-0,25;3\r\n");
    EXPECT_EQ(t.layout.separator, ';');
    EXPECT_TRUE(t.layout.decimalComma);
    EXPECT_TRUE(t.layout.header);
    EXPECT_EQ(t.layout.columnNames[0], "x");
    EXPECT_EQ(valuesOf(t.inputs), (std::vector<double>{1.5, -0.25}));

    t = import("1\t2\t3\n4\t5\t6\n");
    EXPECT_EQ(t.layout.separator, '\t');
    EXPECT_FALSE(t.layout.header);
    EXPECT_EQ(t.inputs.cols(), 2u);

    t = import("  1   2  3\n4 5\t 6  \n");
    EXPECT_EQ(t.layout.separator, kBlanks);
    EXPECT_EQ(valuesOf(t.outputs), (std::vector<double>{3, 6}));

    // Blanks with decimal commas also split evenly at the commas.
    t = import("1,5 2,5\n3,5 4,5\n");
    EXPECT_EQ(t.layout.separator, kBlanks);
    EXPECT_TRUE(t.layout.decimalComma);
    EXPECT_EQ(valuesOf(t.inputs), (std::vector<double>{1.5, 3.5}));

    // A comma table with blanks after the commas is a comma table.
    t = import("1, 2, 3\n4, 5, 6\n");
    EXPECT_EQ(t.layout.separator, ',');
    EXPECT_EQ(t.inputs.cols(), 2u);
}

TEST_F(TableImport, ChoicesOverrideWhatIsDetected) {
    ImportChoices choices;
    choices.separator = ';';
    choices.header = HeaderRow::No;
    choices.decimalComma = false;
    // Without the choices, this would be read as a comma table with a header.
    EXPECT_EQ(refusal("1,2;3\n4;5\n", choices),
              "table.csv, line 1, column 1: \"1,2\" is not a number.");
    choices.decimalComma = true;
    ImportedTable t = import("1,2;3\n4;5\n", choices);
    EXPECT_EQ(valuesOf(t.inputs), (std::vector<double>{1.2, 4}));

    ImportChoices header;
    header.header = HeaderRow::Yes;
    t = import("1,2\n3,4\n", header);
    EXPECT_EQ(t.inputs.rows(), 1u);
    EXPECT_EQ(t.layout.columnNames, (std::vector<std::string>{"1", "2"}));
}

// Some programs end every row with a separator: the empty field after it is no
// column, whether or not the header row ends the same way.
TEST_F(TableImport, ASeparatorEndingEveryRowAddsNoColumn) {
    ImportedTable t = import("a,b,c,\r\n1,2,3,\r\n4,5,6,\r\n");
    EXPECT_TRUE(t.layout.trailingSeparator);
    EXPECT_EQ(t.layout.columnNames, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(valuesOf(t.outputs), (std::vector<double>{3, 6}));
    t = import("1;5;\n2;6;\n");
    EXPECT_EQ(valuesOf(t.outputs), (std::vector<double>{5, 6}));
    // Only when every row ends so; a quoted empty last field is a field.
    EXPECT_EQ(refusal("1,2,\n3,4,\n5,6,7\n"), "table.csv, line 1, column 3: the field is empty.");
    EXPECT_EQ(refusal("1,\"\"\n3,\"\"\n"), "table.csv, line 1, column 2: the field is empty.");
}

TEST_F(TableImport, QuotedFieldsMayHoldSeparatorsAndQuotes) {
    const ImportedTable t = import("\"a,b\",\"say \"\"hi\"\"\"\n\"1\", \"2\"\n");
    EXPECT_TRUE(t.layout.header);
    EXPECT_EQ(t.layout.columnNames, (std::vector<std::string>{"a,b", "say \"hi\""}));
    EXPECT_EQ(valuesOf(t.inputs), (std::vector<double>{1}));
    EXPECT_EQ(refusal("1,2\n\"3,4\n"),
              "table.csv, line 2, column 1: a quoted field has no "
              "closing quote on its line.");
    EXPECT_EQ(refusal("1,2\n\"3\"x,4\n"),
              "table.csv, line 2, column 1: text follows the closing quote of a field.");
}

TEST_F(TableImport, ColumnRolesChooseInputsTargetsAndIgnoredColumns) {
    ImportChoices choices;
    choices.inputColumns = std::vector<int>{0, 2};
    choices.targetColumns = std::vector<int>{3};
    // Column 2 (text) is ignored, so its text is never read as a number.
    ImportedTable t = import("1,x,2,3\n4,y,5,6\n", choices);
    EXPECT_EQ(valuesOf(t.inputs), (std::vector<double>{1, 2, 4, 5}));
    EXPECT_EQ(valuesOf(t.outputs), (std::vector<double>{3, 6}));
    EXPECT_EQ(t.columns[1].role, ColumnRole::Ignored);

    ImportChoices targetsOnly;
    targetsOnly.targetColumns = std::vector<int>{0};
    t = import("1,2,3\n", targetsOnly);
    EXPECT_EQ(valuesOf(t.inputs), (std::vector<double>{2, 3}));
    EXPECT_EQ(valuesOf(t.outputs), (std::vector<double>{1}));

    ImportChoices inputsOnly;
    inputsOnly.inputColumns = std::vector<int>{0};
    t = import("1,2,3\n", inputsOnly);
    EXPECT_EQ(valuesOf(t.outputs), (std::vector<double>{3}));
    EXPECT_EQ(t.columns[1].role, ColumnRole::Ignored);

    ImportChoices noTargets;
    noTargets.targetColumns = std::vector<int>{};
    t = import("1,2,3\n", noTargets);
    EXPECT_EQ(t.inputs.cols(), 3u);
    EXPECT_EQ(t.outputs.cols(), 0u);

    ImportChoices beyond;
    beyond.inputColumns = std::vector<int>{5};
    EXPECT_EQ(refusal("1,2\n", beyond), "Column 6 is beyond the table's 2 columns.");
    ImportChoices twice;
    twice.inputColumns = std::vector<int>{0};
    twice.targetColumns = std::vector<int>{0};
    EXPECT_NE(refusal("1,2\n", twice).find("Column 1 is named both"), std::string::npos);
    EXPECT_EQ(columnRoles(1, {}), std::vector<ColumnRole>{ColumnRole::Input});
}

TEST_F(TableImport, ClassLabelsBecomeOneOutputPerClassInTheOrderFirstSeen) {
    ImportChoices choices;
    choices.oneHot = true;
    const ImportedTable t =
        import("len,kind\n1.5,virginica\n2,setosa\n3,virginica\n4,\"versi color\"\n", choices);
    EXPECT_TRUE(t.layout.header);
    EXPECT_EQ(t.classes, (std::vector<std::string>{"virginica", "setosa", "versi color"}));
    EXPECT_EQ(valuesOf(t.outputs), (std::vector<double>{1, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1}));
    // Integers are labels too: 10 and 2 are two classes, not two values.
    const ImportedTable numbers = import("1,10\n2,2\n3,10\n", choices);
    EXPECT_EQ(numbers.classes, (std::vector<std::string>{"10", "2"}));

    ImportChoices two;
    two.oneHot = true;
    two.targetColumns = std::vector<int>{0, 1};
    EXPECT_NE(refusal("1,2,3\n", two).find("single target column; 2 are chosen"),
              std::string::npos);
}

TEST_F(TableImport, RefusesBadValuesAndRaggedRowsNamingTheirPlace) {
    EXPECT_EQ(refusal("1,2\n3,4\n5,abc\n"),
              "table.csv, line 3, column 2: \"abc\" is not a number; a target column of class "
              "labels can give one output per class.");
    EXPECT_EQ(valuesOf(import("+1,-.5,1.,2E-3\n").inputs), (std::vector<double>{1, -0.5, 1}));
    EXPECT_EQ(refusal("1,2\n+-3,4\n"), "table.csv, line 2, column 1: \"+-3\" is not a number.");
    EXPECT_EQ(refusal("1,2\n0x10,4\n"), "table.csv, line 2, column 1: \"0x10\" is not a number.");
    EXPECT_EQ(refusal("1,2\n3,nan\n"),
              "table.csv, line 2, column 2: \"nan\" is not a number; a target column of class "
              "labels can give one output per class.");
    EXPECT_EQ(refusal("1,2\n3,1e999\n"),
              "table.csv, line 2, column 2: \"1e999\" is beyond the range of a number.");
    EXPECT_EQ(refusal("1,2,3\n\n4,5\n"),
              "table.csv, line 3: 2 fields where the first data row has 3.");
    EXPECT_EQ(refusal("a,b\n"), "table.csv: the table holds no vectors.");
    EXPECT_EQ(refusal(""), "table.csv: the table holds no vectors.");
    EXPECT_EQ(refusal(std::string("\xFF\xFE"
                                  "1\0,\0"
                                  "2\0\n\0",
                                  10)),
              "table.csv: the table is UTF-16 text; save it as CSV or as UTF-8 text.");
    EXPECT_EQ(import("1\n2\n").inputs.cols(), 1u) << "a single column is an input";
    ImportChoices noInputs;
    noInputs.targetColumns = std::vector<int>{0, 1};
    EXPECT_EQ(refusal("1,2\n", noInputs), "The table has no input column.");
    std::string many;
    for (int i = 0; i < 32768; ++i) {
        many += "1,2\n";
    }
    EXPECT_EQ(refusal(many),
              "table.csv, line 32768: the table holds more than 32767 vectors, "
              "the most a training data file can count.");
}

TEST_F(TableImport, ReadsLinesAcrossAndLongerThanTheReadingBlocks) {
    // Rows of 3001 fields cross the reader's 1 MiB blocks at every offset; the
    // last row alone is longer than a block.
    std::string text;
    const int rows = 400;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < 3000; ++c) {
            text += std::to_string(r) + ".5,";
        }
        text += std::to_string(r) + "\r\n";
    }
    text += std::string(1 << 20, ' ') + "1";
    for (int c = 0; c < 3000; ++c) {
        text += ",2";
    }
    const ImportedTable t = import(text);
    ASSERT_EQ(t.inputs.rows(), static_cast<std::size_t>(rows + 1));
    for (int r = 0; r < rows; ++r) {
        ASSERT_EQ(t.inputs.at(static_cast<std::size_t>(r), 2999), r + 0.5) << r;
        ASSERT_EQ(t.outputs.at(static_cast<std::size_t>(r), 0), r) << r;
    }
    EXPECT_EQ(t.inputs.at(rows, 0), 1);
    EXPECT_EQ(t.outputs.at(rows, 0), 2);
    EXPECT_EQ(t.columns[0].largest, rows - 0.5);
}

TEST_F(TableImport, ReadsFannDataFiles) {
    const std::string fann = "3 2 1\n0 0\n0\n0 1\n1\n1 .5\n-1e-1\n";
    ImportedTable t = import(fann, {});
    EXPECT_EQ(t.layout.format, TableFormat::Fann);
    EXPECT_EQ(t.layout.columnNames, (std::vector<std::string>{"input 1", "input 2", "output 1"}));
    EXPECT_EQ(valuesOf(t.inputs), (std::vector<double>{0, 0, 0, 1, 1, 0.5}));
    EXPECT_EQ(valuesOf(t.outputs), (std::vector<double>{0, 1, -0.1}));

    EXPECT_EQ(refusal("3 2 1\n0 0\n0\n0 1\n1\n"),
              "table.csv: the file ends within vector 3 of the 3 that the first line announces.");
    EXPECT_EQ(refusal("1 2 1\n0 0\n0\n7\n"),
              "table.csv, line 4, column 1: \"7\" follows the "
              "last of the 1 vectors that the first line "
              "announces.");
    EXPECT_EQ(refusal("1 2 1\n0 x\n0\n"), "table.csv, line 2, column 2: \"x\" is not a number.");
    ImportChoices fannChoice;
    fannChoice.format = TableFormat::Fann;
    EXPECT_EQ(refusal("1,2\n", fannChoice),
              "table.csv, line 1: the first line of a FANN data file holds three numbers "
              "(vectors, inputs, outputs); found \"1,2\".");
    EXPECT_EQ(refusal("40000 1 1\n", fannChoice),
              "table.csv, line 1: \"40000\" is not a vector count (a whole number from 0 to "
              "32767).");
}

TEST_F(TableImport, ReadsSnnsPatternFiles) {
    const std::string snns =
        "SNNS pattern definition file V3.2\n"
        "generated at Mon Apr 25 15:58:23 1994\n\n"
        "No. of patterns : 2\n"
        "No. of input units : 3\n"
        "No. of output units : 1\n\n"
        "# Input pattern 1:\n0 1\n1\n# Output pattern 1:\n1\n"
        "# Input pattern 2:\n1 1 0 0 # all on one line\n";
    ImportedTable t = import(snns);
    EXPECT_EQ(t.layout.format, TableFormat::Snns);
    EXPECT_EQ(valuesOf(t.inputs), (std::vector<double>{0, 1, 1, 1, 1, 0}));
    EXPECT_EQ(valuesOf(t.outputs), (std::vector<double>{1, 0}));

    t = import(
        "SNNS pattern definition file V3.2\nNo. of patterns : 1\n"
        "No. of input units : 2\nNo. of output units : 0\n1 2\n");
    EXPECT_EQ(t.inputs.cols(), 2u);
    EXPECT_EQ(t.outputs.cols(), 0u);

    EXPECT_EQ(refusal("SNNS pattern definition file V4.2\nNo. of patterns : 1\n"
                      "No. of input units : 2\nNo. of output units : 1\n"
                      "No. of variable input dimensions : 1\n1 2 3\n"),
              "table.csv, line 5: files with variable dimensions or classes are not read; save "
              "the patterns with fixed dimensions.");
    EXPECT_EQ(refusal("SNNS pattern definition file V3.2\nNo. of patterns : 1\n1 2\n"),
              "table.csv, line 3: the counts \"No. of patterns\", \"No. of input units\" and "
              "\"No. of output units\" must come before the values; found \"1 2\".");
    EXPECT_EQ(refusal("SNNS pattern definition file V3.2\nNo. of patterns : 1\n"
                      "No. of input units : 2\nNo. of output units : 1\n1 2\n"),
              "table.csv: the file ends within vector 1 of the 1 that \"No. of patterns\" "
              "announces.");
    ImportChoices snnsChoice;
    snnsChoice.format = TableFormat::Snns;
    EXPECT_NE(refusal("1,2\n", snnsChoice).find("an SNNS pattern file begins with"),
              std::string::npos);
}

TEST_F(TableImport, PreviewShowsTheFirstRowsAsTheyWillBeRead) {
    const TablePreview preview = previewTable(file("a;b\n1,5;\"2\"\n3;4\n5;6\n"), {}, 2);
    EXPECT_TRUE(preview.layout.header);
    EXPECT_TRUE(preview.layout.decimalComma);
    EXPECT_EQ(preview.rows, (std::vector<std::vector<std::string>>{{"1,5", "2"}, {"3", "4"}}));
}

TEST_F(TableImport, WritesTheTrainingDataFilesOnlyFromAWholeTable) {
    const std::string in = dir_.file("in.dat");
    const std::string out = dir_.file("out.dat");
    writeImportedTable(import("1,2,3\n4,5,6\n"), in, out);
    EXPECT_EQ(readText(in), "2\r\n1\r\n2\r\n4\r\n5\r\n");
    EXPECT_EQ(readText(out), "3\r\n6\r\n");

    ImportChoices noTargets;
    noTargets.targetColumns = std::vector<int>{};
    const ImportedTable inputsOnly = import("7,8\n", noTargets);
    EXPECT_THROW(writeImportedTable(inputsOnly, in, out), UserError);
    EXPECT_THROW(writeImportedTable(import("1,2\n"), in, in), UserError);
    EXPECT_EQ(readText(out), "3\r\n6\r\n") << "a refused write changes nothing";
    writeImportedTable(inputsOnly, in, std::nullopt);
    EXPECT_EQ(readText(in), "1\r\n7\r\n8\r\n");
}

}  // namespace
}  // namespace vornetica
