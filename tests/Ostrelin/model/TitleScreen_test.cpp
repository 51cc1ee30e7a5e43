// The screen bitmap of a title and the replacer run per language.
#include "Ostrelin/OutputFixtures.h"
#include "Ostrelin/model/TitleScreen.h"
#include "Ostrelin/res/Strings.h"
#include "TOVKContEdit/shared/ImageEx.h"

#include <QElapsedTimer>
#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>

namespace
{
using namespace OutputFixtures;
using TestSupport::NewFolder;
using TestSupport::ReadFile;
using TestSupport::WriteFile;

QImage Decode(const QByteArray& bmp)
{
    return QImage::fromData(bmp, "BMP");
}

quint32 Entry(const QByteArray& bitmap, int i)
{
    return qFromLittleEndian<quint32>(bitmap.constData() + kTitleScreenHeaderSize + 4 * i);
}

// The palette index of screen pixel (x, y).
int ScreenIndex(const QByteArray& bitmap, int x, int y)
{
    return uchar(bitmap.at(kTitleScreenPixelOffset + (kTitleScreenHeight - 1 - y) * 256 + x));
}

TEST(TitleScreenBitmap, HeaderIsFixedAndTheFileAlwaysTheSameSize)
{
    // Field by field: signature, file size, reserved, pixel offset; info header size,
    // width, height, planes, bits, compression, image size, resolutions, colours used,
    // important colours.
    const QString header = QStringLiteral("424d"
                                          "36c40000"
                                          "00000000"
                                          "36040000"
                                          "28000000"
                                          "00010000"
                                          "c0000000"
                                          "0100"
                                          "0800"
                                          "00000000"
                                          "00c00000"
                                          "00000000"
                                          "00000000"
                                          "00010000"
                                          "00000000");
    const QImage pictures[] = {
        Decode(TwoColourTitle()),
        Decode(TitleBmp(BmpFixture::GreyRamp(254), [](int x, int y) { return (x + y) % 254u; })),
        QImage(), // nothing loaded: background only
        QImage(10, 3, QImage::Format_RGB32),
    };
    for (const QImage& picture : pictures)
    {
        const QByteArray bitmap = BuildTitleScreenBitmap(picture);
        ASSERT_EQ(bitmap.size(), kTitleScreenBitmapSize);
        EXPECT_EQ(QString::fromLatin1(bitmap.left(kTitleScreenHeaderSize).toHex()), header);
    }
}

TEST(TitleScreenBitmap, PaletteInFirstOccurrenceOrderAndRowsBottomUp)
{
    // Red appears first in row 0 at x = 200, white at x = 0: white comes first.
    const QByteArray bitmap = BuildTitleScreenBitmap(Decode(TwoColourTitle()));
    EXPECT_EQ(Entry(bitmap, 0), 0x00000000u);
    EXPECT_EQ(Entry(bitmap, 1), 0xFF323232u);
    EXPECT_EQ(Entry(bitmap, 2), 0xFFFFFFFFu);
    EXPECT_EQ(Entry(bitmap, 3), 0xFFC80000u);
    for (int i = 4; i < 256; ++i)
        ASSERT_EQ(Entry(bitmap, i), 0xFF000000u) << i;
    // The first pixel of the picture starts the last file row.
    EXPECT_EQ(uchar(bitmap.at(kTitleScreenPixelOffset + 191 * 256)), 2);
    EXPECT_EQ(ScreenIndex(bitmap, 255, 63), 3);
    for (int y = 64; y < 192; ++y)
    {
        for (int x = 0; x < 256; x += 51)
            ASSERT_EQ(ScreenIndex(bitmap, x, y), 1) << x << "," << y;
    }
}

TEST(TitleScreenBitmap, BackgroundGreyIsSharedAndFullPaletteOverflowsToTheLastEntry)
{
    // 254 colours fill the palette; colour 50,50,50 of the picture takes the background
    // entry, so 255 other colours leave the last one on 255.
    QList<QRgb> palette;
    for (int i = 0; i < 256; ++i)
        palette << qRgb(i, 255 - i, 7);
    palette[100] = qRgb(50, 50, 50);
    const QByteArray bitmap = BuildTitleScreenBitmap(
        Decode(TitleBmp(palette, [](int x, int y) { return y == 0 ? unsigned(x) : 0u; })));
    EXPECT_EQ(ScreenIndex(bitmap, 100, 0), 1);
    EXPECT_EQ(ScreenIndex(bitmap, 0, 0), 2);
    EXPECT_EQ(Entry(bitmap, 2), 0xFF00FF07u);
    EXPECT_EQ(ScreenIndex(bitmap, 99, 0), 101);
    EXPECT_EQ(ScreenIndex(bitmap, 101, 0), 102);
    EXPECT_EQ(ScreenIndex(bitmap, 254, 0), 255);
    EXPECT_EQ(Entry(bitmap, 255), 0xFF000000u | (254u << 16) | (1u << 8) | 7u);
    EXPECT_EQ(ScreenIndex(bitmap, 255, 0), 255);
    EXPECT_EQ(ScreenIndex(bitmap, 17, 1), 2);
}

class TitleRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(OstrelinStringsJA());
        records = NewFolder(QStringLiteral("records"));
        control = NewFolder(QStringLiteral("control")) + QStringLiteral("/halbrine.control");
        qputenv("HALBRINE_RECORD", records.toUtf8());
        qputenv("HALBRINE_CONTROL", control.toUtf8());
        run.appFolder = MakeAppFolder({QStringLiteral("halbrine")});
        run.titleOutputFolder = NewFolder(QStringLiteral("title")) + u'/';
        run.toolFolder = NewFolder(QStringLiteral("tools"));
        run.tempFolder = NewFolder(QStringLiteral("temp"));
        pictures = NewFolder(QStringLiteral("pictures"));
        settings.m_wGuideLanguages = 0x01FF;
    }
    void TearDown() override
    {
        qunsetenv("HALBRINE_RECORD");
        qunsetenv("HALBRINE_CONTROL");
    }

    void Title(int language, const QString& name, const QByteArray& bmp)
    {
        settings.m_wTitleLanguages |= quint16(1u << language);
        settings.m_strTitleImage[language] = WriteFile(pictures + u'/' + name, bmp);
    }
    QString Output(const QString& code) const
    {
        return run.titleOutputFolder + u'R' + code + QStringLiteral("000.BIN");
    }

    QString records, control, pictures;
    TitleRun run;
    CLanguageSettings settings;
};

