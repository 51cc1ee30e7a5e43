// Guide pictures: the flags of CImageEx::IsValidGuideImage and the picture check of
// ValidateContentFile with its messages.
#include "TOVKContEdit/checks_fixtures.h"
#include "TOVKContEdit/model/ContentValidation.h"
#include "TOVKContEdit/shared/ImageEx.h"
#include "checks_file_fixture.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>
#include <unordered_set>

using namespace ChecksFixtures;

namespace
{
struct FlagCase
{
    const char* name;
    std::function<QByteArray()> bytes;
    int flags;
};

QByteArray TwoTonePicture(int width, int height, int bits)
{
    if (bits == 24)
        return MakeBmp(width, height, 24, {}, [](int x, int) { return x % 2 ? 0xFF0000u : 0u; });
    return MakeBmp(width, height, bits, GreyPalette(2), [](int x, int) { return x % 2u; });
}

TEST(GuideImageFlags, EachRuleSetsItsFlag)
{
    const FlagCase cases[] = {
        {"255 colours", [] { return GuideBmp(255); }, 0},
        {"256 colours", [] { return GuideBmp(256); }, 0x10},
        {"two palette entries of one colour count once",
         []
         {
             QList<QRgb> palette = GreyPalette(256);
             palette[255] = palette[254];
             return MakeBmp(256, 192, 8, palette,
                            [](int x, int y) { return std::uint32_t((y * 256 + x) % 256); });
         },
         0},
        {"24 bits, two colours", [] { return TwoTonePicture(256, 192, 24); }, 0x08},
        {"4 bits", [] { return TwoTonePicture(256, 192, 4); }, 0x08},
        {"1 bit", [] { return TwoTonePicture(256, 192, 1); }, 0x08},
        {"one row short", [] { return TwoTonePicture(256, 191, 8); }, 0x04},
        {"title size, 4 bits", [] { return TwoTonePicture(256, 64, 4); }, 0x0C},
    };
    for (const FlagCase& c : cases)
    {
        CImageEx image;
        ASSERT_TRUE(image.LoadFromBytes(c.bytes())) << c.name;
        EXPECT_EQ(image.IsValidGuideImage(), c.flags == 0) << c.name;
        EXPECT_EQ(image.Flags(), c.flags) << c.name;
    }
}

TEST(GuideImageFlags, NothingLoaded)
{
    CImageEx image;
    EXPECT_EQ(image.Flags(), 1);
    EXPECT_FALSE(image.LoadFromBytes("BM not a picture"));
    EXPECT_FALSE(image.IsValidGuideImage());
    EXPECT_EQ(image.Flags(), 0x02);
}

TEST(GuideImageFlags, ColourCountEqualsThePerPixelRule)
{
    // A palette full of repeated colours, with pixels that use only some entries.
    QList<QRgb> palette;
    for (int i = 0; i < 256; ++i)
        palette.append(qRgb((i * 37) % 97, (i * 11) % 5, 7));
    for (int span : {13, 200, 256})
    {
        const QByteArray bytes =
            MakeBmp(256, 192, 8, palette,
                    [span](int x, int y) { return std::uint32_t((x * 3 + y * 5) % span); });
        CImageEx image;
        ASSERT_TRUE(image.LoadFromBytes(bytes));
        std::unordered_set<QRgb> reference;
        for (int y = 0; y < 192; ++y)
            for (int x = 0; x < 256; ++x)
                reference.insert(image.Image().pixel(x, y) & 0xFFFFFF);
        EXPECT_EQ(image.CountDistinctColors(1000), static_cast<int>(reference.size())) << span;
    }
}

class PictureCheck : public FileCheck
{
};

const char* const NotGuide1 =
    "Image 1 is not a 256x192, 256 colors Bitmap file using 255 colors or less.";

TEST_F(PictureCheck, FailuresShowTheirMessage)
{
    struct Case
    {
        const char* name;
        QByteArray bytes;
        bool passes;
    };
    const Case cases[] = {
        {"255 colours", GuideBmp(255), true},
        {"256 colours", GuideBmp(256), false},
        {"24 bits", TwoTonePicture(256, 192, 24), false},
        {"4 bits", TwoTonePicture(256, 192, 4), false},
        {"wrong size", TwoTonePicture(192, 256, 8), false},
        {"text", "BM, but only text", false},
        {"PNG bytes", QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(64, 'x'), false},
    };
    for (const Case& c : cases)
    {
        m_messages.Clear();
        const QString path = Write(QString::fromLatin1(c.name) + ".bmp", c.bytes);
        EXPECT_EQ(ValidateContentFile(path, 4, true), c.passes) << c.name;
        const QStringList expected = c.passes ? QStringList() : QStringList{NotGuide1};
        EXPECT_EQ(m_messages.texts(), expected) << c.name;
    }
}

TEST_F(PictureCheck, SecondPictureNumberAndMissingFile)
{
    EXPECT_FALSE(ValidateContentFile(m_folder + "/missing.bmp", 5, true));
    ASSERT_EQ(m_messages.shown().size(), 1);
    EXPECT_EQ(m_messages.shown()[0].text,
              "Image 2 is not a 256x192, 256 colors Bitmap file using 255 colors or less.");
    EXPECT_EQ(m_messages.shown()[0].flags & 0xF, MB_OK);
}

TEST_F(PictureCheck, PathNotAbsoluteLocalShowsTheFileNameOnly)
{
    const QString path = Write("guide.bmp", GuideBmp(10));
    ASSERT_TRUE(ValidateContentFile(path, 4, true));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_folder);
    const QString paths[] = {QStringLiteral("guide.bmp"), "/" + path};
    for (const QString& p : paths)
    {
        m_messages.Clear();
        EXPECT_FALSE(ValidateContentFile(p, 4, true)) << p.toStdString();
        EXPECT_EQ(m_messages.texts(),
                  QStringList{"Please designate full paths for image files. \r\n\r\nguide.bmp"});
    }
    QDir::setCurrent(previous);
}

TEST_F(PictureCheck, QuietAndOtherColumns)
{
    const QString bad = Write("bad.bmp", GuideBmp(256));
    EXPECT_FALSE(ValidateContentFile(bad, 5, false));
    for (int column : {0, 1, 2, 3, 7})
        EXPECT_TRUE(ValidateContentFile(bad, column, true)) << column;
    EXPECT_TRUE(m_messages.shown().isEmpty());
}

} // namespace
