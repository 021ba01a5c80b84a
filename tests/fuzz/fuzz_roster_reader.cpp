// libFuzzer target for the roster file's reader. Built only with -DKOLVANE_FUZZ=ON and
// clang; `make fuzz-roster FUZZ_SECONDS=600` builds and runs it (see the README).
#include "RosterFileProperty.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString problem = kolvane::rosterFileProperty(input);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "roster-file property broken: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
