// The converter's load-and-convert path on arbitrary bytes: the bytes become a ".bmp" file
// in a scratch folder and the converter runs on it twice, in guide mode when the last byte
// is odd, writing its outputs into the same folder. Both runs must end alike, byte for
// byte: each run fills every fresh allocation with a pattern of its own first, so a byte
// the converter passes on without having decoded it differs between the two.
#include "bmp2vcx/Converter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sanitizer/allocator_interface.h>

namespace
{
// Blocks up to this size come from the sanitizer's own pools, which clear a calloc after the
// hook; larger ones come zero-filled from the system, and calloc relies on that.
constexpr std::size_t FilledBlockBytes = 64 * 1024;

std::atomic<unsigned char> g_fill{0};

void FillFreshBlock(const volatile void* block, std::size_t size)
{
    const unsigned char fill = g_fill.load(std::memory_order_relaxed);
    if (fill != 0 && size <= FilledBlockBytes)
        std::memset(const_cast<void*>(block), fill, size);
}

// The sanitizer takes the hooks only in pairs.
void IgnoreFree(const volatile void*) {}

QTemporaryDir& Scratch()
{
    static QTemporaryDir folder;
    return folder;
}

struct Outcome
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QByteArray palette;
    QByteArray tiles;

    bool operator==(const Outcome&) const = default;
};

QByteArray TakeFile(const QString& name)
{
    QFile file(Scratch().filePath(name));
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.remove();
    return bytes;
}

Outcome Convert(const QStringList& arguments, unsigned char fill)
{
    Outcome outcome;
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    g_fill = fill;
    outcome.exitCode = Bmp2Vcx::wmain(arguments, out, err, "UTF-8");
    g_fill = 0;
    outcome.out = out.data();
    outcome.err = err.data();
    outcome.palette = TakeFile(QStringLiteral("input.vcl"));
    outcome.tiles = TakeFile(QStringLiteral("input.vcg"));
    return outcome;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Keeps a huge stated size from costing a large allocation per input.
    QImageReader::setAllocationLimit(32);
    if (!__sanitizer_install_malloc_and_free_hooks(FillFreshBlock, IgnoreFree))
        return 1;
    return Scratch().isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString input = Scratch().filePath(QStringLiteral("input.bmp"));
    QFile file(input);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();

    QStringList arguments{"bmp2vcx", "-i", input, "-o", Scratch().path()};
    if (size > 0 && (data[size - 1] & 1))
        arguments.append(QStringLiteral("-tovkguide"));
    const Outcome first = Convert(arguments, 0xA5);
    const Outcome second = Convert(arguments, 0x5A);
    if (!(first == second))
    {
        std::fprintf(stderr, "two conversions of the same input differ (exit %d and %d)\n",
                     first.exitCode, second.exitCode);
        std::abort();
    }
    return 0;
}
