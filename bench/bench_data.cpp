// Reading training data: throughput on a 100 MB input data file, and the memory the
// reader holds beyond the values it returns.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/number_text.h"
#include "base/random_source.h"
#include "data/training_data.h"
#include "peak_memory.h"

namespace vornetica {
namespace {

constexpr int kInputSize = 1000;

// A file of about 100 MB: vectors of 1000 values of 17 significant digits or so.
const std::string& hundredMegabyteFile(int& vectors) {
    static const std::string path =
        (std::filesystem::temp_directory_path() / "vornetica-bench-input.dat").string();
    static int count = 0;
    if (count == 0) {
        std::ofstream out(path, std::ios::binary);
        RandomSource random;
        std::string body;
        std::size_t bytes = 0;
        while (bytes < 100u * 1000u * 1000u && count < 32767) {
            body.clear();
            for (int i = 0; i < kInputSize; ++i) {
                body += fileNumberText(200.0 * random.next() - 100.0);
                body += "\r\n";
            }
            out << body;
            bytes += body.size();
            ++count;
        }
        out.close();
        // The count line goes first: write it in a second file and join them.
        const std::string joined = path + ".joined";
        std::ofstream head(joined, std::ios::binary);
        head << count << "\r\n";
        std::ifstream body_in(path, std::ios::binary);
        head << body_in.rdbuf();
        head.close();
        std::filesystem::rename(joined, path);
    }
    vectors = count;
    return path;
}

void BM_ReadTrainingData(benchmark::State& state) {
    int vectors = 0;
    const std::string& path = hundredMegabyteFile(vectors);
    const auto fileBytes = std::filesystem::file_size(path);
    bench::resetPeakResident();
    const long before = bench::currentResidentBytes();
    double valuesBytes = 0.0;
    for (auto _ : state) {
        TrainingSet set = readTrainingData(path, std::nullopt, kInputSize, 0);
        valuesBytes = static_cast<double>(set.inputs.values().size() * sizeof(double));
        benchmark::DoNotOptimize(set.inputs.values().data());
    }
    const long after = bench::peakResidentBytes();
    state.SetBytesProcessed(static_cast<std::int64_t>(fileBytes) * state.iterations());
    // Peak growth while reading, as a multiple of the values read (1.0 is ideal).
    state.counters["peak/values"] = static_cast<double>(after - before) / valuesBytes;
}

BENCHMARK(BM_ReadTrainingData)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace vornetica

BENCHMARK_MAIN();
