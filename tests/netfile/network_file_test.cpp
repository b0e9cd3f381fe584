#include "netfile/network_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <span>
#include <sstream>

#include "base/user_error.h"
#include "support/comma_locale.h"
#include "support/file_faults.h"
#include "support/temp_dir.h"

namespace vornetica {
namespace {

using testing::readText;
using testing::TempDir;
using testing::writeText;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "the last line lacks CR LF";
    return lines;
}

// Values of any size and sign, rounded to what a 15-digit file keeps, so that a
// write and a read give them back bit for bit.
class FifteenDigitValues {
  public:
    double next() {
        const double raw = std::ldexp(unit_(random_), exponent_(random_));
        char text[40];
        std::snprintf(text, sizeof text, "%.15G", raw);
        return std::strtod(text, nullptr);
    }
    void fill(std::span<double> values) {
        for (double& v : values) {
            v = next();
        }
    }

  private:
    std::mt19937_64 random_{2024};
    std::uniform_real_distribution<double> unit_{-1.0, 1.0};
    std::uniform_int_distribution<int> exponent_{-60, 60};
};

BpnNetwork makeBpn(int in, int hid, int out, double inputScale, double outputScale) {
    FifteenDigitValues values;
    BpnNetwork n;
    n.InputScale = inputScale;
    n.OutputScale = outputScale;
    n.HiddenWeights = Matrix<double>(in, hid);
    n.OutputWeights = Matrix<double>(hid, out);
    n.HiddenThresholds.resize(hid);
    n.OutputThresholds.resize(out);
    values.fill(n.HiddenWeights.values());
    values.fill(n.OutputWeights.values());
    values.fill(n.HiddenThresholds);
    values.fill(n.OutputThresholds);
    return n;
}

CpnNetwork makeCpn(int in, int hid, int out) {
    FifteenDigitValues values;
    CpnNetwork n;
    n.HiddenWeights = Matrix<double>(in, hid);
    n.OutputWeights = Matrix<double>(hid, out);
    values.fill(n.HiddenWeights.values());
    values.fill(n.OutputWeights.values());
    return n;
}

BsbNetwork makeBsb(int in) {
    FifteenDigitValues values;
    BsbNetwork n;
    n.Weights = Matrix<double>(in, in);
    values.fill(n.Weights.values());
    return n;
}

DaNetwork makeDa(int in) {
    DaNetwork n;
    n.CorrelationMatrix = Matrix<std::int16_t>(in, in);
    std::int16_t w = -32768;
    for (std::int16_t& weight : n.CorrelationMatrix.values()) {
        weight = w;
        w = static_cast<std::int16_t>(w + 4099);
    }
    return n;
}

bool sameBits(std::span<const double> a, std::span<const double> b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](double x, double y) {
               return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y);
           });
}

std::string refusalOf(const std::string& path, NetworkKind kind) {
    try {
        readNetworkFile(path, kind);
    } catch (const UserError& error) {
        return error.what();
    }
    return "(accepted)";
}

// ---- The layout of each kind ------------------------------------------------

TEST(WriteNetworkFile, BpnHasItsNineteenLines) {
    TempDir dir;
    BpnNetwork n = makeBpn(2, 3, 1, 10.0, 1.0);
    n.HiddenWeights.at(0, 1) = 0.5;
    n.OutputThresholds[0] = -0.25;
    writeNetworkFile(dir.file("network.vrn"), n);
    const auto lines = linesOf(readText(dir.file("network.vrn")));
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[0], "BPN");
    EXPECT_EQ(lines[1], "2");
    EXPECT_EQ(lines[2], "3");
    EXPECT_EQ(lines[3], "1");
    EXPECT_EQ(lines[4], "10");
    EXPECT_EQ(lines[5], "1");
    EXPECT_EQ(lines[7], "0.5");  // W[0][1]: input outer, hidden inner
    EXPECT_EQ(lines[18], "-0.25");
}

