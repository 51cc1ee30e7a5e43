// The converter's runs over pictures built in code: refusals, the two files byte for byte,
// the palette, the tile order and guide mode.
#include "BmpFixture.h"
#include "bmp2vcx/Converter.h"
#include "bmp2vcx/Picture.h"
#include "bmp2vcx/VccFile.h"
#include "common/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QtEndian>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <initializer_list>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

// Readable failure output for the texts compared below.
void PrintTo(const QString& text, std::ostream* os)
{
    *os << text.toStdString();
}

namespace
{
using BmpFixture::Spec;

struct RunResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

RunResult Convert(const QStringList& arguments, const QByteArray& charset = "UTF-8")
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    RunResult result;
    result.exitCode = Bmp2Vcx::wmain(arguments, out, err, charset);
    result.out = QString::fromLocal8Bit(out.data());
    result.err = QString::fromLocal8Bit(err.data());
    return result;
}

const QString Usage = QString::fromLatin1(BmpFixture::kUsage);

Spec Indexed(int width, int height)
{
    Spec spec;
    spec.width = width;
    spec.height = height;
    spec.colours = BmpFixture::GreyRamp(256);
    spec.pixel = [width](int x, int y) { return unsigned(x + y * width) & 0xFF; };
    return spec;
}

// The tiles the picture's pixel function gives: row by row, 8 rows of 8 indices each.
QByteArray ExpectedTiles(const Spec& spec)
{
    QByteArray tiles;
    for (int ty = 0; ty < spec.height / 8; ++ty)
        for (int tx = 0; tx < spec.width / 8; ++tx)
            for (int row = 0; row < 8; ++row)
                for (int col = 0; col < 8; ++col)
                    tiles.append(char(spec.pixel(tx * 8 + col, ty * 8 + row)));
    return tiles;
}

QByteArray Hex(const char* hex)
{
    return QByteArray::fromHex(hex);
}

quint32 U32At(const QByteArray& bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

quint16 PaletteEntry(const QByteArray& paletteFile, int index)
{
    return qFromLittleEndian<quint16>(paletteFile.constData() + 32 + 2 * index);
}

// The reader's allocation limit in megabytes while it lives.
class ReaderLimit
{
public:
    explicit ReaderLimit(int megabytes) { QImageReader::setAllocationLimit(megabytes); }
    ~ReaderLimit() { QImageReader::setAllocationLimit(m_previous); }

private:
    int m_previous = QImageReader::allocationLimit();
};

class Bmp2VcxConverterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = TestSupport::NewFolder(QStringLiteral("bmp2vcx"));
        m_output = m_folder + QStringLiteral("/out");
        QDir().mkpath(m_output);
    }

    QString Picture(const QString& name, const QByteArray& bytes)
    {
        return TestSupport::WriteFile(m_folder + QLatin1Char('/') + name, bytes);
    }

    QStringList OutputFiles() const
    {
        return QDir(m_output).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                                        QDir::Name);
    }

    QString m_folder;
    QString m_output;
};

