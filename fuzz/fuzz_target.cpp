// One libFuzzer program per reader: the build names the reader in
// UMBRANE_FUZZ_READER. A fatal error is the expected end of a bad file; a
// save file that does not write back as it reads is reported as a crash.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/reader_harness.h"
#include "platform/media.h"

namespace {
const FuzzReader* g_reader = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    media_init(BackendKind::headless);
    prepare_fuzz_readers(UMBRANE_SHIPPED_GAME);
    g_reader = find_fuzz_reader(UMBRANE_FUZZ_READER);
    if (!g_reader) {
        std::fprintf(stderr, "no reader named %s\n", UMBRANE_FUZZ_READER);
        std::exit(2);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzResult result = run_fuzz_reader(*g_reader, std::string(reinterpret_cast<const char*>(data), size));
    if (result.outcome == FuzzOutcome::unstable) {
        std::fprintf(stderr, "%s: the file does not write back as it reads: %s\n", UMBRANE_FUZZ_READER,
                     result.detail.c_str());
        std::abort();
    }
    return 0;
}
