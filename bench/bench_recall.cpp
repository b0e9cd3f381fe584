// vornetica-cli recall of a large recall data file through a 10-100-10
// backpropagation network: input throughput, and the peak resident memory, which
// must not grow with the file. Files of 25 and 100 MB show whether it does; reading
// the file alone (counting its values) is the baseline the recall is set against.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "base/random_source.h"
#include "cli/cli_commands.h"
#include "data/vector_stream.h"
#include "peak_memory.h"

namespace vornetica {
namespace {

constexpr int kInputs = 10;
constexpr int kHidden = 100;
constexpr int kOutputs = 10;

std::filesystem::path benchFolder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / "vornetica-bench-recall";
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

void writeLine(std::ofstream& out, double value) {
    out << fileNumberText(value) << "\r\n";
}

// A 10-100-10 network with weights of either sign, so that the outputs vary.
const std::string& networkFile() {
    static const std::string path = [] {
        const std::string file = (benchFolder() / "net.vrn").string();
        std::ofstream out(file, std::ios::binary);
        out << "BPN\r\n" << kInputs << "\r\n" << kHidden << "\r\n" << kOutputs << "\r\n";
        out << "1\r\n1\r\n";
        RandomSource random;
        const int weights = kInputs * kHidden + kHidden * kOutputs + kHidden + kOutputs;
        for (int i = 0; i < weights; ++i) {
            writeLine(out, 2.0 * random.next() - 1.0);
        }
        return file;
    }();
    return path;
}

// A recall data file of about `megabytes` MB: values of 15 significant digits,
// as the data file writer writes them. With targets, a one-hot expected-outputs
// file to go with it.
std::string recallFile(int megabytes, bool targets) {
    const std::string name = "recall-" + std::to_string(megabytes);
    const std::string path = (benchFolder() / (name + ".dat")).string();
    const std::string expected = (benchFolder() / (name + "-targets.dat")).string();
    if (std::filesystem::exists(path) && (!targets || std::filesystem::exists(expected))) {
        return path;
    }
    std::ofstream out(path, std::ios::binary);
    std::ofstream expectedOut(expected, std::ios::binary);
    out << "32767\r\n";  // the count is not used by recall
    RandomSource random;
    const std::uint64_t bytes = static_cast<std::uint64_t>(megabytes) * 1000 * 1000;
    for (std::uint64_t vector = 0; static_cast<std::uint64_t>(out.tellp()) < bytes; ++vector) {
        for (int i = 0; i < kInputs; ++i) {
            writeLine(out, 2.0 * random.next() - 1.0);
        }
        for (int k = 0; k < kOutputs; ++k) {
            expectedOut << (static_cast<int>(vector % kOutputs) == k ? "1\r\n" : "0\r\n");
        }
    }
    return path;
}

std::string targetsOf(int megabytes) {
    return (benchFolder() / ("recall-" + std::to_string(megabytes) + "-targets.dat")).string();
}

// Output that goes nowhere, as to /dev/null, without the cost of a system call.
class Discard : public std::streambuf {
  protected:
    int_type overflow(int_type c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

void runRecall(benchmark::State& state, const std::vector<std::string>& arguments) {
    const int megabytes = static_cast<int>(state.range(0));
    const std::string input = recallFile(megabytes, true);
    const auto fileBytes = static_cast<std::int64_t>(std::filesystem::file_size(input));
    std::vector<std::string> command = {"recall", networkFile(), "--inputs", input};
    for (const std::string& argument : arguments) {
        command.push_back(argument == "TARGETS" ? targetsOf(megabytes) : argument);
    }
    Discard discard;
    std::ostream nowhere(&discard);
    cli::Console console{nowhere, nowhere, false};
    NetworkSettings settings;
    RandomSource random;
    bench::resetPeakResident();
    const long before = bench::currentResidentBytes();
    for (auto _ : state) {
        if (cli::runCommandLine(command, settings, random, console) != cli::kSuccess) {
            state.SkipWithError("recall refused");
            return;
        }
    }
    const long peak = bench::peakResidentBytes();
    state.SetBytesProcessed(fileBytes * state.iterations());
    state.counters["file MB"] = static_cast<double>(fileBytes) / 1e6;
    state.counters["peak MB"] = static_cast<double>(peak) / 1e6;
    state.counters["peak growth MB"] = static_cast<double>(peak - before) / 1e6;
}

void BM_CliRecall(benchmark::State& state) {
    runRecall(state, {});
}

// Comparing with one-hot targets and writing the results table (to /dev/null,
// which the writer writes in place).
void BM_CliRecallTargetsAndResults(benchmark::State& state) {
    runRecall(state, {"--targets", "TARGETS", "--results", "/dev/null"});
}

// The baseline: reading the file and counting its values, nothing recalled.
void BM_ReadRecallFile(benchmark::State& state) {
    const std::string input = recallFile(static_cast<int>(state.range(0)), true);
    const auto fileBytes = static_cast<std::int64_t>(std::filesystem::file_size(input));
    for (auto _ : state) {
        benchmark::DoNotOptimize(countFileValues(input, VectorStream::CountItem::Skipped));
    }
    state.SetBytesProcessed(fileBytes * state.iterations());
}

BENCHMARK(BM_ReadRecallFile)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_CliRecall)->Arg(25)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_CliRecallTargetsAndResults)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace vornetica

BENCHMARK_MAIN();
