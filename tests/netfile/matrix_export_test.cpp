#include "netfile/matrix_export.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <limits>
#include <sstream>

#include "base/number_text.h"
#include "base/user_error.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace vornetica {
namespace {

using testing::entriesOf;
using testing::readText;
using testing::TempDir;
using testing::writeText;

// Values a 15-digit file would round: the export must keep every bit of them.
BpnNetwork smallBpn() {
    BpnNetwork network;
    network.InputScale = 10.0;
    network.OutputScale = 1.0;
    network.HiddenWeights = Matrix<double>(2, 3);
    network.HiddenWeights.values() = {0.1, -1.0 / 3.0, 2.5e-300, 1e300, -0.0, 123456789.123456789};
    network.OutputWeights = Matrix<double>(3, 1);
    network.OutputWeights.values() = {std::nextafter(1.0, 2.0), -7.0, 0.30000000000000004};
    network.HiddenThresholds = {0.5, -0.25, std::numeric_limits<double>::denorm_min()};
    network.OutputThresholds = {-2.0 / 3.0};
    return network;
}

// The rows of a CSV file, each split at its commas into doubles.
std::vector<std::vector<double>> readCsv(const std::string& path) {
    const std::string text = readText(path);
    std::vector<std::vector<double>> rows;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::vector<double> row;
        std::stringstream line(text.substr(start, end - start));
        for (std::string field; std::getline(line, field, ',');) {
            double value = 0.0;
            EXPECT_TRUE(parseFileNumber(field, value)) << field;
            row.push_back(value);
        }
        rows.push_back(row);
    }
    EXPECT_EQ(start, text.size()) << path << ": the last line lacks CR LF";
    return rows;
}

std::vector<std::vector<double>> rowsOf(const Matrix<double>& matrix) {
    std::vector<std::vector<double>> rows;
    for (std::size_t r = 0; r < matrix.rows(); ++r) {
        rows.emplace_back(matrix.row(r).begin(), matrix.row(r).end());
    }
    return rows;
}

// Bit for bit, so that -0 and 0 differ.
void expectSameBits(const std::vector<std::vector<double>>& read,
                    const std::vector<std::vector<double>>& written) {
    ASSERT_EQ(read.size(), written.size());
    for (std::size_t r = 0; r < read.size(); ++r) {
        ASSERT_EQ(read[r].size(), written[r].size()) << "row " << r;
        for (std::size_t c = 0; c < read[r].size(); ++c) {
            EXPECT_EQ(std::signbit(read[r][c]), std::signbit(written[r][c])) << r << "," << c;
            EXPECT_EQ(read[r][c], written[r][c]) << r << "," << c;
        }
    }
}

TEST(MatrixExport, BackpropagationMatricesReadBackExactlyInNetworkFileOrder) {
    TempDir dir;
    const BpnNetwork network = smallBpn();
    const std::vector<std::string> paths = exportMatrices(network, dir.file("iris"));

    EXPECT_EQ(paths,
              (std::vector<std::string>{
                  dir.file("iris-hidden-weights.csv"), dir.file("iris-output-weights.csv"),
                  dir.file("iris-hidden-thresholds.csv"), dir.file("iris-output-thresholds.csv")}));
    expectSameBits(readCsv(paths[0]), rowsOf(network.HiddenWeights));
    expectSameBits(readCsv(paths[1]), rowsOf(network.OutputWeights));
    expectSameBits(readCsv(paths[2]), {network.HiddenThresholds});
    expectSameBits(readCsv(paths[3]), {network.OutputThresholds});
    // Shortest texts, not the 15-digit file form.
    EXPECT_EQ(readText(paths[0]),
              "0.1,-0.3333333333333333,2.5E-300\r\n1E+300,-0,123456789.12345679\r\n");
    EXPECT_EQ(entriesOf(dir.path()).size(), 4u) << "no temporary file is left behind";
}

