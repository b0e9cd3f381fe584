// Importing a table: throughput on a 100 MB comma-separated file, against reading
// its bytes alone in the same run, and the memory the import holds beyond the
// values it returns.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "base/random_source.h"
#include "import/table_import.h"
#include "peak_memory.h"

namespace vornetica {
namespace {

constexpr int kColumns = 400;  // 399 inputs and a target

// About 100 MB: a header row, then rows of 400 values of up to 9 significant
// digits, as a spreadsheet exports them.
const std::string& hundredMegabyteTable() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / "vornetica-bench-table.csv").string();
    static bool written = false;
    if (!written) {
        std::ofstream out(path, std::ios::binary);
        RandomSource random;
        std::string row;
        for (int c = 0; c < kColumns; ++c) {
            row += (c == 0 ? "" : ",") + std::string("x") + std::to_string(c + 1);
        }
        out << row << "\r\n";
        std::size_t bytes = row.size() + 2;
        char text[32];
        for (int r = 0; bytes < 100u * 1000u * 1000u && r < 32767; ++r) {
            row.clear();
            for (int c = 0; c < kColumns; ++c) {
                const double value = 200.0 * random.next() - 100.0;
                const int length = std::snprintf(text, sizeof text, "%.9g", value);
                row.append(c == 0 ? "" : ",").append(text, static_cast<std::size_t>(length));
            }
            row += "\r\n";
            out << row;
            bytes += row.size();
        }
        written = true;
    }
    return path;
}

// The baseline: the file's bytes read in the same 1 MiB blocks, nothing parsed.
void BM_ReadTheBytesAlone(benchmark::State& state) {
    const std::string& path = hundredMegabyteTable();
    std::vector<char> block(1 << 20);
    std::int64_t total = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        std::size_t got = 0;
        while ((got = std::fread(block.data(), 1, block.size(), file)) > 0) {
            total += static_cast<std::int64_t>(got);
            benchmark::DoNotOptimize(block.data());
        }
        std::fclose(file);
    }
    state.SetBytesProcessed(total);
}

void BM_ImportDelimitedTable(benchmark::State& state) {
    const std::string& path = hundredMegabyteTable();
    const auto fileBytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
    bench::resetPeakResident();
    const long before = bench::currentResidentBytes();
    double valuesBytes = 0.0;
    for (auto _ : state) {
        const ImportedTable table = importTable(path, {});
        valuesBytes = static_cast<double>(
            (table.inputs.values().size() + table.outputs.values().size()) * sizeof(double));
        benchmark::DoNotOptimize(table.inputs.values().data());
    }
    const long after = bench::peakResidentBytes();
    state.SetBytesProcessed(fileBytes * state.iterations());
    // Peak growth while importing, as a multiple of the values read (1.0 is ideal).
    state.counters["peak/values"] = static_cast<double>(after - before) / valuesBytes;
}

BENCHMARK(BM_ReadTheBytesAlone)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportDelimitedTable)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace vornetica

BENCHMARK_MAIN();