TEST(WriteNetworkFile, CpnHasNoScaleLines) {
    TempDir dir;
    CpnNetwork n = makeCpn(2, 4, 3);
    n.HiddenWeights.at(0, 0) = 0.125;
    n.OutputWeights.at(3, 2) = 7;
    writeNetworkFile(dir.file("c.vrn"), n);
    const auto lines = linesOf(readText(dir.file("c.vrn")));
    ASSERT_EQ(lines.size(), 4u + 8u + 12u);
    EXPECT_EQ(lines[0], "CPN");
    EXPECT_EQ(lines[4], "0.125");
    EXPECT_EQ(lines.back(), "7");
}

TEST(WriteNetworkFile, BsbWritesRowByRow) {
    TempDir dir;
    BsbNetwork n;
    n.Weights = Matrix<double>(3, 3);
    for (int i = 0; i < 9; ++i) {
        n.Weights.values()[i] = i / 8.0;
    }
    writeNetworkFile(dir.file("b.vrn"), n);
    EXPECT_EQ(readText(dir.file("b.vrn")),
              "BSB\r\n3\r\n0\r\n0.125\r\n0.25\r\n0.375\r\n0.5\r\n0.625\r\n0.75\r\n0.875\r\n1\r\n");
}

TEST(WriteNetworkFile, DaHoldsOnlyIntegers) {
    TempDir dir;
    DaNetwork n;
    n.CorrelationMatrix = Matrix<std::int16_t>(2, 2);
    n.CorrelationMatrix.values() = {-2, 0, 3, 32767};
    writeNetworkFile(dir.file("d.vrn"), n);
    EXPECT_EQ(readText(dir.file("d.vrn")), "DA\r\n2\r\n-2\r\n0\r\n3\r\n32767\r\n");
}

TEST(WriteNetworkFile, RoundsToFifteenDigitsWhateverTheLocale) {
    TempDir dir;
    BsbNetwork n;
    n.Weights = Matrix<double>(1, 1);
    n.Weights.at(0, 0) = 0.1234567890123456789;
    {
        testing::CommaLocale locale;
        writeNetworkFile(dir.file("b.vrn"), n);
        if (!locale.active()) {
            GTEST_SKIP() << "no locale with a decimal comma on this machine";
        }
        EXPECT_EQ(readText(dir.file("b.vrn")), "BSB\r\n1\r\n0.123456789012346\r\n");
        EXPECT_EQ(std::get<BsbNetwork>(readNetworkFile(dir.file("b.vrn"), NetworkKind::BSB))
                      .Weights.at(0, 0),
                  0.123456789012346);
    }
}

// ---- Round trips -------------------------------------------------------------

TEST(NetworkFileRoundTrip, GivesEveryKindBackBitForBit) {
    TempDir dir;
    const std::string path = dir.file("n.vrn");

    const BpnNetwork bpn = makeBpn(5, 7, 3, -0.001, 12345.678);
    writeNetworkFile(path, bpn);
    const auto bpnBack = std::get<BpnNetwork>(readNetworkFile(path, NetworkKind::BPN));
    EXPECT_EQ(bpnBack.InputScale, bpn.InputScale);
    EXPECT_EQ(bpnBack.OutputScale, bpn.OutputScale);
    EXPECT_EQ(bpnBack.HiddenWeights.rows(), 5u);
    EXPECT_EQ(bpnBack.HiddenWeights.cols(), 7u);
    EXPECT_EQ(bpnBack.OutputWeights.cols(), 3u);
    EXPECT_TRUE(sameBits(bpnBack.HiddenWeights.values(), bpn.HiddenWeights.values()));
    EXPECT_TRUE(sameBits(bpnBack.OutputWeights.values(), bpn.OutputWeights.values()));
    EXPECT_TRUE(sameBits(bpnBack.HiddenThresholds, bpn.HiddenThresholds));
    EXPECT_TRUE(sameBits(bpnBack.OutputThresholds, bpn.OutputThresholds));

    const CpnNetwork cpn = makeCpn(4, 6, 2);
    writeNetworkFile(path, cpn);
    const auto cpnBack = std::get<CpnNetwork>(readNetworkFile(path, NetworkKind::CPN));
    EXPECT_EQ(cpnBack.HiddenWeights.rows(), 4u);
    EXPECT_EQ(cpnBack.OutputWeights.rows(), 6u);
    EXPECT_TRUE(sameBits(cpnBack.HiddenWeights.values(), cpn.HiddenWeights.values()));
    EXPECT_TRUE(sameBits(cpnBack.OutputWeights.values(), cpn.OutputWeights.values()));

    const BsbNetwork bsb = makeBsb(9);
    writeNetworkFile(path, bsb);
    const auto bsbBack = std::get<BsbNetwork>(readNetworkFile(path, NetworkKind::BSB));
    EXPECT_EQ(bsbBack.Weights.rows(), 9u);
    EXPECT_TRUE(sameBits(bsbBack.Weights.values(), bsb.Weights.values()));

    const DaNetwork da = makeDa(6);
    writeNetworkFile(path, da);
    EXPECT_EQ(std::get<DaNetwork>(readNetworkFile(path, NetworkKind::DA)).CorrelationMatrix,
              da.CorrelationMatrix);
}