TEST_F(TitleRunTest, OneRunPerLanguageInIndexOrder)
{
    Title(6, QStringLiteral("logo_cn.bmp"), TwoColourTitle());
    Title(1, QStringLiteral("logo_en.bmp"), TitleBmp({qRgb(1, 2, 3)}, [](int, int) { return 0u; }));
    EXPECT_EQ(ReplaceTitleImages(settings, run), 0x0042);

    const QList<RecordedRun> runs = Runs(records);
    ASSERT_EQ(runs.size(), 2);
    const QString codes[] = {QStringLiteral("EN"), QStringLiteral("CN")};
    const QString names[] = {QStringLiteral("logo_en.bmp"), QStringLiteral("logo_cn.bmp")};
    for (int i = 0; i < 2; ++i)
    {
        SCOPED_TRACE(i);
        const QString bitmap = run.tempFolder + QStringLiteral("/200_") + names[i];
        EXPECT_EQ(runs[i].args, (QStringList{"-i", bitmap, "-o", run.titleOutputFolder.chopped(1),
                                             "-lang", codes[i], "-bin", run.toolFolder}));
        EXPECT_EQ(runs[i].cwd, run.appFolder + QStringLiteral("/bin"));
        EXPECT_EQ(ReadFile(bitmap).size(), kTitleScreenBitmapSize);
        EXPECT_TRUE(QFile::exists(Output(codes[i])));
    }
    EXPECT_EQ(ReadFile(records + QStringLiteral("/run-2.bmp")),
              BuildTitleScreenBitmap(Decode(TwoColourTitle())));
}