TEST_F(Bmp2VcxConverterTest, RefusedInputsPrintTheirLineAndTheUsageAndWriteNothing)
{
    QByteArray huge = BmpFixture::Make(Indexed(8, 8));
    qToLittleEndian<quint32>(20000, huge.data() + 18);
    qToLittleEndian<quint32>(20000, huge.data() + 22);

    struct Case
    {
        const char* name;
        QString file; // written into the case folder, "" for none
        QByteArray bytes;
        QStringList arguments; // "IN" stands for the picture's path, "OUT" for the output folder
        QString line;          // "IN" stands for the "-i" value
    };
    Spec rgb = Indexed(16, 16);
    rgb.bitsPerPixel = 24;
    rgb.pixel = [](int x, int y) { return qRgb(x * 10, y * 10, 7); };
    Spec fourBit = Indexed(16, 16);
    fourBit.bitsPerPixel = 4;
    fourBit.colours = BmpFixture::GreyRamp(16);
    fourBit.pixel = [](int x, int) { return unsigned(x % 16); };

    const Case cases[] = {
        {"four elements",
         "a.bmp",
         BmpFixture::Make(Indexed(8, 8)),
         {"-i", "IN", "-o"},
         "## Error: [.] : Argment error.\n"},
        {"no -i", "", {}, {"-o", "OUT", "x", "y"}, "## Error: [.] : not bmp\n"},
        {"not a bmp name",
         "a.png",
         BmpFixture::Make(Indexed(8, 8)),
         {"-i", "IN", "-o", "OUT"},
         "## Error: [IN] : not bmp\n"},
        {"24 bits",
         "rgb.bmp",
         BmpFixture::Make(rgb),
         {"-i", "IN", "-o", "OUT"},
         "## Error: [IN] : not 256IndexColor\n"},
        {"4 bits",
         "four.bmp",
         BmpFixture::Make(fourBit),
         {"-i", "IN", "-o", "OUT"},
         "## Error: [IN] : not 256IndexColor\n"},
        {"100 x 64",
         "odd.bmp",
         BmpFixture::Make(Indexed(100, 64)),
         {"-i", "IN", "-o", "OUT"},
         "## Error: [IN] : The image size should be multiple of 8(100 x 64).\n"},
        {"guide 256 x 200",
         "g.bmp",
         BmpFixture::Make(Indexed(256, 200)),
         {"-i", "IN", "-o", "OUT", "-tovkguide"},
         "## Error: [IN] : The image size should be 256x200(256 x 200).\n"},
        {"guide, not loadable",
         "g.bmp",
         "BM broken",
         {"-i", "IN", "-o", "OUT", "-tovkguide"},
         "## Error: [IN] : The image size should be 256x200(0 x 0).\n"},
        {"not loadable",
         "broken.bmp",
         "BM broken",
         {"-i", "IN", "-o", "OUT"},
         "## Error: [IN] : The image could not be resized to 256x200(0 x 0).\n"},
        {"missing file",
         "",
         {},
         {"-i", "IN", "-o", "OUT"},
         "## Error: [IN] : The image could not be resized to 256x200(0 x 0).\n"},
        {"too large to hold",
         "huge.bmp",
         huge,
         {"-i", "IN", "-o", "OUT"},
         "## Error: [IN] : The image size is too large(20000 x 20000).\n"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const QString input = m_folder + QStringLiteral("/") +
                              (c.file.isEmpty() ? QStringLiteral("missing.bmp") : c.file);
        QDir(m_output).removeRecursively();
        QDir().mkpath(m_output);
        QFile::remove(input);
        if (!c.file.isEmpty())
            Picture(c.file, c.bytes);
        QStringList arguments{QStringLiteral("bmp2vcx")};
        for (const QString& a : c.arguments)
            arguments.append(a == "IN" ? input : a == "OUT" ? m_output : a);

        const RunResult result = Convert(arguments);
        EXPECT_EQ(result.exitCode, 1);
        QString line = c.line;
        line.replace(QStringLiteral("[IN]"), QStringLiteral("[%1]").arg(input));
        EXPECT_EQ(result.err, line + Usage);
        EXPECT_EQ(OutputFiles(), QStringList());
    }
}

// Bytes of an RLE8 stream.
QByteArray Rle(std::initializer_list<int> bytes)
{
    QByteArray stream;
    for (const int b : bytes)
        stream.append(char(b));
    return stream;
}

TEST_F(Bmp2VcxConverterTest, FilesThatDoNotHoldTheirPixelsAreRefusedAsNotLoadable)
{
    // The program's own limit, under which 16000 x 16000 is within reach.
    const ReaderLimit limit(ReaderLimitForMaxPicture);
    const QString notLoadable =
        QStringLiteral("## Error: [IN] : The image could not be resized to 256x200(0 x 0).\n");
    const Spec square = Indexed(64, 64);
    const QByteArray whole = BmpFixture::Make(square);
    const qsizetype pixelsAt = 14 + 40 + 256 * 4;
    const auto withU32 = [](QByteArray bytes, qsizetype at, quint32 value)
    {
        qToLittleEndian(value, bytes.data() + at);
        return bytes;
    };
    const auto withU16 = [](QByteArray bytes, qsizetype at, quint16 value)
    {
        qToLittleEndian(value, bytes.data() + at);
        return bytes;
    };
    QByteArray claims16000 = withU32(withU32(whole.left(1024), 18, 16000), 22, 16000);
    const QByteArray core = BmpFixture::MakeCore(square);
    Spec topDown = square;
    topDown.topDown = true;

    struct Case
    {
        const char* name;
        QByteArray bytes;
        bool guide;
        QString line; // "IN" stands for the "-i" value
    };
    const Case cases[] = {
        {"ten pixel bytes", whole.left(pixelsAt + 10), false, notLoadable},
        {"one pixel byte short", whole.left(whole.size() - 1), false, notLoadable},
        {"guide picture cut", BmpFixture::Make(Indexed(256, 192)).left(pixelsAt + 100), true,
         "## Error: [IN] : The image size should be 256x200(0 x 0).\n"},
        {"offset past the end", withU32(whole, 10, quint32(whole.size() + 100)), false,
         notLoadable},
        {"offset one byte late", withU32(whole, 10, quint32(pixelsAt + 1)), false, notLoadable},
        {"offset beyond 32 bits of a size", withU32(whole, 10, 0xFFFFFFFF), false, notLoadable},
        {"1 KB claiming 16000 x 16000", claims16000, false, notLoadable},
        {"8 bits stored as RLE4", withU32(whole, 30, 2), false, notLoadable},
        {"RLE8 run past the right edge", BmpFixture::MakeRle8(square, Rle({65, 1, 0, 1})), false,
         notLoadable},
        {"RLE8 runs overflowing a line", BmpFixture::MakeRle8(square, Rle({60, 1, 5, 1, 0, 1})),
         false, notLoadable},
        {"RLE8 literal run past the edge",
         BmpFixture::MakeRle8(square, Rle({62, 1, 0, 3, 7, 8, 9, 0, 0, 1})), false, notLoadable},
        {"RLE8 delta past the right edge", BmpFixture::MakeRle8(square, Rle({0, 2, 65, 0, 0, 1})),
         false, notLoadable},
        {"RLE8 delta past the top", BmpFixture::MakeRle8(square, Rle({0, 2, 0, 64, 0, 1})), false,
         notLoadable},
        {"RLE8 stream cut", BmpFixture::MakeRle8(square, Rle({64, 1, 0, 0, 64})), false,
         notLoadable},
        {"RLE8 literal cut", BmpFixture::MakeRle8(square, Rle({0, 9, 1, 2})), false, notLoadable},
        {"RLE8 top-down", BmpFixture::MakeRle8(topDown, Rle({0, 1})), false, notLoadable},
        {"core header cut", core.left(core.size() - 64), false, notLoadable},
        {"core header 65528 x 65528", withU16(withU16(core, 18, 65528), 20, 65528), false,
         "## Error: [IN] : The image size is too large(65528 x 65528).\n"},
        {"100000 x 100000", withU32(withU32(whole, 18, 100000), 22, 100000), false,
         "## Error: [IN] : The image size is too large(100000 x 100000).\n"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const QString input = Picture(QStringLiteral("hostile.bmp"), c.bytes);
        QString line = c.line;
        line.replace(QStringLiteral("[IN]"), QStringLiteral("[%1]").arg(input));
        QStringList arguments{"bmp2vcx", "-i", input, "-o", m_output};
        if (c.guide)
            arguments.append(QStringLiteral("-tovkguide"));
        // Two runs: what the file does not hold never shows up as output of either.
        const RunResult first = Convert(arguments);
        const RunResult second = Convert(arguments);
        EXPECT_EQ(first.exitCode, 1);
        EXPECT_EQ(first.err, line + Usage);
        EXPECT_EQ(OutputFiles(), QStringList());
        EXPECT_EQ(second.exitCode, first.exitCode);
        EXPECT_EQ(second.out, first.out);
        EXPECT_EQ(second.err, first.err);
    }
}

TEST_F(Bmp2VcxConverterTest, AnInputThatIsNoRegularFileIsRefusedAtOnce)
{
    const QString fifo = m_folder + QStringLiteral("/pipe.bmp");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = m_folder + QStringLiteral("/folder.bmp");
    QDir().mkpath(folder);
    for (const QString& input : {fifo, folder})
    {
        SCOPED_TRACE(input.toStdString());
        const RunResult result = Convert({"bmp2vcx", "-i", input, "-o", m_output});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err,
                  QStringLiteral("## Error: [%1] : The image could not be resized to 256x200(0 x "
                                 "0).\n")
                          .arg(input) +
                      Usage);
        EXPECT_EQ(OutputFiles(), QStringList());
    }
}

// Another program changes the input while runs read it: it is cut short and written whole
// again in place, or a pipe is renamed over it and the picture back. Every run either
// converts the whole picture or refuses it; none takes blank tiles or waits on the pipe.
TEST_F(Bmp2VcxConverterTest, AnInputChangedWhileItIsReadIsConvertedWholeOrRefused)
{
    const Spec spec = Indexed(1024, 1024);
    const QByteArray bytes = BmpFixture::Make(spec);
    const QByteArray tiles = ExpectedTiles(spec);
    const QString input = Picture(QStringLiteral("race.bmp"), bytes);
    const QByteArray native = QFile::encodeName(input);
    const QByteArray spare = QFile::encodeName(m_folder + QStringLiteral("/spare"));
    enum Change
    {
        Shrink,
        SwapForPipe,
    };
    for (const Change change : {Shrink, SwapForPipe})
    {
        SCOPED_TRACE(change == Shrink ? "shrink" : "pipe");
        std::atomic<bool> stop = false;
        std::thread other(
            [&]
            {
                while (!stop)
                {
                    if (change == Shrink)
                    {
                        ASSERT_EQ(truncate(native.constData(), bytes.size() / 2), 0);
                        const int fd = ::open(native.constData(), O_WRONLY);
                        ASSERT_GE(fd, 0);
                        ASSERT_EQ(::pwrite(fd, bytes.constData(), std::size_t(bytes.size()), 0),
                                  bytes.size());
                        ::close(fd);
                    }
                    else
                    {
                        ASSERT_EQ(mkfifo(spare.constData(), 0600), 0);
                        ASSERT_EQ(std::rename(spare.constData(), native.constData()), 0);
                        TestSupport::WriteFile(QFile::decodeName(spare), bytes);
                        ASSERT_EQ(std::rename(spare.constData(), native.constData()), 0);
                    }
                }
            });
        int converted = 0;
        for (int run = 0; run < 100; ++run)
        {
            const RunResult result = Convert({"bmp2vcx", "-i", input, "-o", m_output});
            if (result.exitCode != 0)
                continue;
            ++converted;
            const QByteArray written = TestSupport::ReadFile(m_output + "/race.vcg");
            ASSERT_EQ(written.mid(36, tiles.size()), tiles) << "run " << run;
        }
        stop = true;
        other.join();
        RecordProperty(change == Shrink ? "converted_shrink" : "converted_pipe", converted);
    }
}

TEST_F(Bmp2VcxConverterTest, RunLengthAndCoreHeaderPicturesConvertLikeThePlainOnes)
{
    // 16 x 16, bottom row first: a run, a literal run, the rest of the row by a jump;
    // a jump up two rows; one full row; the end of the picture. What the stream skips is 0.
    Spec spec = Indexed(16, 16);
    spec.pixel = [](int x, int y)
    {
        if (y == 15)
            return x < 4 ? 7u : x < 7 ? unsigned(x + 20) : 0u;
        if (y == 12 && x >= 5)
            return x < 15 ? 9u : 3u;
        return 0u;
    };
    const QByteArray stream = Rle({4, 7, 0, 3, 24, 25, 26, 0, 0, 0, 0, 2, 5, 2, 10, 9, 1, 3, 0, 1});

    struct Case
    {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"plain", BmpFixture::Make(spec)},
        {"RLE8", BmpFixture::MakeRle8(spec, stream)},
        {"core header", BmpFixture::MakeCore(spec)},
    };
    const QByteArray expected = ExpectedTiles(spec);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const QString input = Picture(QStringLiteral("pic.bmp"), c.bytes);
        const RunResult result = Convert({"bmp2vcx", "-i", input, "-o", m_output});
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(TestSupport::ReadFile(m_output + "/pic.vcg").mid(36, expected.size()), expected);
        EXPECT_EQ(PaletteEntry(TestSupport::ReadFile(m_output + "/pic.vcl"), 255), 0x7FFF);
    }
}