TEST(NetworkFileRoundTrip, TheLargestWeightsLoadAsTheLargestDouble) {
    // Every value from 1.797693134862315E+308 up is written as the largest double's
    // 15-digit text, which lies beyond the largest double itself.
    TempDir dir;
    constexpr double kLargest = std::numeric_limits<double>::max();
    BsbNetwork n = makeBsb(2);
    n.Weights.at(0, 0) = kLargest;
    n.Weights.at(0, 1) = -kLargest;
    n.Weights.at(1, 0) = std::nextafter(kLargest, 0.0);
    writeNetworkFile(dir.file("b.vrn"), n);
    const auto back = std::get<BsbNetwork>(readNetworkFile(dir.file("b.vrn"), NetworkKind::BSB));
    EXPECT_EQ(back.Weights.at(0, 0), kLargest);
    EXPECT_EQ(back.Weights.at(0, 1), -kLargest);
    EXPECT_EQ(back.Weights.at(1, 0), kLargest);
    EXPECT_EQ(back.Weights.at(1, 1), n.Weights.at(1, 1));
}

TEST(NetworkFileRoundTrip, KeepsInfinitiesOutOfTheFile) {
    // Values beyond the reader's reach are not a silent success: the file is
    // written as printf would, and reading it says what is wrong.
    TempDir dir;
    BsbNetwork n = makeBsb(2);
    n.Weights.at(1, 0) = std::numeric_limits<double>::infinity();
    writeNetworkFile(dir.file("b.vrn"), n);
    EXPECT_EQ(refusalOf(dir.file("b.vrn"), NetworkKind::BSB),
              dir.file("b.vrn") + ", line 5: \"INF\" is not a number.");
}

// ---- Reading what others wrote ----------------------------------------------

TEST(ReadNetworkFile, ChecksTheTagStrictly) {
    TempDir dir;
    const std::string path = dir.file("n.vrn");
    writeText(path, "  \"BSB\"  \r\n1\r\n2.5\r\n");
    EXPECT_EQ(std::get<BsbNetwork>(readNetworkFile(path, NetworkKind::BSB)).Weights.at(0, 0), 2.5);
    for (const char* tag : {"bsb", "BPN", "\"BSB", "BSB BSB", "", "B,SB"}) {
        writeText(path, std::string(tag) + "\r\n1\r\n2.5\r\n");
        EXPECT_EQ(refusalOf(path, NetworkKind::BSB), "Not correct network type!") << tag;
    }
    writeNetworkFile(path, makeBpn(2, 2, 2, 1, 1));
    EXPECT_EQ(refusalOf(path, NetworkKind::CPN), "Not correct network type!");
}

