// The converter's load-and-convert path on arbitrary bytes: the bytes become a ".bmp" file
// in a scratch folder and the converter runs on it, in guide mode when the last byte is
// odd, writing its outputs into the same folder.
#include "bmp2vcx/Converter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace
{
QTemporaryDir& Scratch()
{
    static QTemporaryDir folder;
    return folder;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Keeps a huge stated size from costing a large allocation per input.
    QImageReader::setAllocationLimit(32);
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
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    Bmp2Vcx::wmain(arguments, out, err, "UTF-8");
    QFile::remove(Scratch().filePath(QStringLiteral("input.vcl")));
    QFile::remove(Scratch().filePath(QStringLiteral("input.vcg")));
    return 0;
}