TEST_F(Bmp2VcxConverterTest, FiveElementsAreEnoughAndThePartsOfTheNameAreKept)
{
    Picture(QStringLiteral("PIC.BMP"), BmpFixture::Make(Indexed(16, 8)));
    const QString input = m_folder + QStringLiteral("/PIC.BMP");

    const RunResult result = Convert({"bmp2vcx", "-i", input, "-o", m_output});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.err, QString());
    EXPECT_EQ(OutputFiles(), (QStringList{"PIC.vcg", "PIC.vcl"}));
    EXPECT_EQ(result.out, QStringLiteral("input file: %1\n"
                                         "bin2vcx: [%1] is 256IndexColor\n"
                                         "bin2vcx: [%1] 16bit palette size(256)\n"
                                         "bin2vcx: [%1] index size(128)\n")
                              .arg(input));
}

TEST_F(Bmp2VcxConverterTest, WithoutAnOutputFolderTheFilesGoToTheCurrentFolder)
{
    Picture(QStringLiteral("pic.bmp"), BmpFixture::Make(Indexed(8, 8)));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_output));
    const RunResult result = Convert({"bmp2vcx", "-i", m_folder + "/pic.bmp", "tovkguide", "x"});
    QDir::setCurrent(previous);

    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(OutputFiles(), (QStringList{"pic.vcg", "pic.vcl"}));
}