TEST(NetworkKindOfFile, FindsTheKindWhereverTheLoaderFindsItsTag) {
    TempDir dir;
    const std::string path = dir.file("n.vrn");
    const std::pair<std::string, NetworkKind> files[] = {
        {"\xEF\xBB\xBF"
         "BSB\r\n1\r\n2.5\r\n",
         NetworkKind::BSB},
        {"CPN\r1\r1\r1\r.5\r2\r", NetworkKind::CPN},
        {"DA,1,7", NetworkKind::DA},
        {"\r\n  \"BPN\"  \r\n", NetworkKind::BPN}};
    for (const auto& [text, kind] : files) {
        writeText(path, text);
        EXPECT_EQ(networkKindOfFile(path), kind) << text;
        if (kind != NetworkKind::BPN) {
            EXPECT_EQ(readNetworkFile(path, kind).index(), 1 + static_cast<std::size_t>(kind));
        }
    }
}

TEST(NetworkKindOfFile, RefusesOtherTagsReadingOnlyAShortWayIn) {
    TempDir dir;
    const std::string path = dir.file("n.vrn");
    const auto refusal = [](const std::string& file) {
        try {
            networkKindOfFile(file);
        } catch (const UserError& error) {
            return std::string(error.what());
        }
        return std::string("(a kind)");
    };
    writeText(path, "\r\nbsb\r\n1\r\n");
    EXPECT_EQ(refusal(path),
              path + ", line 2: \"bsb\" is not a network kind tag (BPN, CPN, BSB or DA).");
    writeText(path, std::string(5'000'000, 'B'));
    EXPECT_EQ(refusal(path), path + ", line 1: \"" + std::string(40, 'B') +
                                 "...\" is not a network kind tag (BPN, CPN, BSB or DA).");
    writeText(path, "");
    EXPECT_EQ(refusal(path),
              path + ", line 1: \"\" is not a network kind tag (BPN, CPN, BSB or DA).");
    EXPECT_THROW(networkKindOfFile(dir.file("absent.vrn")), UserError);
    if (std::filesystem::exists("/dev/zero")) {
        EXPECT_EQ(refusal("/dev/zero"),
                  "/dev/zero, line 1: \"" + std::string(40, '?') +
                      "...\" is not a network kind tag (BPN, CPN, BSB or DA).");
    }
}

TEST(ReadNetworkFile, TakesCommasLfAndBlanksAroundValues) {
    TempDir dir;
    const std::string path = dir.file("n.vrn");
    writeText(path, "CPN\n1, 2 ,1\n  -.5\t,1E-05\n3\n4\n");
    const auto n = std::get<CpnNetwork>(readNetworkFile(path, NetworkKind::CPN));
    EXPECT_EQ(n.HiddenWeights.values(), (MatrixValues<double>{-0.5, 1e-5}));
    EXPECT_EQ(n.OutputWeights.values(), (MatrixValues<double>{3, 4}));
    writeText(path, "DA\r\n1\r\n7\r\nextra items are ignored\r\n");
    EXPECT_EQ(
        std::get<DaNetwork>(readNetworkFile(path, NetworkKind::DA)).CorrelationMatrix.at(0, 0), 7);
}

