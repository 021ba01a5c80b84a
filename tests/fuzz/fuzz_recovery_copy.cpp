// libFuzzer target for the two files a start reads without the operator choosing them: a
// left recovery copy and its info, together. Built only with -DKOLVANE_FUZZ=ON and clang;
// `make fuzz-recovery` builds and runs it (see README.md here).
#include "RecoveryCopyProperty.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // No copy: the sanitizer sees a read past the fuzzer's own buffer.
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString problem = kolvane::recoveryCopyProperty(input);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "recovery-copy property broken: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