TEST_F(TitleRunTest, PicturesThatFailTheCheckAreLeftOutSilently)
{
    Title(0, QStringLiteral("deep.bmp"),
          TitleBmp(
              {}, [](int x, int) { return qRgb(x, 0, 0); }, 24));
    Title(2, QStringLiteral("tall.bmp"),
          TitleBmp(
              {qRgb(9, 9, 9)}, [](int, int) { return 0u; }, 8, 192));
    Title(3, QStringLiteral("many.bmp"),
          TitleBmp(BmpFixture::GreyRamp(256), [](int x, int) { return unsigned(x); }));
    settings.m_wTitleLanguages |= 0x0030; // FR, GE and IT set; IT names no file, SP a folder
    settings.m_strTitleImage[5] = pictures;
    EXPECT_EQ(ReplaceTitleImages(settings, run), 0);
    EXPECT_TRUE(Runs(records).isEmpty());
    EXPECT_TRUE(QDir(run.tempFolder).isEmpty());
}

TEST_F(TitleRunTest, NothingSelectedStartsNothing)
{
    settings.m_strTitleImage[1] = WriteFile(pictures + QStringLiteral("/a.bmp"), TwoColourTitle());
    EXPECT_EQ(ReplaceTitleImages(settings, run), 0);
    // A title still ticked for a language taken out of the guide is not made.
    settings.m_wTitleLanguages = 0x0002;
    settings.m_wGuideLanguages = 0x0001;
    EXPECT_EQ(ReplaceTitleImages(settings, run), 0);
    EXPECT_TRUE(Runs(records).isEmpty());
    EXPECT_TRUE(QDir(run.tempFolder).isEmpty());
}

// A replacer that wrote nothing, ended by a signal or with a code is a failure of its
// language: the title is left out and what it wrote is not kept.
TEST_F(TitleRunTest, LanguageKeepsItsBitOnlyWithAFreshTitleFromAReplacerThatEndedWell)
{
    Title(1, QStringLiteral("en.bmp"), TwoColourTitle());
    Title(2, QStringLiteral("fr.bmp"), TwoColourTitle());
    Title(6, QStringLiteral("cn.bmp"), TwoColourTitle());
    Title(7, QStringLiteral("kr.bmp"), TwoColourTitle());
    // A stale Chinese title from an earlier run must not be taken for this one's.
    WriteFile(Output(QStringLiteral("CN")), "old");
    WriteFile(control, "[CN] nofile\n[KR] crash\n[EN] exit 3\n");
    quint16 failed = 0;
    EXPECT_EQ(ReplaceTitleImages(settings, run, nullptr, &failed), 0x0004);
    EXPECT_EQ(failed, 0x00C2);
    EXPECT_FALSE(QFile::exists(Output(QStringLiteral("CN"))));
    EXPECT_FALSE(QFile::exists(Output(QStringLiteral("EN")))) << "written, then exit code 3";
    EXPECT_TRUE(QFile::exists(Output(QStringLiteral("FR"))));
    EXPECT_EQ(Runs(records).size(), 4);
}

TEST_F(TitleRunTest, ACancelDuringAReplacerKillsItAndEndsTheRun)
{
    Title(1, QStringLiteral("en.bmp"), TwoColourTitle());
    Title(2, QStringLiteral("fr.bmp"), TwoColourTitle());
    WriteFile(control, "[EN] sleep 60000\n");
    QElapsedTimer clock;
    clock.start();
    run.wait.cancel = [&clock] { return clock.elapsed() > 300; };
    bool cancelled = false;
    EXPECT_EQ(ReplaceTitleImages(settings, run, &cancelled), 0);
    EXPECT_TRUE(cancelled);
    EXPECT_LT(clock.elapsed(), 5000);
    // The French replacer never started.
    EXPECT_EQ(Runs(records).size(), 1);
    EXPECT_FALSE(QFile::exists(Output(QStringLiteral("EN"))));
}