TEST(ReadNetworkFile, RefusesMalformedFilesNamingLineAndText) {
    TempDir dir;
    const std::string path = dir.file("n.vrn");
    auto refusal = [&](const std::string& text, NetworkKind kind) {
        writeText(path, text);
        std::string message = refusalOf(path, kind);
        const std::size_t at = message.find(path);
        return at == std::string::npos ? message : message.replace(at, path.size(), "n.vrn");
    };
    EXPECT_EQ(refusal("BSB\r\n2\r\n1\r\n2\r\n3\r\n", NetworkKind::BSB),
              "n.vrn: the file ends after line 5, before the network is complete.");
    EXPECT_EQ(refusal("BSB\r\n", NetworkKind::BSB),
              "n.vrn: the file ends after line 1, before the network is complete.");
    EXPECT_EQ(refusal("BSB\r\n1\r\n1 2\r\n", NetworkKind::BSB),
              "n.vrn, line 3: \"1 2\" is not a number.");
    EXPECT_EQ(refusal("BSB\r\n1\r\nnan\r\n", NetworkKind::BSB),
              "n.vrn, line 3: \"nan\" is not a number.");
    EXPECT_EQ(refusal("BSB\r\n1\r\n1e999\r\n", NetworkKind::BSB),
              "n.vrn, line 3: \"1e999\" is too large a number.");
    const std::string notASize = " is not a size (a whole number from 1 to 32767).";
    EXPECT_EQ(refusal("BSB\r\n0\r\n", NetworkKind::BSB), "n.vrn, line 2: \"0\"" + notASize);
    EXPECT_EQ(refusal("DA\r\n32768\r\n", NetworkKind::DA), "n.vrn, line 2: \"32768\"" + notASize);
    EXPECT_EQ(refusal("CPN\r\n2\r\n1.5\r\n", NetworkKind::CPN),
              "n.vrn, line 3: \"1.5\"" + notASize);
    EXPECT_EQ(refusal("CPN\r\n2\r\n1\r\n-1\r\n", NetworkKind::CPN),
              "n.vrn, line 4: \"-1\"" + notASize);
    EXPECT_EQ(refusal("BPN\r\n1\r\n1\r\n1\r\n0\r\n1\r\n1\r\n1\r\n1\r\n1\r\n", NetworkKind::BPN),
              "n.vrn, line 5: the input scale is 0, so the network cannot be used.");
    EXPECT_EQ(refusal("DA\r\n1\r\n1.5\r\n", NetworkKind::DA),
              "n.vrn, line 3: \"1.5\" is not a weight (a whole number from -32768 to 32767).");
    EXPECT_EQ(refusal("DA\r\n1\r\n-32769\r\n", NetworkKind::DA),
              "n.vrn, line 3: \"-32769\" is not a weight (a whole number from -32768 to 32767).");
    EXPECT_EQ(refusal(std::string("DA\r\n1\r\n\0\r\n", 10), NetworkKind::DA),
              "n.vrn, line 3: \"?\" is not a number.");
    const std::string digits =
        refusal("BSB\r\n1\r\n" + std::string(1000000, '9'), NetworkKind::BSB);
    EXPECT_EQ(digits.rfind("n.vrn, line 3: \"999", 0), 0u) << digits;
    EXPECT_LT(digits.size(), 200u);
}

TEST(ReadNetworkFile, RefusesSizesTooLargeForTheFileBeforeAllocating) {
    TempDir dir;
    const std::string path = dir.file("n.vrn");
    writeText(path, "BPN\r\n32767\r\n32767\r\n32767\r\n1\r\n1\r\n0.5\r\n");
    EXPECT_EQ(refusalOf(path, NetworkKind::BPN),
              path +
                  ": a network of sizes 32767, 32767, 32767 needs 2147418112 weights, more "
                  "than this file holds.");
    writeText(path, "DA\r\n32767\r\n1\r\n");
    EXPECT_NE(refusalOf(path, NetworkKind::DA).find("more than this file holds"),
              std::string::npos);
    EXPECT_EQ(refusalOf(dir.file("missing.vrn"), NetworkKind::DA),
              "Cannot open the network file \"" + dir.file("missing.vrn") + "\".");
}

// Damaged files of every kind give either a network of the expected kind with
// consistent shapes or a UserError.
TEST(ReadNetworkFile, DamagedFilesGiveANetworkOrAMessage) {
    TempDir dir;
    const std::string path = dir.file("n.vrn");
    std::mt19937 random(4711);
    const TrainedNetwork originals[] = {makeBpn(2, 2, 1, 3, 4), makeCpn(2, 1, 2), makeBsb(2),
                                        makeDa(2)};
    const NetworkKind kinds[] = {NetworkKind::BPN, NetworkKind::CPN, NetworkKind::BSB,
                                 NetworkKind::DA};
    static constexpr char kNoise[] = "0123456789-.,eE\r\n \"x";
    for (int k = 0; k < 4; ++k) {
        writeNetworkFile(path, originals[k]);
        const std::string good = readText(path);
        for (int round = 0; round < 150; ++round) {
            std::string text = good;
            std::uniform_int_distribution<std::size_t> at(0, text.size() - 1);
            for (int edits = 1 + round % 3; edits > 0; --edits) {
                text[at(random)] = kNoise[random() % (sizeof kNoise - 1)];
            }
            text.resize(at(random) + (round % 2 == 0 ? text.size() / 2 : 0));
            writeText(path, text);
            try {
                const TrainedNetwork n = readNetworkFile(path, kinds[k]);
                ASSERT_EQ(n.index(), originals[k].index());
                if (const auto* bpn = std::get_if<BpnNetwork>(&n)) {
                    ASSERT_EQ(bpn->OutputWeights.rows(), bpn->HiddenThresholds.size());
                    ASSERT_EQ(bpn->OutputWeights.cols(), bpn->OutputThresholds.size());
                    ASSERT_NE(bpn->InputScale, 0.0);
                }
            } catch (const UserError&) {
            }
        }
    }
}

