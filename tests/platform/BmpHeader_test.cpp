#include "common/TestSupport.h"
#include "platform/BmpHeader.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>

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
} // namespace
