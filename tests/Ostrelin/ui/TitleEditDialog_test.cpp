// The title picture check, the path helpers it shares and the title image page.
#include "Ostrelin/model/PathHelpers.h"
#include "Ostrelin/ui/TitleEditDialog.h"
#include "PageFixture.h"
#include "TOVKContEdit/shared/ImageEx.h"
#include "platform/FileDialogs.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <sys/stat.h>

using namespace PageFixture;

namespace
{
const QString kGuidance =
    QStringLiteral("256x64、256色ビットマップ、254色以下の\r\nビットマップを指定してください。");

struct TitleCase
{
    const char* name;
    QByteArray bytes;
    bool passes;
    quint16 flags;
};

TEST(TitleCheck, RulesOfSizeDepthAndColours)
{
    std::vector<quint32> palette16(16);
    for (int i = 0; i < 16; ++i)
        palette16[std::size_t(i)] = quint32(i * 0x101010);
    // 256 palette entries where two hold the same colour: 255 indexes, 254 colours.
    std::vector<quint32> twins(256);
    for (int i = 0; i < 256; ++i)
        twins[std::size_t(i)] = quint32(i << 16);
    twins[254] = twins[253];
    const TitleCase cases[] = {
        {"254 colours", MakeTitle(254), true, 0},
        {"255 colours", MakeTitle(255), false, CImageEx::FlagTooManyColors},
        {"2 colours", MakeTitle(2), true, 0},
        {"24 bits", MakeTrueColor(256, 64), false, CImageEx::FlagWrongDepth},
        {"256 x 192 at 4 bits",
         MakeBmp(256, 192, 4, palette16, [](int x, int) { return quint32(x % 16); }), false,
         CImageEx::FlagWrongSize | CImageEx::FlagWrongDepth},
        {"320 x 64 at 8 bits", MakeTitle(4, 320, 64), false, CImageEx::FlagWrongSize},
        {"twin palette entries",
         MakeBmp(256, 64, 8, twins, [](int x, int y) { return quint32((y * 256 + x) % 255); }),
         true, 0},
    };
    for (const TitleCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        CImageEx image;
        ASSERT_TRUE(image.LoadFromBytes(c.bytes));
        EXPECT_EQ(image.IsValidTitleImage(), c.passes);
        EXPECT_EQ(image.Flags(), c.flags);
    }
    CImageEx empty;
    EXPECT_FALSE(empty.IsValidTitleImage());
    EXPECT_EQ(empty.Flags(), CImageEx::FlagNoBitmap);
}

TEST(TitleCheck, LoadAndCheckOpensOnlyExistingFilesAndKeepsThePicture)
{
    const QString folder = TestSupport::NewFolder();
    const QString good =
        TestSupport::WriteFile(folder + QStringLiteral("/Title.BMP"), MakeTitle(3));
    CImageEx image;
    EXPECT_TRUE(image.LoadAndCheck(good));
    EXPECT_FALSE(image.IsNull());
    EXPECT_EQ(image.GetWidth(), 256);
    // Found without regard to case, like every path of the hub.
    EXPECT_TRUE(image.LoadAndCheck(folder + QStringLiteral("/title.bmp")));
    for (const QString& path : {QString(), folder, folder + QStringLiteral("/none.bmp")})
    {
        EXPECT_FALSE(image.LoadAndCheck(path)) << path.toStdString();
        EXPECT_TRUE(image.IsNull());
    }
    const QString broken = TestSupport::WriteFile(folder + QStringLiteral("/broken.bmp"), "BMxx");
    EXPECT_FALSE(image.LoadAndCheck(broken));
    EXPECT_EQ(image.Flags(), CImageEx::FlagNoBitmap);
}

TEST(PathHelpers, FileNameExtensionAndTrailingSeparator)
{
    EXPECT_EQ(GetFileNameOf(QStringLiteral("/art/logo_en.bmp")), QStringLiteral("logo_en.bmp"));
    EXPECT_EQ(GetFileNameOf(QStringLiteral("art\\logo.bmp")), QStringLiteral("logo.bmp"));
    EXPECT_EQ(GetFileNameOf(QStringLiteral("logo.bmp")), QStringLiteral("logo.bmp"));
    EXPECT_EQ(GetExtensionOf(QStringLiteral("/a.b/logo.BMP")), QStringLiteral(".BMP"));
    EXPECT_EQ(GetExtensionOf(QStringLiteral("/a.b/logo")), QString());
    QString folder = QStringLiteral("/out/title/");
    RemoveTrailingBackslash(folder);
    EXPECT_EQ(folder, QStringLiteral("/out/title"));
    QString root = QStringLiteral("/");
    RemoveTrailingBackslash(root);
    EXPECT_EQ(root, QStringLiteral("/"));
}

class TitlePageTest : public PageTest
{
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        Data().m_wGuideLanguages = 0x0003; // Japanese and English
        bmp = folder + QStringLiteral("/convert/input/bmp");
        page = std::make_unique<CTitleEditDialog>();
    }
    QString Write(const QString& name, const QByteArray& bytes)
    {
        return TestSupport::WriteFile(bmp + u'/' + name, bytes);
    }
    // Ticks English and types the path into its edit as the user would.
    void TypeEnglish(const QString& path)
    {
        if (!page->CheckBox(1)->isChecked())
            page->CheckBox(1)->click();
        page->PathEdit(1)->clear();
        QTest::keyClicks(page->PathEdit(1), path);
    }