// ---- Save --------------------------------------------------------------------

struct SaveFixture : ::testing::Test {
    TempDir dir;
    NetworkSettings settings;
    std::string path = dir.file("network.vrn");
    std::string old = "BPN\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n0\r\n0\r\n";
    void SetUp() override { writeText(path, old); }
};

TEST_F(SaveFixture, AnEmptyNameTouchesNothing) {
    settings.EncodeBPNFlag = 1;
    settings.NetworkFilePath = "before.vrn";
    const SaveOutcome outcome = saveNetwork(settings, makeBpn(1, 1, 1, 1, 1), "");
    EXPECT_FALSE(outcome.saved);
    EXPECT_EQ(outcome.message, "Please enter a valid string for the network name!");
    EXPECT_EQ(settings.NetworkFilePath, "");
    EXPECT_EQ(settings.EncodeBPNFlag, 1);
    EXPECT_EQ(readText(path), old);
}

TEST_F(SaveFixture, WithNoFlagSetNothingIsWritten) {
    const SaveOutcome outcome = saveNetwork(settings, makeBpn(2, 2, 2, 1, 1), path);
    EXPECT_FALSE(outcome.saved);
    EXPECT_EQ(outcome.message, "There is no trained network to save.");
    EXPECT_EQ(settings.NetworkFilePath, path);
    EXPECT_EQ(readText(path), old);
}

TEST_F(SaveFixture, SavesAndClearsTheFlag) {
    settings.EncodeCPNFlag = 1;
    const CpnNetwork cpn = makeCpn(1, 2, 1);
    const SaveOutcome outcome = saveNetwork(settings, cpn, path);
    EXPECT_TRUE(outcome.saved);
    EXPECT_EQ(outcome.message, "Finished Saving Network");
    EXPECT_EQ(settings.EncodeCPNFlag, 0);
    EXPECT_EQ(settings.NetworkFilePath, path);
    EXPECT_EQ(linesOf(readText(path)).size(), 8u);
    EXPECT_EQ(testing::entriesOf(dir.path()), std::vector<std::string>{"network.vrn"});
    // A second save finds no flag and leaves the file alone.
    EXPECT_EQ(saveNetwork(settings, cpn, dir.file("other.vrn")).message,
              "There is no trained network to save.");
    EXPECT_FALSE(std::filesystem::exists(dir.file("other.vrn")));
}

TEST_F(SaveFixture, TestsTheFlagsInTheOrderBpnBsbCpnDa) {
    settings.EncodeDAFlag = 1;
    settings.EncodeBSBFlag = 1;
    EXPECT_TRUE(saveNetwork(settings, makeBsb(2), path).saved);
    EXPECT_EQ(settings.EncodeBSBFlag, 0);
    EXPECT_EQ(settings.EncodeDAFlag, 1);
    EXPECT_EQ(linesOf(readText(path))[0], "BSB");
}

