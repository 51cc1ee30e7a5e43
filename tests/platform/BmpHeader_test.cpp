#include "bmp2vcx/BmpFixture.h"
#include "common/TestSupport.h"
#include "platform/BmpHeader.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace
{
QByteArray Header(int width, int height, int bits, int colorsUsed, int headerSize = 40,
                  int compression = 0)
{
    QByteArray b(14 + headerSize, '\0');
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, b.data() + at); };
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, b.data() + at); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, 1234);
    put32(10, 14 + headerSize + 4 * colorsUsed);
    put32(14, headerSize);
    if (headerSize == 12)
    {
        put16(18, quint16(width));
        put16(20, quint16(height));
        put16(22, 1);
        put16(24, quint16(bits));
        return b;
    }
    if (headerSize < 40)
        return b;
    put32(18, quint32(width));
    put32(22, quint32(height));
    put16(26, 1);
    put16(28, quint16(bits));
    put32(30, quint32(compression));
    put32(46, quint32(colorsUsed));
    return b;
}

TEST(BmpHeader, ReadsTheFields)
{
    BmpHeaderInfo info;
    ASSERT_TRUE(ReadBmpHeader(Header(320, 240, 8, 255), info));
    EXPECT_EQ(info.width, 320);
    EXPECT_EQ(info.height, 240);
    EXPECT_FALSE(info.topDown);
    EXPECT_EQ(info.bitsPerPixel, 8);
    EXPECT_EQ(info.colorsUsed, 255);
    EXPECT_EQ(info.ColorTableEntries(), 255);
    EXPECT_EQ(info.planes, 1);
    EXPECT_EQ(info.headerSize, 40u);
    EXPECT_EQ(info.fileSize, 1234u);
    EXPECT_EQ(info.dataOffset, 14u + 40 + 4 * 255);

    ASSERT_TRUE(ReadBmpHeader(Header(16, -9, 4, 0), info));
    EXPECT_EQ(info.height, 9);
    EXPECT_TRUE(info.topDown);
    EXPECT_EQ(info.ColorTableEntries(), 16);

    ASSERT_TRUE(ReadBmpHeader(Header(8, 8, 24, 0, 124, 0), info));
    EXPECT_EQ(info.ColorTableEntries(), 0);
    ASSERT_TRUE(ReadBmpHeader(Header(8, 8, 8, 0, 40, 1), info));
    EXPECT_EQ(info.compression, 1);

    ASSERT_TRUE(ReadBmpHeader(Header(30, 20, 1, 0, 12), info));
    EXPECT_EQ(info.width, 30);
    EXPECT_EQ(info.bitsPerPixel, 1);
    EXPECT_EQ(info.ColorTableEntries(), 2);
}

TEST(BmpHeader, RejectsWhatIsNoBmpHeader)
{
    QByteArray notBm = Header(1, 1, 8, 0);
    notBm[0] = 'P';
    const QByteArray cases[] = {
        QByteArray(),
        Header(1, 1, 8, 0).left(20),
        Header(1, 1, 8, 0, 12).left(25),
        notBm,
        Header(1, 1, 8, 0, 20),
        Header(-5, 1, 8, 0),
        Header(1, int(0x80000000u), 8, 0),
    };
    for (const QByteArray& bytes : cases)
    {
        BmpHeaderInfo info;
        EXPECT_FALSE(ReadBmpHeader(bytes, info));
    }
}