    QString bmp;
    std::unique_ptr<CTitleEditDialog> page;
};

TEST_F(TitlePageTest, OnlyGuideLanguagesCanBeTicked)
{
    Data().m_wTitleLanguages = 0x0006; // English and French; French is no guide language
    page->UpdateFromDoc();
    EXPECT_TRUE(page->CheckBox(1)->isChecked());
    EXPECT_TRUE(page->PathEdit(1)->isEnabled());
    EXPECT_FALSE(page->CheckBox(2)->isEnabled());
    EXPECT_FALSE(page->CheckBox(2)->isChecked());
    EXPECT_FALSE(page->PathEdit(2)->isEnabled());
    EXPECT_FALSE(page->BrowseButton(2)->isEnabled());
    EXPECT_TRUE(page->CheckBox(0)->isEnabled());
    EXPECT_FALSE(page->PathEdit(0)->isEnabled());
}

TEST_F(TitlePageTest, TickingWithoutAPathAsksForAPicture)
{
    page->CheckBox(1)->click();
    EXPECT_EQ(Data().m_wTitleLanguages, 0x0002);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(page->Explanation(1), kGuidance);
    EXPECT_TRUE(page->Preview(1)->pixmap().isNull());
    QString error;
    EXPECT_FALSE(page->CheckStep(error));
    EXPECT_EQ(error, QStringLiteral("以下の言語で、無効なタイトル画像が指定されています。\r\n"
                                    "    英語\r\n"));
}

TEST_F(TitlePageTest, EveryFailureIsExplainedInThePreview)
{
    const QString png = folder + QStringLiteral("/title.png");
    QImage(256, 64, QImage::Format_RGB32).save(png, "PNG");
    // A pipe is refused at once, not waited on at every change of the field.
    const QString fifo = folder + QStringLiteral("/pipe.bmp");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString full = QStringLiteral("フルパスで指定してください。\r\n");
    const QString none = QStringLiteral("ファイルが存在しません。\r\n");
    const struct
    {
        QString path;
        QString explanation;
    } cases[] = {
        {QStringLiteral("title.bmp"), full + kGuidance},
        {QStringLiteral("//server/share/title.bmp"), full + kGuidance},
        {bmp + QStringLiteral("/missing.bmp"), none + kGuidance},
        {folder, none + kGuidance},
        {png, none + kGuidance},
        {fifo, none + kGuidance},
        {Write(QStringLiteral("wide.bmp"), MakeTrueColor(320, 64)),
         QStringLiteral("サイズが256x64ではありません。\r\n256色ビットマップではありません。\r\n") +
             kGuidance},
        {Write(QStringLiteral("many.bmp"), MakeTitle(255)),
         QStringLiteral("色数が254色を超えています。\r\n") + kGuidance},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.path.toStdString());
        TypeEnglish(c.path);
        EXPECT_EQ(page->Explanation(1), c.explanation);
        EXPECT_TRUE(page->Preview(1)->pixmap().isNull());
        EXPECT_EQ(Data().m_strTitleImage[1], c.path);
    }
}