TEST_F(SaveFixture, StorageOfAnotherKindIsAWriteError) {
    settings.EncodeBPNFlag = 1;
    for (const TrainedNetwork& storage :
         {TrainedNetwork{}, TrainedNetwork{makeDa(2)}, TrainedNetwork{makeCpn(1, 1, 1)}}) {
        const SaveOutcome outcome = saveNetwork(settings, storage, path);
        EXPECT_FALSE(outcome.saved);
        EXPECT_EQ(outcome.message, "Error writing to vrn file!");
        EXPECT_EQ(settings.EncodeBPNFlag, 1);
        EXPECT_EQ(readText(path), old);
    }
    EXPECT_THROW(writeNetworkFile(path, TrainedNetwork{}), UserError);
    EXPECT_EQ(readText(path), old);
}

TEST_F(SaveFixture, AFailedWriteLeavesTheOldFileByteForByte) {
    settings.EncodeBPNFlag = 1;
    const BpnNetwork big = makeBpn(100, 100, 10, 1, 1);
    {
        testing::FileSizeLimit limit(1000);
        const SaveOutcome outcome = saveNetwork(settings, big, path);
        EXPECT_FALSE(outcome.saved);
        EXPECT_EQ(outcome.message, "Error writing to vrn file!");
    }
    EXPECT_EQ(settings.EncodeBPNFlag, 1);
    EXPECT_EQ(readText(path), old);
    EXPECT_EQ(testing::entriesOf(dir.path()), std::vector<std::string>{"network.vrn"});
}

TEST_F(SaveFixture, PathsThatCannotBeWrittenGiveTheWriteError) {
    settings.EncodeBPNFlag = 1;
    const BpnNetwork n = makeBpn(2, 2, 2, 1, 1);
    std::vector<std::string> targets = {path + "/network.vrn", dir.path().string(),
                                        dir.file("no such folder") + "/network.vrn"};
    if (std::filesystem::exists("/dev/full")) {
        targets.push_back("/dev/full");
    }
    for (const std::string& target : targets) {
        const SaveOutcome outcome = saveNetwork(settings, n, target);
        EXPECT_FALSE(outcome.saved) << target;
        EXPECT_EQ(outcome.message, "Error writing to vrn file!") << target;
        EXPECT_EQ(settings.EncodeBPNFlag, 1);
    }
    EXPECT_EQ(readText(path), old);
    EXPECT_EQ(testing::entriesOf(dir.path()), std::vector<std::string>{"network.vrn"});
}

TEST_F(SaveFixture, ReplacesTheFileASymbolicLinkPointsTo) {
    settings.EncodeDAFlag = 1;
    std::filesystem::create_symlink(path, dir.file("link.vrn"));
    EXPECT_TRUE(saveNetwork(settings, makeDa(1), dir.file("link.vrn")).saved);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.vrn")));
    EXPECT_EQ(readText(path), "DA\r\n1\r\n-32768\r\n");
}

// ---- Load into the recall fields --------------------------------------------

struct LoadFixture : ::testing::Test {
    TempDir dir;
    NetworkSettings settings;
    std::string path = dir.file("network.vrn");

    void loadBsbFirst() {
        writeNetworkFile(path, makeBsb(3));
        settings.RecallBSBFlag = 1;
        settings.NetworkFilePath = path;
        ASSERT_TRUE(loadNetwork(settings).loaded);
        settings.RecallBSBFlag = 0;
    }
    void expectBsbStillLoaded() {
        EXPECT_EQ(settings.RecallLoadedKind, NetworkKind::BSB);
        EXPECT_EQ(settings.RecallInputSize, 3);
        EXPECT_EQ(settings.RecallOutputWeights, makeBsb(3).Weights);
        EXPECT_EQ(settings.RecallStateVector.size(), 3u);
        EXPECT_EQ(settings.RecallStartVector.size(), 3u);
        EXPECT_TRUE(settings.RecallMatrix.empty());
        EXPECT_TRUE(settings.RecallHiddenWeights.empty());
    }
};