TEST_F(Bmp2VcxConverterTest, TheOutputFolderMayEndInASeparatorAndDifferInCase)
{
    Picture(QStringLiteral("pic.bmp"), BmpFixture::Make(Indexed(8, 8)));
    const QString folder = m_folder + QStringLiteral("/OUT/");

    const RunResult result = Convert({"bmp2vcx", "-o", folder, "-i", m_folder + "/PIC.bmp"});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(OutputFiles(), (QStringList{"PIC.vcg", "PIC.vcl"}));
}

TEST_F(Bmp2VcxConverterTest, WritesBothFilesByteForByte)
{
    // 64 x 16: 8 x 2 tiles, T = 1024; "hoge.vcl" is 8 bytes, "hoge1.vcl" 9.
    Spec spec = Indexed(64, 16);
    spec.colours = {qRgb(5, 200, 0), qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(8, 16, 248)};
    spec.pixel = [](int x, int y) { return unsigned(x * 3 + y * 7) % 4; };
    const QByteArray tiles = ExpectedTiles(spec);
    ASSERT_EQ(tiles.size(), 1024);

    QByteArray palette = Hex("5643434cfffe0001280200001000020050414c541002000000010000"
                             "01000000");
    palette += Hex("2103ff7f0000417c");
    for (int i = 4; i < 256; ++i)
        palette += Hex("1f7c");
    palette += Hex("434d4e540c00000000000000");

    struct Case
    {
        const char* name;
        QByteArray link; // the LINK block with its header
        QByteArray sizeField;
    };
    const Case cases[] = {
        {"hoge", Hex("4c494e4b14000000") + QByteArray("hoge.vcl") + Hex("00000000"),
         Hex("64040000")},
        {"hoge1", Hex("4c494e4b18000000") + QByteArray("hoge1.vcl") + Hex("00000000000000"),
         Hex("68040000")},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const QString input = Picture(QString::fromLatin1(c.name) + ".bmp", BmpFixture::Make(spec));
        ASSERT_EQ(Convert({"bmp2vcx", "-i", input, "-o", m_output}).exitCode, 0);

        const QByteArray tileFile = Hex("56434347fffe0001") + c.sizeField + Hex("10000400") +
                                    Hex("4348415214040000080000000200000001000000") + tiles +
                                    Hex("41545452200000000800000002000000") + QByteArray(16, '\0') +
                                    c.link + Hex("434d4e540c00000000000000");
        const QByteArray written =
            TestSupport::ReadFile(m_output + "/" + QString::fromLatin1(c.name) + ".vcg");
        EXPECT_EQ(written.size(), qsizetype(U32At(written, 8)));
        EXPECT_EQ(written, tileFile);
        const QByteArray writtenPalette =
            TestSupport::ReadFile(m_output + "/" + QString::fromLatin1(c.name) + ".vcl");
        EXPECT_EQ(writtenPalette.size(), VccFile::PaletteFileSize);
        EXPECT_EQ(writtenPalette, palette);
    }
}