TEST_F(TitlePageTest, AValidPictureIsPreviewedScaledToThePreview)
{
    for (const QString& name :
         {QStringLiteral("a.bmp"), QStringLiteral("b.BMP"), QStringLiteral("c.Bmp")})
    {
        SCOPED_TRACE(name.toStdString());
        TypeEnglish(Write(name, MakeTitle(254)));
        const QPixmap preview = page->Preview(1)->pixmap();
        ASSERT_FALSE(preview.isNull());
        EXPECT_EQ(preview.size(), page->Preview(1)->contentsRect().size());
        EXPECT_TRUE(page->Explanation(1).isEmpty());
        QString error;
        EXPECT_TRUE(page->CheckStep(error));
        EXPECT_TRUE(error.isEmpty());
    }
}

TEST_F(TitlePageTest, AReplacedFileIsCheckedAgain)
{
    const QString path = Write(QStringLiteral("t.bmp"), MakeTitle(254));
    TypeEnglish(path);
    ASSERT_FALSE(page->Preview(1)->pixmap().isNull());
    TestSupport::WriteFile(path, MakeTitle(255) + QByteArray(16, '\0'));
    page->UpdateFromDoc();
    EXPECT_TRUE(page->Preview(1)->pixmap().isNull());
    EXPECT_EQ(page->Explanation(1), QStringLiteral("色数が254色を超えています。\r\n") + kGuidance);
}

TEST_F(TitlePageTest, UncheckingLeavesThePathAndClearsTheStepError)
{
    TypeEnglish(bmp + QStringLiteral("/missing.bmp"));
    QString error;
    EXPECT_FALSE(page->CheckStep(error));
    page->CheckBox(1)->click();
    EXPECT_EQ(Data().m_wTitleLanguages, 0);
    EXPECT_EQ(Data().m_strTitleImage[1], bmp + QStringLiteral("/missing.bmp"));
    EXPECT_TRUE(page->CheckStep(error));
    EXPECT_TRUE(page->Preview(1)->isHidden());
    EXPECT_FALSE(page->PathEdit(1)->isEnabled());
}

TEST_F(TitlePageTest, RefreshDoesNotMarkTheProjectButTypingDoes)
{
    Data().m_wTitleLanguages = 0x0001;
    Data().m_strTitleImage[0] = Write(QStringLiteral("jp.bmp"), MakeTitle(8));
    page->UpdateFromDoc();
    EXPECT_EQ(page->PathEdit(0)->text(), Data().m_strTitleImage[0]);
    EXPECT_FALSE(page->Preview(0)->pixmap().isNull());
    EXPECT_FALSE(doc.IsModified());
    QTest::keyClick(page->PathEdit(0), Qt::Key_Backspace);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Data().m_strTitleImage[0], bmp + QStringLiteral("/jp.bm"));
    EXPECT_TRUE(page->Preview(0)->pixmap().isNull());
}

TEST_F(TitlePageTest, BrowsingStartsInTheProjectThenInTheLastPicturesFolder)
{
    ScriptedFileDialogs dialogs;
    const QString other = TestSupport::NewFolder(QStringLiteral("pictures"));
    const QString picture =
        TestSupport::WriteFile(other + QStringLiteral("/logo.BMP"), MakeTitle(5));
    page->CheckBox(0)->click();
    page->CheckBox(1)->click();
    dialogs.Answer(picture);
    page->BrowseButton(0)->click();
    ASSERT_EQ(dialogs.calls().size(), 1);
    EXPECT_EQ(dialogs.calls()[0].folder, bmp);
    EXPECT_EQ(page->PathEdit(0)->text(), picture);
    EXPECT_EQ(Data().m_strTitleImage[0], picture);
    EXPECT_EQ(Data().m_strTitleFolder, other);
    EXPECT_FALSE(page->Preview(0)->pixmap().isNull());

    dialogs.Cancel();
    page->BrowseButton(1)->click();
    ASSERT_EQ(dialogs.calls().size(), 2);
    EXPECT_EQ(dialogs.calls()[1].folder, other);
    EXPECT_TRUE(page->PathEdit(1)->text().isEmpty());

    // A chosen file that is no .bmp empties the edit.
    const QString text = TestSupport::WriteFile(other + QStringLiteral("/notes.txt"), "x");
    dialogs.Answer(text);
    page->BrowseButton(0)->click();
    EXPECT_TRUE(page->PathEdit(0)->text().isEmpty());
    EXPECT_TRUE(Data().m_strTitleImage[0].isEmpty());
}
} // namespace