// QImage reports a 4-bit file as 8-bit indexed; the header reader gives the stored depth.
TEST(BmpHeader, FromAFileQImageWrote)
{
    QImage image(7, 5, QImage::Format_Mono);
    image.fill(1);
    const QString folder = TestSupport::NewFolder();
    const QString path = folder + "/Title.BMP";
    ASSERT_TRUE(image.save(path, "BMP"));
    BmpHeaderInfo info;
    ASSERT_TRUE(ReadBmpHeader(folder + "/title.bmp", info));
    EXPECT_EQ(info.width, 7);
    EXPECT_EQ(info.height, 5);
    EXPECT_EQ(info.bitsPerPixel, 1);
    EXPECT_FALSE(ReadBmpHeader(folder + "/missing.bmp", info));
    EXPECT_EQ(info.width, 0);
}
TEST(ReadBmp8, AnUncompressed8BitPictureReadsAsTheDecoderGivesIt)
{
    using BmpFixture::Spec;
    const auto pattern = [](int x, int y) { return unsigned(x * 7 + y * 13) % 256; };
    struct Case
    {
        const char* name;
        Spec spec;
    };
    const Case cases[] = {
        {"guide size, bottom-up", {256, 192, 8, false, BmpFixture::GreyRamp(256), pattern}},
        {"top-down, rows padded", {5, 3, 8, true, BmpFixture::GreyRamp(256), pattern}},
        {"short colour table, indices beyond it",
         {7, 4, 8, false, {qRgb(1, 2, 3), qRgb(250, 0, 9)}, pattern}},
    };
    const QString folder = TestSupport::NewFolder();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const QString path = TestSupport::WriteFile(folder + "/p.bmp", BmpFixture::Make(c.spec));
        QImage image;
        ASSERT_EQ(ReadBmp8(path, image), BmpRead::Done);
        const QImage decoded(path);
        ASSERT_EQ(decoded.format(), QImage::Format_Indexed8);
        EXPECT_EQ(image.size(), decoded.size());
        EXPECT_EQ(image.colorTable(), decoded.colorTable());
        for (int y = 0; y < image.height(); ++y)
            EXPECT_EQ(
                QByteArray(reinterpret_cast<const char*>(image.constScanLine(y)), image.width()),
                QByteArray(reinterpret_cast<const char*>(decoded.constScanLine(y)),
                           decoded.width()))
                << "row " << y;
    }
}

TEST(ReadBmp8, OtherFormsAreLeftToTheDecoderAndWhatIsNoBmpFails)
{
    using BmpFixture::Spec;
    const QString folder = TestSupport::NewFolder();
    const Spec eight{8, 4, 8, false, BmpFixture::GreyRamp(16)};
    const QByteArray whole = BmpFixture::Make(eight);
    const QString fifo = folder + "/fifo.bmp";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    struct Case
    {
        const char* name;
        QString path;
        BmpRead expected;
    };
    const auto patched = [&](int at, quint32 value, int bytes)
    {
        QByteArray copy = whole;
        for (int i = 0; i < bytes; ++i)
            copy[at + i] = char(value >> (8 * i));
        return copy;
    };
    const auto file = [&](const char* name, const QByteArray& bytes)
    { return TestSupport::WriteFile(folder + "/" + name + ".bmp", bytes); };
    const Case cases[] = {
        {"RLE8", file("rle8", BmpFixture::MakeRle8(eight, QByteArray("\x08\x01\0\0\0\1", 6))),
         BmpRead::OtherForm},
        {"24 bits", file("rgb", BmpFixture::Make({8, 4, 24, false, {}})), BmpRead::OtherForm},
        {"4 bits", file("four", BmpFixture::Make({8, 4, 4, false, BmpFixture::GreyRamp(16)})),
         BmpRead::OtherForm},
        {"core header", file("core", BmpFixture::MakeCore(eight)), BmpRead::OtherForm},
        {"cut short", file("short", whole.left(whole.size() - 1)), BmpRead::OtherForm},
        {"two planes", file("planes", patched(26, 2, 2)), BmpRead::OtherForm},
        {"an info header of no Windows version", file("header", patched(14, 104, 4)),
         BmpRead::OtherForm},
        {"no BMP", file("png", QByteArray("\x89PNG\r\n\x1a\n") + whole.mid(8)), BmpRead::Failed},
        {"a few bytes", file("tiny", "BM"), BmpRead::Failed},
        {"missing", folder + "/none.bmp", BmpRead::Failed},
        {"a folder", folder, BmpRead::Failed},
        {"a FIFO, not waited on", fifo, BmpRead::Failed},
    };
    for (const Case& c : cases)
    {
        QImage image(1, 1, QImage::Format_Indexed8);
        EXPECT_EQ(ReadBmp8(c.path, image), c.expected) << c.name;
        EXPECT_TRUE(image.isNull()) << c.name;
    }
}
} // namespace