TEST(Bmp2VcxPaletteTest, ColoursKeepTheirTopFiveBitsAndNeverFadeToZero)
{
    struct Case
    {
        QRgb colour;
        quint16 entry;
    };
    const Case cases[] = {
        {qRgb(5, 200, 0), 0x0321},     {qRgb(255, 255, 255), 0x7FFF}, {qRgb(0, 0, 0), 0x0000},
        {qRgb(1, 1, 1), 0x0421},       {qRgb(7, 8, 0), 0x0021},       {qRgb(0, 0, 255), 0x7C00},
        {qRgba(255, 0, 0, 0), 0x001F},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ConvertColour(c.colour), c.entry) << std::hex << c.colour;
}

TEST_F(Bmp2VcxConverterTest, ASixteenColourTableLeavesTheOtherEntriesAtTheFillValue)
{
    Spec spec = Indexed(8, 8);
    spec.colours.clear();
    for (int i = 0; i < 16; ++i)
        spec.colours.append(qRgb(255, i * 16, 0));
    spec.pixel = [](int x, int) { return unsigned(x); };
    const QString input = Picture(QStringLiteral("sixteen.bmp"), BmpFixture::Make(spec));
    ASSERT_EQ(Convert({"bmp2vcx", "-i", input, "-o", m_output}).exitCode, 0);

    const QByteArray palette = TestSupport::ReadFile(m_output + "/sixteen.vcl");
    ASSERT_EQ(palette.size(), VccFile::PaletteFileSize);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(PaletteEntry(palette, i), quint16(0x1F | (2 * i) << 5)) << i;
    for (int i = 16; i < 256; ++i)
        EXPECT_EQ(PaletteEntry(palette, i), 0x7C1F) << i;
}

