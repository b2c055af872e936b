#pragma once

#include <QByteArrayList>
#include <cstdio>
#include <cstdlib>

// A property that does not hold stops the fuzzer like a crash, so the input that broke it is saved.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// Each target checks one input of the fuzzer here (one target per executable).
void fuzz(const QByteArray &bytes);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}

// The lines of a reply as QIODevice::readLine gives them: each with its "\n",
// the last one without when the bytes do not end in one.
inline QByteArrayList reply_lines(const QByteArray &bytes)
{
    QByteArrayList lines = bytes.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        lines[i] += '\n';
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