TEST_F(LoadFixture, FillsTheBpnRecallFieldsAndWorkVectors) {
    const BpnNetwork n = makeBpn(4, 3, 2, 10, 0.5);
    writeNetworkFile(path, n);
    settings.RecallBPNFlag = 1;
    settings.NetworkFilePath = path;
    const LoadOutcome outcome = loadNetwork(settings);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    EXPECT_EQ(outcome.message, "");
    EXPECT_EQ(settings.RecallLoadedKind, NetworkKind::BPN);
    EXPECT_EQ(settings.RecallInputSize, 4);
    EXPECT_EQ(settings.RecallHiddenSize, 3);
    EXPECT_EQ(settings.RecallOutputSize, 2);
    EXPECT_EQ(settings.RecallInputScale, 10);
    EXPECT_EQ(settings.RecallOutputScale, 0.5);
    EXPECT_EQ(settings.RecallHiddenWeights, n.HiddenWeights);
    EXPECT_EQ(settings.RecallOutputWeights, n.OutputWeights);
    EXPECT_EQ(settings.RecallHiddenThresholds, n.HiddenThresholds);
    EXPECT_EQ(settings.RecallOutputThresholds, n.OutputThresholds);
    EXPECT_EQ(settings.RecallStateVector.size(), 4u);
    EXPECT_EQ(settings.RecallHiddenVector.size(), 3u);
    EXPECT_EQ(settings.RecallOutputVector.size(), 2u);
}

TEST_F(LoadFixture, FillsTheOtherKinds) {
    const CpnNetwork cpn = makeCpn(2, 5, 3);
    writeNetworkFile(path, cpn);
    settings.NetworkFilePath = path;
    settings.RecallCPNFlag = 1;
    ASSERT_TRUE(loadNetwork(settings).loaded);
    EXPECT_EQ(settings.RecallLoadedKind, NetworkKind::CPN);
    EXPECT_EQ(settings.RecallHiddenSize, 5);
    EXPECT_EQ(settings.RecallHiddenWeights, cpn.HiddenWeights);
    EXPECT_EQ(settings.RecallOutputWeights, cpn.OutputWeights);
    EXPECT_EQ(settings.RecallHiddenVector.size(), 5u);
    EXPECT_EQ(settings.RecallOutputVector.size(), 3u);
    settings.RecallCPNFlag = 0;

    const DaNetwork da = makeDa(4);
    writeNetworkFile(path, da);
    settings.RecallDAFlag = 1;
    ASSERT_TRUE(loadNetwork(settings).loaded);
    EXPECT_EQ(settings.RecallLoadedKind, NetworkKind::DA);
    EXPECT_EQ(settings.RecallInputSize, 4);
    EXPECT_EQ(settings.RecallMatrix, da.CorrelationMatrix);
    EXPECT_EQ(settings.RecallInputCopy.size(), 4u);
    EXPECT_EQ(settings.RecallStateBits.size(), 4u);
}

TEST_F(LoadFixture, AFailedLoadChangesNoField) {
    loadBsbFirst();
    settings.RecallDAFlag = 1;
    const std::string broken[] = {"BPN\r\n1\r\n1\r\n", "DA\r\n2\r\n1\r\n2\r\n3\r\n",
                                  "DA\r\n2\r\n1\r\n2\r\nx\r\n4\r\n"};
    for (const std::string& text : broken) {
        writeText(path, text);
        const LoadOutcome outcome = loadNetwork(settings);
        EXPECT_FALSE(outcome.loaded);
        EXPECT_FALSE(outcome.message.empty());
        expectBsbStillLoaded();
    }
    settings.NetworkFilePath = dir.file("missing.vrn");
    EXPECT_FALSE(loadNetwork(settings).loaded);
    expectBsbStillLoaded();
    settings.RecallDAFlag = 0;
    EXPECT_FALSE(loadNetwork(settings).loaded);  // no recall kind chosen
    expectBsbStillLoaded();
}

TEST_F(LoadFixture, AWrongTagSaysSo) {
    writeNetworkFile(path, makeBpn(1, 1, 1, 1, 1));
    settings.NetworkFilePath = path;
    settings.RecallCPNFlag = 1;
    const LoadOutcome outcome = loadNetwork(settings);
    EXPECT_FALSE(outcome.loaded);
    EXPECT_EQ(outcome.message, "Not correct network type!");
    EXPECT_EQ(settings.RecallLoadedKind, std::nullopt);
}

}  // namespace
}  // namespace vornetica