TEST_F(TitleRunTest, NoReplacerOrNoTemporaryFolderGivesNoTitle)
{
    Title(1, QStringLiteral("en.bmp"), TwoColourTitle());
    TitleRun noTemp = run;
    noTemp.tempFolder.clear();
    EXPECT_EQ(ReplaceTitleImages(settings, noTemp), 0);
    TitleRun noTool = run;
    noTool.appFolder = NewFolder(QStringLiteral("empty-app"));
    EXPECT_EQ(ReplaceTitleImages(settings, noTool), 0);
    EXPECT_TRUE(Runs(records).isEmpty());
}

// A title that cannot be prepared for its replacer is left out with the reason, naming its
// language; the other languages go on.
TEST_F(TitleRunTest, ATitleLeftOutBeforeItsReplacerSaysWhy)
{
    Title(1, QStringLiteral("en.bmp"), TwoColourTitle());
    Title(2, QStringLiteral("fr.bmp"), TwoColourTitle());
    const QString notAFolder = WriteFile(NewFolder(QStringLiteral("plain")) + "/file", "x");
    struct Case
    {
        const char* name;
        QString tempFolder;
        QString reason;
    };
    const Case cases[] = {
        {"no temporary folder", QString(), QStringLiteral("一時フォルダーが使用できません。")},
        {"the temporary folder is a file", notAFolder,
         QStringLiteral("画面のビットマップ ") + notAFolder + QStringLiteral("/200_en.bmp")},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        TitleRun broken = run;
        broken.tempFolder = c.tempFolder;
        quint16 failed = 0xFFFF;
        QStringList notWritten;
        EXPECT_EQ(ReplaceTitleImages(settings, broken, nullptr, &failed, &notWritten), 0);
        EXPECT_EQ(failed, 0);
        ASSERT_EQ(notWritten.size(), 2);
        const QString prefix = QStringLiteral("英語: タイトル画像を置き換えずに出力しました。");
        EXPECT_TRUE(notWritten[0].startsWith(prefix + c.reason)) << notWritten[0].toStdString();
        EXPECT_TRUE(notWritten[1].startsWith(QStringLiteral("フランス語: ")))
            << notWritten[1].toStdString();
        EXPECT_TRUE(Runs(records).isEmpty());
    }
    // With a temporary folder again nothing is told.
    QStringList notWritten;
    EXPECT_EQ(ReplaceTitleImages(settings, run, nullptr, nullptr, &notWritten), 0x0006);
    EXPECT_TRUE(notWritten.isEmpty());
}

TEST_F(TitleRunTest, SameFileNameInTwoFoldersIsReadByEachRunInTurn)
{
    settings.m_wTitleLanguages = 0x0003;
    settings.m_strTitleImage[0] =
        WriteFile(pictures + QStringLiteral("/jp/logo.bmp"), TwoColourTitle());
    settings.m_strTitleImage[1] =
        WriteFile(pictures + QStringLiteral("/en/logo.bmp"),
                  TitleBmp({qRgb(0, 0, 255)}, [](int, int) { return 0u; }));
    EXPECT_EQ(ReplaceTitleImages(settings, run), 0x0003);
    const QList<RecordedRun> runs = Runs(records);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0].Arg("-i"), runs[1].Arg("-i"));
    EXPECT_EQ(Entry(ReadFile(records + QStringLiteral("/run-1.bmp")), 2), 0xFFFFFFFFu);
    EXPECT_EQ(Entry(ReadFile(records + QStringLiteral("/run-2.bmp")), 2), 0xFF0000FFu);
}
} // namespace
