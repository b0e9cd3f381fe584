// Every file kept in the fuzz corpora (valid files of every kind and the nasty ones
// found by fuzzing) runs through its target's checks in the ordinary test suite.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/fuzz_entries.h"

#ifndef VORNETICA_FUZZ_CORPUS_DIR
#error "VORNETICA_FUZZ_CORPUS_DIR must name tests/fuzz/corpus"
#endif

namespace vornetica::fuzz {
namespace {

using Entry = void (*)(const std::uint8_t*, std::size_t);

int replay(const char* corpus, Entry entry) {
    int files = 0;
    const auto dir = std::filesystem::path(VORNETICA_FUZZ_CORPUS_DIR) / corpus;
    for (const auto& item : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(item.path(), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
        SCOPED_TRACE(item.path().string());
        entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++files;
    }
    return files;
}

TEST(FuzzCorpus, EveryKeptInputPassesItsTarget) {
    EXPECT_GT(replay("training_data", trainingDataReader), 0);
    EXPECT_GT(replay("network_file", networkFileLoader), 0);
    EXPECT_GT(replay("grid_cell", gridCellRule), 0);
    EXPECT_GT(replay("parameter_text", parameterText), 0);
    EXPECT_GT(replay("recall", recallOfLoadedNetwork), 0);
    EXPECT_GT(replay("network_kind", networkKindOfFileText), 0);
    EXPECT_GT(replay("import_csv", importCsv), 0);
    EXPECT_GT(replay("import_fann", importFann), 0);
    EXPECT_GT(replay("import_snns", importSnns), 0);
}

}  // namespace
}  // namespace vornetica::fuzz
