// Any bytes as a BMP file: the header reader keeps its fields sane, and the reader of
// uncompressed 8-bit pictures either leaves the file to the decoder or gives exactly the
// picture the decoder gives (size, colour table, every pixel).
#include "platform/BmpHeader.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>

namespace
{
QString ScratchFile()
{
    static QTemporaryDir dir;
    return dir.path() + "/fuzz.bmp";
}

bool SamePicture(const QImage& read, const QImage& decoded)
{
    if (decoded.format() != QImage::Format_Indexed8 || read.size() != decoded.size() ||
        read.colorTable() != decoded.colorTable())
        return false;
    for (int y = 0; y < read.height(); ++y)
        if (std::memcmp(read.constScanLine(y), decoded.constScanLine(y), read.width()) != 0)
            return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_bmp";
    static char* argv[] = {name, nullptr};
    // The decoder needs a platform, and a fuzz run has no display.
    static const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    (void)offscreen;

    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    BmpHeaderInfo info;
    if (ReadBmpHeader(bytes, info))
    {
        if (info.width < 0 || info.height < 0 || info.ColorTableEntries() < 0)
            std::abort();
    }
    {
        QFile file(ScratchFile());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != size)
            return 0;
    }
    QImage image;
    const BmpRead read = ReadBmp8(ScratchFile(), image);
    if ((read == BmpRead::Done) == image.isNull())
        std::abort();
    if (read == BmpRead::Failed && bytes.size() >= 26 && bytes.startsWith("BM"))
        std::abort();
    if (read == BmpRead::Done && !SamePicture(image, QImage(ScratchFile(), "BMP")))
        std::abort();
    return 0;
}
