#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken invariant stops the run like a sanitizer report does, so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

namespace FuzzSupport {

// Raw UTF-16 code units (unpaired surrogates included) or, for odd modes, UTF-8 with its
// replacement characters: both ways a QString can reach the code under test.
inline QString textFrom(const uint8_t* data, size_t size, bool asUtf16)
{
    if (asUtf16) {
        QString text;
        text.reserve(qsizetype(size / 2));
        for (size_t i = 0; i + 1 < size; i += 2)
            text.append(QChar(char16_t(data[i] | (data[i + 1] << 8))));
        return text;
    }
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

} // namespace FuzzSupport

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