TEST_F(Bmp2VcxConverterTest, BottomUpAndTopDownPicturesGiveTheSameTiles)
{
    Spec spec = Indexed(24, 16);
    spec.pixel = [](int x, int y) { return unsigned(x * 5 + y * 11) & 0xFF; };
    const QByteArray expected = ExpectedTiles(spec);
    for (const bool topDown : {false, true})
    {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        spec.topDown = topDown;
        const QString input = Picture(QStringLiteral("tiles.bmp"), BmpFixture::Make(spec));
        ASSERT_EQ(Convert({"bmp2vcx", "-i", input, "-o", m_output}).exitCode, 0);
        const QByteArray file = TestSupport::ReadFile(m_output + "/tiles.vcg");
        EXPECT_EQ(U32At(file, 24), 3u);
        EXPECT_EQ(U32At(file, 28), 2u);
        EXPECT_EQ(file.mid(36, expected.size()), expected);
    }
}

TEST_F(Bmp2VcxConverterTest, GuideModeAddsAnEmptyTileRowAndMovesTileZeroThere)
{
    const Spec spec = Indexed(256, 192);
    const QByteArray picture = ExpectedTiles(spec);
    const QString input = Picture(QStringLiteral("guide.bmp"), BmpFixture::Make(spec));

    const RunResult result = Convert({"bmp2vcx", "-tovkguide", "-i", input, "-o", m_output});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.out.endsWith(QStringLiteral("bin2vcx: [%1] index size(51200)\n"
                                                   "bin2vcx: char 0x0000 -> 0x0300.\n")
                                        .arg(input)));

    const QByteArray file = TestSupport::ReadFile(m_output + "/guide.vcg");
    EXPECT_EQ(U32At(file, 20), 51200u + 20);
    EXPECT_EQ(U32At(file, 24), 32u);
    EXPECT_EQ(U32At(file, 28), 25u);
    const QByteArray tiles = file.mid(36, 51200);
    EXPECT_EQ(tiles.left(64), QByteArray(64, '\0'));
    EXPECT_EQ(tiles.mid(0xC000, 64), picture.left(64));
    EXPECT_EQ(tiles.mid(64, 0xC000 - 64), picture.mid(64));
    EXPECT_EQ(tiles.mid(0xC040), QByteArray(51200 - 0xC040, '\0'));
    // ATTR: 800 tiles.
    EXPECT_EQ(file.mid(36 + 51200, 4), QByteArray("ATTR"));
    EXPECT_EQ(U32At(file, 36 + 51200 + 4), 816u);
    EXPECT_EQ(file.size(), 51200 + 800 + 16 + 72); // "guide.vcl": 9 bytes, L = 16
    EXPECT_EQ(qsizetype(U32At(file, 8)), file.size());
}

