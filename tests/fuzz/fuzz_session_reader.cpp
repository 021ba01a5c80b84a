// libFuzzer target for the session-file reader. Built only with -DKOLVANE_FUZZ=ON and
// clang; `make fuzz FUZZ_SECONDS=600` builds and runs it (see the README).
#include "SessionFileProperty.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // No copy: the sanitizer sees a read past the fuzzer's own buffer.
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString problem = kolvane::sessionFileProperty(input);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "session-file property broken: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
