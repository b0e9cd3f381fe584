// libFuzzer target; scripts/run-fuzzers.sh builds and runs it.
#include "fuzz/fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
    vornetica::fuzz::importCsv(data, size);
    return 0;
}