TEST_F(Bmp2VcxConverterTest, AnOutputThatCannotBeWrittenNamesTheFileAndLeavesNoHalfPair)
{
    const QString input = Picture(QStringLiteral("pic.bmp"), BmpFixture::Make(Indexed(8, 8)));

    struct Case
    {
        const char* name;
        QString blocker; // a folder in the way of this output file
        QString err;
    };
    const QString notWritten = QStringLiteral("## Error: [%1] : The file could not be written.\n");
    const Case cases[] = {
        // The converter writes into the folder it is given and makes none.
        {"no such folder", QString(),
         QStringLiteral("## Error: [%1/none] : The output folder does not exist.\n").arg(m_output)},
        {"palette blocked", "pic.vcl", notWritten.arg(m_output + "/pic.vcl")},
        {"tiles blocked", "pic.vcg", notWritten.arg(m_output + "/pic.vcg")},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        QDir(m_output).removeRecursively();
        QDir().mkpath(m_output);
        QString folder = m_output;
        if (c.blocker.isEmpty())
            folder += "/none";
        else
            QDir().mkpath(m_output + "/" + c.blocker + "/inside");

        const RunResult result = Convert({"bmp2vcx", "-i", input, "-o", folder});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, c.err);
        QStringList left = OutputFiles();
        left.removeAll(c.blocker);
        EXPECT_EQ(left, QStringList());
    }
}