TEST(MatrixExport, EachKindHasItsMatrices) {
    CpnNetwork cpn;
    cpn.HiddenWeights = Matrix<double>(4, 2);
    cpn.OutputWeights = Matrix<double>(2, 3);
    DaNetwork da;
    da.CorrelationMatrix = Matrix<std::int16_t>(2, 2);
    da.CorrelationMatrix.values() = {0, -3, 32767, -32768};

    const std::vector<NamedMatrix> cpnMatrices = networkMatrices(cpn);
    ASSERT_EQ(cpnMatrices.size(), 2u);
    EXPECT_EQ(cpnMatrices[0].name, "hidden-weights");
    EXPECT_EQ(cpnMatrices[0].rows, 4u);
    EXPECT_EQ(cpnMatrices[0].cols, 2u);
    EXPECT_EQ(cpnMatrices[1].name, "output-weights");
    EXPECT_EQ(cpnMatrices[1].rows, 2u);
    EXPECT_EQ(cpnMatrices[1].cols, 3u);
    const std::vector<NamedMatrix> daMatrices = networkMatrices(da);
    ASSERT_EQ(daMatrices.size(), 1u);
    EXPECT_EQ(matrixCsvText(daMatrices[0]), "0,-3\r\n32767,-32768\r\n");
    EXPECT_TRUE(networkMatrices(TrainedNetwork{}).empty());
}

TEST(MatrixExport, NamesTakeThePrefixWithoutACsvEnding) {
    EXPECT_EQ(matrixFilePath("out/net", "weights"), "out/net-weights.csv");
    EXPECT_EQ(matrixFilePath("out/net.csv", "weights"), "out/net-weights.csv");
    EXPECT_EQ(matrixFilePath("net.vrn", "weights"), "net.vrn-weights.csv");
}

TEST(MatrixExport, NonFiniteValuesAreNamed) {
    const NamedMatrix matrix{
        "weights",
        1,
        3,
        {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
         -std::numeric_limits<double>::infinity()}};
    EXPECT_EQ(matrixCsvText(matrix), "NaN,Inf,-Inf\r\n");
}

TEST(MatrixExport, ARefusedWriteCreatesNothingAndKeepsOldFiles) {
    TempDir dir;
    const BpnNetwork network = smallBpn();
    writeText(dir.file("net-output-weights.csv"), "old\r\n");
    // Every call from the first open to the last rename, failing one at a time.
    testing::FaultyFileCalls counting(0, 0);
    exportMatrices(network, dir.file("probe"), counting);
    for (int failAt = 1; failAt <= counting.callsMade(); ++failAt) {
        testing::FaultyFileCalls faulty(failAt, EIO);
        try {
            exportMatrices(network, dir.file("net"), faulty);
            ADD_FAILURE() << "call " << failAt << " failed, yet the export succeeded";
        } catch (const UserError& error) {
            EXPECT_NE(std::string(error.what()).find("could not be written"), std::string::npos);
        }
        EXPECT_EQ(readText(dir.file("net-output-weights.csv")), "old\r\n") << "call " << failAt;
        std::vector<std::string> entries = entriesOf(dir.path());
        std::erase_if(entries, [](const std::string& name) { return name.starts_with("probe"); });
        EXPECT_EQ(entries, std::vector<std::string>{"net-output-weights.csv"}) << "call " << failAt;
    }
}

TEST(MatrixExport, RefusesAMissingFolderAnEmptyNameAndAnUntrainedNetwork) {
    TempDir dir;
    try {
        exportMatrices(smallBpn(), dir.file("missing/net"));
        FAIL() << "a folder that does not exist was written";
    } catch (const UserError& error) {
        EXPECT_NE(std::string(error.what()).find("missing/net-hidden-weights.csv"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_THROW(exportMatrices(smallBpn(), ""), UserError);
    EXPECT_THROW(exportMatrices(smallBpn(), dir.path().string() + "/"), UserError);
    EXPECT_THROW(exportMatrices(TrainedNetwork{}, dir.file("net")), UserError);
    EXPECT_TRUE(entriesOf(dir.path()).empty());
}

}  // namespace
}  // namespace vornetica