TEST_F(Bmp2VcxConverterTest, TheLinkNameIsWrittenInTheLocaleCharacterSetOrRefused)
{
    const QString name = QStringLiteral("\u65e5\u672c.bmp");
    const QString input = Picture(name, BmpFixture::Make(Indexed(8, 8)));

    const RunResult refused = Convert({"bmp2vcx", "-i", input, "-o", m_output}, "ISO-8859-1");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, QStringLiteral("## Error: [%1] : The name of the palette file cannot "
                                          "be written in the system's character set.\n")
                                   .arg(input) +
                               Usage);
    EXPECT_EQ(OutputFiles(), QStringList());

    struct Case
    {
        const char* charset;
        QByteArray link; // the encoded "日本.vcl" and its padding
    };
    const Case cases[] = {
        {"CP932", Hex("93fa967b2e76636c00000000")},
        {"UTF-8", Hex("e697a5e69cac2e76636c000000000000")},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.charset);
        ASSERT_EQ(Convert({"bmp2vcx", "-i", input, "-o", m_output}, c.charset).exitCode, 0);
        const QByteArray file =
            TestSupport::ReadFile(m_output + "/" + QStringLiteral("\u65e5\u672c.vcg"));
        const qsizetype link = file.size() - 12 - c.link.size() - 8;
        EXPECT_EQ(file.mid(link, 4), QByteArray("LINK"));
        EXPECT_EQ(U32At(file, link + 4), quint32(c.link.size() + 8));
        EXPECT_EQ(file.mid(link + 8, c.link.size()), c.link);
    }
}

TEST_F(Bmp2VcxConverterTest, PicturesBeyondWhatTheReaderDecodesAreRefusedForTheirRealReason)
{
    // A 1 MiB decoding limit (the reader counts four bytes per pixel) stands for the
    // reader's limit against pictures of many megabytes.
    const ReaderLimit limit(1);

    Spec rgb = Indexed(1024, 512); // 2 MiB as the reader counts
    rgb.bitsPerPixel = 24;
    rgb.pixel = [](int x, int y) { return qRgb(x & 0xFF, y & 0xFF, 7); };
    struct Case
    {
        const char* name;
        QByteArray bytes;
        int exitCode;
        QString line; // "IN" stands for the "-i" value; empty for an accepted picture
    };
    const Case cases[] = {
        {"24 bits, beyond the limit", BmpFixture::Make(rgb), 1,
         "## Error: [IN] : not 256IndexColor\n"},
        {"8 bits, beyond the limit", BmpFixture::Make(Indexed(1024, 512)), 1,
         "## Error: [IN] : The image size is too large(1024 x 512).\n"},
        {"8 bits, within the limit", BmpFixture::Make(Indexed(256, 256)), 0, QString()},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        QDir(m_output).removeRecursively();
        QDir().mkpath(m_output);
        const QString input = Picture(QStringLiteral("big.bmp"), c.bytes);
        const RunResult result = Convert({"bmp2vcx", "-i", input, "-o", m_output});
        EXPECT_EQ(result.exitCode, c.exitCode);
        if (c.line.isEmpty())
        {
            EXPECT_EQ(result.err, QString());
            EXPECT_EQ(OutputFiles(), (QStringList{"big.vcg", "big.vcl"}));
            continue;
        }
        QString line = c.line;
        line.replace(QStringLiteral("[IN]"), QStringLiteral("[%1]").arg(input));
        EXPECT_EQ(result.err, line + Usage);
        EXPECT_EQ(OutputFiles(), QStringList());
    }
}

TEST(Bmp2VcxVccFileTest, ATileFileBeyondItsSizeFieldIsRefused)
{
    EXPECT_EQ(VccFile::TileFileSize(1024, 8, 2, 12), 1124);
    EXPECT_EQ(VccFile::TileFileSize(0xFFFFFFFFll - 72 - 16 - 12, 8, 2, 12), 0xFFFFFFFFll);
    EXPECT_EQ(VccFile::TileFileSize(0xFFFFFFFFll - 72 - 16 - 11, 8, 2, 12), -1);
    EXPECT_EQ(VccFile::TileFileSize(0x100000000ll, 0, 0, 0), -1);
}
} // namespace
