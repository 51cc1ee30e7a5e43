// The add-content dialog driven offscreen: typing, drops, browsing, tab changes and OK.
#include "TOVKContEdit/checks_fixtures.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/ui/AddContentDlg.h"
#include "common/TestSupport.h"
#include "platform/FileDialogs.h"
#include "platform/RecordingMessages.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QImage>
#include <QMimeData>
#include <QTabBar>
#include <QTest>
#include <QUrl>
#include <functional>
#include <gtest/gtest.h>
#include <utility>

namespace
{
using namespace ChecksFixtures;

// Two colours in squares: a guide picture.
QByteArray GuideBitmap()
{
    return MakeBmp(256, 192, 8, GreyPalette(256),
                   [](int x, int y) { return std::uint32_t(((x / 32 + y / 32) % 2) * 255); });
}

QByteArray VoiceWave()
{
    return MakeWav(1, 16000, 16, Samples(32));
}

void Drop(QWidget* target, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint point = target->rect().center();
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

class AddDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(ContEditStringsEN());
        folder = TestSupport::NewFolder(QStringLiteral("add"));
        picture =
            TestSupport::WriteFile(folder + QStringLiteral("/input/bmp/work.bmp"), GuideBitmap());
        capitals =
            TestSupport::WriteFile(folder + QStringLiteral("/input/bmp/WORK2.BMP"), GuideBitmap());
        voice = TestSupport::WriteFile(folder + QStringLiteral("/input/wav/work.wav"), VoiceWave());
        doc.SetConvertFolder(folder);
        // Two rows: numbers 1 and 2.
        doc.AddRow(true);
        doc.AddRow(true);
    }

    std::unique_ptr<CAddContentDlg> Open(int row = -1, int tab = 0)
    {
        auto dialog = std::make_unique<CAddContentDlg>(&doc);
        dialog->m_nRowIndex = row;
        dialog->m_nLanguage = tab;
        dialog->m_nCurrentTab = tab;
        dialog->m_nItemNumber = row >= 0 ? doc.GetRow(row).itemNumber : doc.GetFreeItemNumber();
        dialog->m_strProjectFolder = folder;
        if (row >= 0)
        {
            dialog->m_strImage1 = doc.GetRow(row).image1;
            dialog->m_strVoice = doc.GetRow(row).voice;
            dialog->m_strDescription = doc.GetRow(row).description;
        }
        dialog->OnInitDialog();
        dialog->show();
        return dialog;
    }

    // A complete language on the shown tab.
    void FillTab(CAddContentDlg& dialog, const QString& description = QStringLiteral("Hello"))
    {
        dialog.Image1Edit()->setText(picture);
        dialog.VoiceEdit()->setText(voice);
        dialog.DescriptionEdit()->SetText(description);
    }

    QStringList Shown() const { return messages.texts(); }

    RecordingMessages messages;
    QString folder;
    QString picture;
    QString capitals;
    QString voice;
    CTOVKContEditDoc doc;
};

TEST_F(AddDialogTest, OkWithoutAnyContentShowsNoContent)
{
    auto dialog = Open();
    dialog->OnBnClickedOk();
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("There is no content.")});
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(AddDialogTest, ADescriptionWithoutVoiceFailsForItsLanguage)
{
    auto dialog = Open(-1, 2);
    dialog->DescriptionEdit()->SetText(QStringLiteral("Bonjour"));
    dialog->OnBnClickedOk();
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_EQ(Shown()[0], QStringLiteral("Voice file for FRE has not been entered or has been "
                                         "left blank. \r\nConfirm text string."));
    EXPECT_NE(dialog->result(), QDialog::Accepted);
}

TEST_F(AddDialogTest, ACompleteLanguagePassesAndIsReadBack)
{
    auto dialog = Open(-1, 1);
    FillTab(*dialog);
    dialog->CommentEdit()->setText(QStringLiteral("note"));
    QTest::mouseClick(dialog->findChild<QWidget*>(QStringLiteral("1")), Qt::LeftButton);
    EXPECT_TRUE(Shown().isEmpty()) << Shown().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->m_strImage1[1], picture);
    EXPECT_EQ(dialog->m_strVoice[1], voice);
    EXPECT_EQ(dialog->m_strDescription[1], QStringLiteral("Hello"));
    EXPECT_EQ(dialog->m_strComment, QStringLiteral("note"));
    EXPECT_EQ(dialog->m_nItemNumber, 3);
    EXPECT_EQ(dialog->m_nLanguage, 1);
}

TEST_F(AddDialogTest, ItemNumberInputIsCheckedAsItIsTyped)
{
    struct Case
    {
        const char* keys; // typed over the whole field; "" clears it
        QString message;
        QString shown;
        int stored;
    } cases[] = {
        {"a", QStringLiteral("Only single-byte characters may be entered."), QStringLiteral("3"),
         3},
        {"0", QStringLiteral("Please set range from 1 to 10,000."), QStringLiteral("1"), 1},
        {"99999", QStringLiteral("Please set range from 1 to 10,000."), QStringLiteral("10000"),
         10000},
        {"", QStringLiteral("Please enter item number."), QStringLiteral("3"), 3},
        {"42", QString(), QStringLiteral("42"), 42},
    };
    for (const Case& c : cases)
    {
        messages.Clear();
        auto dialog = Open();
        CDropEdit* edit = dialog->ItemNumberEdit();
        edit->setFocus();
        edit->selectAll();
        if (*c.keys)
            QTest::keyClicks(edit, QString::fromLatin1(c.keys));
        else
            QTest::keyClick(edit, Qt::Key_Backspace);
        EXPECT_EQ(Shown(), c.message.isEmpty() ? QStringList() : QStringList{c.message}) << c.keys;
        EXPECT_EQ(edit->text(), c.shown) << c.keys;
        EXPECT_EQ(dialog->m_nItemNumber, c.stored) << c.keys;
    }
}

TEST_F(AddDialogTest, ClearingTheItemNumberKeepsWhatWasTyped)
{
    auto dialog = Open(-1, 1);
    FillTab(*dialog, QStringLiteral("typed\r\ntext"));
    dialog->CommentEdit()->setText(QStringLiteral("a note"));
    CDropEdit* edit = dialog->ItemNumberEdit();
    struct Case
    {
        const char* name;
        std::function<void()> clear;
    } cases[] = {
        {"backspace over the whole number",
         [&]
         {
             edit->setFocus();
             edit->selectAll();
             QTest::keyClick(edit, Qt::Key_Backspace);
         }},
        {"emptied at once", [&] { edit->clear(); }},
    };
    for (const Case& c : cases)
    {
        messages.Clear();
        c.clear();
        EXPECT_EQ(Shown(), QStringList{QStringLiteral("Please enter item number.")}) << c.name;
        EXPECT_EQ(edit->text(), QStringLiteral("3")) << c.name;
        EXPECT_EQ(dialog->Image1Edit()->text(), picture) << c.name;
        EXPECT_EQ(dialog->VoiceEdit()->text(), voice) << c.name;
        EXPECT_EQ(dialog->DescriptionEdit()->Text(), QStringLiteral("typed\r\ntext")) << c.name;
        EXPECT_EQ(dialog->CommentEdit()->text(), QStringLiteral("a note")) << c.name;
    }
    // Nothing was lost on the way to OK either.
    messages.Clear();
    dialog->OnBnClickedOk();
    EXPECT_TRUE(Shown().isEmpty()) << Shown().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialog->m_strVoice[1], voice);
    EXPECT_EQ(dialog->m_strDescription[1], QStringLiteral("typed\r\ntext"));
    EXPECT_EQ(dialog->m_strComment, QStringLiteral("a note"));
    EXPECT_EQ(dialog->m_nItemNumber, 3);
}

// A message backend that lets more input arrive while its box is open.
class InterruptingMessages : public RecordingMessages
{
public:
    std::function<void()> whileOpen;
    int Show(const QString& text, unsigned flags, const QString& caption) override
    {
        if (auto action = std::exchange(whileOpen, nullptr))
            action();
        return RecordingMessages::Show(text, flags, caption);
    }
};

TEST_F(AddDialogTest, InputWhileAnItemNumberMessageIsOpenFailsQuietly)
{
    InterruptingMessages quiet;
    auto dialog = Open();
    CDropEdit* edit = dialog->ItemNumberEdit();
    bool quietInside = false;
    quiet.whileOpen = [&]
    {
        quietInside = CAddContentDlg::IsQuiet();
        edit->setText(QStringLiteral("0")); // out of range: clamped without a second box
    };
    edit->setText(QStringLiteral("3x"));
    EXPECT_TRUE(quietInside);
    EXPECT_FALSE(CAddContentDlg::IsQuiet());
    EXPECT_EQ(quiet.texts(),
              QStringList{QStringLiteral("Only single-byte characters may be entered.")});
    EXPECT_EQ(dialog->m_nItemNumber, 1);
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(AddDialogTest, TheSpinStepsTheNumberWithinItsRange)
{
    auto dialog = Open();
    dialog->ItemNumberEdit()->setText(QStringLiteral("9999"));
    QTest::keyClick(dialog->ItemNumberEdit(), Qt::Key_Up);
    QTest::keyClick(dialog->ItemNumberEdit(), Qt::Key_Up);
    EXPECT_EQ(dialog->ItemNumberEdit()->text(), QStringLiteral("10000"));
    EXPECT_EQ(dialog->m_nItemNumber, 10000);
    EXPECT_TRUE(Shown().isEmpty());
    EXPECT_EQ(dialog->ItemNumberEdit()->maxLength(), 5);
}

TEST_F(AddDialogTest, DropsOnPreviewsAndFieldsCheckTheFileKind)
{
    auto dialog = Open();
    Drop(dialog->Image1Preview(), voice);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("This file is not a BMP file.")});
    EXPECT_TRUE(dialog->m_strImage1[0].isEmpty());

    messages.Clear();
    Drop(dialog->VoiceEdit(), picture);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("This file is not a WAV file.")});

    messages.Clear();
    Drop(dialog->Image2Preview(), capitals);
    EXPECT_TRUE(Shown().isEmpty()) << Shown().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialog->m_strImage2[0], capitals);
    EXPECT_EQ(dialog->Image2Edit()->text(), capitals);
    EXPECT_FALSE(dialog->Image2Preview()->pixmap().isNull());
    EXPECT_EQ(dialog->Image2Preview()->pixmap().size(),
              dialog->Image2Preview()->contentsRect().size());

    Drop(dialog->VoiceEdit(), voice);
    EXPECT_EQ(dialog->m_strVoice[0], voice);
}

TEST_F(AddDialogTest, TheDescriptionAndTheItemNumberTakeNoDrop)
{
    auto dialog = Open();
    dialog->DescriptionEdit()->SetText(QStringLiteral("typed"));
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(picture)});
    QMimeData text;
    text.setText(QStringLiteral("42"));
    struct Case
    {
        const char* name;
        QWidget* target;
        const QMimeData* data;
    } cases[] = {
        {"a file on the description", dialog->DescriptionEdit()->viewport(), &files},
        {"text on the description", dialog->DescriptionEdit()->viewport(), &text},
        {"a file on the item number", dialog->ItemNumberEdit(), &files},
        {"text on the item number", dialog->ItemNumberEdit(), &text},
    };
    for (const Case& c : cases)
    {
        const QPoint point = c.target->rect().center();
        QDragEnterEvent enter(point, Qt::CopyAction, c.data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(c.target, &enter);
        EXPECT_FALSE(enter.isAccepted()) << c.name;
        QDropEvent drop(point, Qt::CopyAction, c.data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(c.target, &drop);
        EXPECT_FALSE(drop.isAccepted()) << c.name;
    }
    EXPECT_FALSE(dialog->DescriptionEdit()->acceptDrops());
    EXPECT_FALSE(dialog->ItemNumberEdit()->acceptDrops());
    EXPECT_TRUE(dialog->VoiceEdit()->acceptDrops());
    EXPECT_EQ(dialog->DescriptionEdit()->Text(), QStringLiteral("typed"));
    EXPECT_EQ(dialog->ItemNumberEdit()->text(), QStringLiteral("3"));
    EXPECT_TRUE(dialog->m_strImage1[0].isEmpty());
    EXPECT_TRUE(Shown().isEmpty()) << Shown().join(QLatin1Char('|')).toStdString();
}

// A guide picture whose whole path is exactly length characters long.
QString PictureWithPathLength(const QString& folder, int length)
{
    QString base = folder + QStringLiteral("/long");
    while (base.size() < length - 60)
        base += u'/' + QString(std::min<qsizetype>(100, length - 60 - base.size()), u'd');
    const qsizetype nameLength = length - base.size() - 1;
    const QString name = QString(nameLength - 4, u'p') + QStringLiteral(".bmp");
    return TestSupport::WriteFile(base + u'/' + name, GuideBitmap());
}

TEST_F(AddDialogTest, DroppedPathsLongerThanTheLimitAreRefusedWhole)
{
    struct Case
    {
        int length;
        bool stored;
    };
    for (const Case c : {Case{MaxDroppedPathLength, true}, Case{MaxDroppedPathLength + 1, false}})
    {
        const QString path = PictureWithPathLength(folder, c.length);
        ASSERT_EQ(path.size(), c.length);
        auto dialog = Open();
        messages.Clear();
        Drop(dialog->Image1Preview(), path);
        Drop(dialog->Image2Edit(), path);
        EXPECT_TRUE(Shown().isEmpty()) << c.length;
        EXPECT_EQ(dialog->m_strImage1[0], c.stored ? path : QString()) << c.length;
        EXPECT_EQ(dialog->m_strImage2[0], c.stored ? path : QString()) << c.length;
        EXPECT_EQ(dialog->Image2Edit()->text(), c.stored ? path : QString()) << c.length;
    }
}

TEST_F(AddDialogTest, PreviewFollowsTheTypedPath)
{
    auto dialog = Open();
    dialog->Image1Edit()->setText(picture);
    EXPECT_FALSE(dialog->Image1Preview()->pixmap().isNull());
    dialog->Image1Edit()->setText(folder + QStringLiteral("/input/bmp/none.bmp"));
    EXPECT_TRUE(dialog->Image1Preview()->pixmap().isNull());
    const QString flat =
        TestSupport::WriteFile(folder + QStringLiteral("/flat.bmp"), QByteArray("BMnot really"));
    dialog->Image1Edit()->setText(flat);
    EXPECT_TRUE(dialog->Image1Preview()->pixmap().isNull());
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(AddDialogTest, BrowseStartsInTheProjectInputFolders)
{
    ScriptedFileDialogs files;
    auto dialog = Open();
    files.Answer(picture);
    dialog->BrowseImage(IDC_BROWSE_IMAGE1);
    files.Answer(voice);
    dialog->BrowseVoice();
    files.Cancel();
    dialog->BrowseImage(IDC_BROWSE_IMAGE2);
    ASSERT_EQ(files.calls().size(), 3);
    EXPECT_EQ(files.calls()[0].folder, folder + QStringLiteral("/input/bmp"));
    EXPECT_EQ(files.calls()[0].filter, QStringLiteral("BMP files (*.bmp)|*.bmp|"));
    EXPECT_EQ(files.calls()[1].folder, folder + QStringLiteral("/input/wav"));
    EXPECT_EQ(files.calls()[1].filter, QStringLiteral("WAV files (*.wav)|*.wav|"));
    // A name typed without extension is looked for with the field's own.
    EXPECT_EQ(files.calls()[0].defaultSuffix, QStringLiteral("bmp"));
    EXPECT_EQ(files.calls()[1].defaultSuffix, QStringLiteral("wav"));
    EXPECT_EQ(dialog->Image1Edit()->text(), picture);
    EXPECT_EQ(dialog->VoiceEdit()->text(), voice);
    EXPECT_TRUE(dialog->m_strImage2[0].isEmpty());
    EXPECT_FALSE(dialog->Image1Preview()->pixmap().isNull());

    // With a file in the field, the dialog opens on it.
    files.Cancel();
    dialog->BrowseImage(IDC_BROWSE_IMAGE1);
    EXPECT_EQ(files.calls()[3].folder, picture);

    // A folder opens with every file of it; the root, and a voice in a picture field, do not.
    struct Case
    {
        QString field;
        QString start;
    } cases[] = {
        {folder + QStringLiteral("/input"), folder + QStringLiteral("/input/*")},
        {QStringLiteral("/"), folder + QStringLiteral("/input/bmp")},
        {voice, voice}, // an existing file in the field still gives the start folder
    };
    for (const Case& c : cases)
    {
        dialog->Image2Edit()->setText(c.field);
        files.Cancel();
        dialog->BrowseImage(IDC_BROWSE_IMAGE2);
        EXPECT_EQ(files.calls().last().folder, c.start) << c.field.toStdString();
        EXPECT_EQ(dialog->Image2Edit()->text(), c.field);
    }
}

TEST_F(AddDialogTest, TabChangeIsRefusedWhileTheOldLanguageFails)
{
    auto dialog = Open();
    dialog->DescriptionEdit()->SetText(QStringLiteral("only text"));
    dialog->TabBar()->setCurrentIndex(1);
    EXPECT_EQ(dialog->TabBar()->currentIndex(), 0);
    EXPECT_EQ(dialog->m_nCurrentTab, 0);
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_TRUE(Shown()[0].startsWith(QStringLiteral("Voice file for JPN")));

    messages.Clear();
    FillTab(*dialog);
    dialog->TabBar()->setCurrentIndex(1);
    EXPECT_TRUE(Shown().isEmpty()) << Shown().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialog->m_nCurrentTab, 1);
    EXPECT_TRUE(dialog->VoiceEdit()->text().isEmpty());
    EXPECT_TRUE(dialog->Image1Preview()->pixmap().isNull());

    // Back on the first tab its fields return.
    dialog->TabBar()->setCurrentIndex(0);
    EXPECT_EQ(dialog->VoiceEdit()->text(), voice);
    EXPECT_FALSE(dialog->Image1Preview()->pixmap().isNull());
}

TEST_F(AddDialogTest, AnotherRowsNumberIsRefusedButTheRowsOwnPasses)
{
    {
        auto dialog = Open();
        FillTab(*dialog);
        dialog->ItemNumberEdit()->setText(QStringLiteral("2"));
        dialog->OnBnClickedOk();
        EXPECT_EQ(Shown(), QStringList{QStringLiteral("This item number has already been used.")});
        EXPECT_NE(dialog->result(), QDialog::Accepted);
        messages.Clear();
        dialog->TabBar()->setCurrentIndex(3);
        EXPECT_EQ(Shown(), QStringList{QStringLiteral("This item number has already been used.")});
        EXPECT_EQ(dialog->m_nCurrentTab, 0);
    }
    messages.Clear();
    auto dialog = Open(1);
    EXPECT_EQ(dialog->ItemNumberEdit()->text(), QStringLiteral("2"));
    FillTab(*dialog);
    dialog->OnBnClickedOk();
    EXPECT_TRUE(Shown().isEmpty()) << Shown().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(AddDialogTest, PictureChecksRunInOrder)
{
    const QString wrongSize = [&]
    {
        return TestSupport::WriteFile(
            folder + QStringLiteral("/small.bmp"),
            MakeBmp(100, 100, 8, GreyPalette(256), [](int, int) { return std::uint32_t(0); }));
    }();
    struct Case
    {
        QString image1;
        QString image2;
        QString message;
    } cases[] = {
        {QString(), picture,
         QStringLiteral("Product Image 1 of JPN has not been entered or has been left blank. "
                        "\r\nConfirm text string.")},
        {voice, QString(), QStringLiteral("File Image 1 of JPN is not a BMP file.")},
        {picture, folder + QStringLiteral("/gone.bmp"),
         QStringLiteral("File Image 2 of JPN not found.")},
        {wrongSize, QString(),
         QStringLiteral("BMP file Image 1 meets the 256x192 256 colors Bitmap use specification "
                        "of 255 colors or less.")},
    };
    for (const Case& c : cases)
    {
        messages.Clear();
        auto dialog = Open();
        FillTab(*dialog);
        dialog->Image1Edit()->setText(c.image1);
        dialog->Image2Edit()->setText(c.image2);
        dialog->OnBnClickedOk();
        EXPECT_EQ(Shown(), QStringList{c.message}) << c.message.toStdString();
        EXPECT_NE(dialog->result(), QDialog::Accepted);
    }
}

TEST_F(AddDialogTest, ANeverShownLanguageIsJudgedByTheFullDescriptionRules)
{
    // Row 0 carries Spanish data that the dialog never shows.
    ContentRow& row = doc.GetRow(0);
    row.image1[5] = picture;
    row.voice[5] = voice;
    const QString overLimits =
        QStringLiteral("The description for SPA exceeds display parameters.");
    const QString i34 = QString(34, QLatin1Char('i')); // 68 pixels
    struct Case
    {
        const char* name;
        QString description;
        QString message; // empty: accepted
    } cases[] = {
        // 69 letters and one line break counting 2: 71.
        {"71 characters", i34 + QStringLiteral("\r\n") + i34 + QLatin1Char('i'), overLimits},
        {"70 characters", i34 + QStringLiteral("\r\n") + i34, QString()},
        {"six short lines", QStringLiteral("a\r\nb\r\nc\r\nd\r\ne\r\nf"), overLimits},
        {"800 pixels", QString(50, QLatin1Char('W')), overLimits},
        {"a wide second line", QStringLiteral("a\r\n") + QString(30, QLatin1Char('A')), overLimits},
        {"an unsupported character", QString::fromUtf16(u"a\u0E01"),
         QStringLiteral("The description for SPA includes the unsupported character  "
                        "[\u0E01]0x0E01.\r\n\r\nUse another character or delete the entry.")},
        {"four full lines", QString(28, QLatin1Char('A')) + QStringLiteral("\r\nb\r\nc\r\nd"),
         QString()},
    };
    for (const Case& c : cases)
    {
        messages.Clear();
        row.description[5] = c.description;
        auto dialog = Open(0);
        dialog->OnBnClickedOk();
        EXPECT_EQ(dialog->result() == QDialog::Accepted, c.message.isEmpty()) << c.name;
        EXPECT_EQ(Shown(), c.message.isEmpty() ? QStringList() : QStringList{c.message}) << c.name;
    }
}

TEST_F(AddDialogTest, TheShownDescriptionIsMeasuredAsItIsTyped)
{
    auto dialog = Open();
    CDescriptionEdit* edit = dialog->DescriptionEdit();
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("ab"));
    QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(edit, QStringLiteral("cd"));
    EXPECT_EQ(edit->Text(), QStringLiteral("ab\r\ncd"));
    EXPECT_TRUE(dialog->LineStatus()->text().isEmpty());
    for (int i = 0; i < 3; ++i)
    {
        QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClicks(edit, QStringLiteral("x"));
    }
    EXPECT_EQ(dialog->LineStatus()->text(), QStringLiteral("over 1 lines"));
    EXPECT_EQ(dialog->LineStatus()->palette().color(QPalette::WindowText), QColor(224, 0, 0));

    // Now over the limit, OK refuses the language.
    edit->SetText(QString(30, QLatin1Char('W')));
    EXPECT_TRUE(dialog->PixelStatus()->text().startsWith(QStringLiteral("over ")));
    dialog->Image1Edit()->setText(picture);
    dialog->VoiceEdit()->setText(voice);
    dialog->OnBnClickedOk();
    EXPECT_EQ(Shown(),
              QStringList{QStringLiteral("The description for JPN exceeds display parameters.")});
}

// A break the edit holds in any form (a pasted CR, a line or paragraph separator) is measured
// as the line it becomes in the stored text.
TEST_F(AddDialogTest, EveryLineBreakIsMeasuredAsItIsStored)
{
    const QString overLimits =
        QStringLiteral("The description for JPN exceeds display parameters.");
    const struct
    {
        const char* name;
        QString typed;
        QString stored;
        QString message; // empty: accepted
    } cases[] = {
        {"five lines by line separators", QString::fromUtf16(u"a\u2028b\u2028c\u2028d\u2028e"),
         "a\r\nb\r\nc\r\nd\r\ne", overLimits},
        {"seven lines by lone CRs", "a\rb\rc\rd\re\rf\rg", "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng",
         overLimits},
        {"two lines by a paragraph separator", QString::fromUtf16(u"a\u2029b"), "a\r\nb",
         QString()},
        {"three lines by a line separator and an LF", QString::fromUtf16(u"a\u2028b\nc"),
         "a\r\nb\r\nc", QString()},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        messages.Clear();
        auto dialog = Open();
        FillTab(*dialog, QString());
        dialog->DescriptionEdit()->setFocus();
        dialog->DescriptionEdit()->insertPlainText(c.typed);
        EXPECT_EQ(dialog->DescriptionEdit()->Text(), c.stored);
        EXPECT_EQ(dialog->LineStatus()->text().isEmpty(), c.message.isEmpty());
        dialog->OnBnClickedOk();
        EXPECT_EQ(dialog->result() == QDialog::Accepted, c.message.isEmpty());
        EXPECT_EQ(Shown(), c.message.isEmpty() ? QStringList() : QStringList{c.message});
        if (c.message.isEmpty())
        {
            EXPECT_EQ(dialog->m_strDescription[0], c.stored);
        }
    }
}

TEST_F(AddDialogTest, PathsAreStoredWithNativeSeparatorsAfterOk)
{
    auto dialog = Open();
    FillTab(*dialog);
    QString typed = voice;
    typed.replace(folder + QLatin1Char('/'), folder + QLatin1Char('\\'));
    typed.replace(QStringLiteral("/wav/"), QStringLiteral("\\wav\\"));
    ASSERT_TRUE(typed.contains(QLatin1Char('\\')));
    dialog->VoiceEdit()->setText(typed);
    QString picturePath = picture;
    picturePath.replace(QStringLiteral("/bmp/"), QStringLiteral("\\bmp\\"));
    dialog->Image1Edit()->setText(picturePath);
    dialog->OnBnClickedOk();
    ASSERT_EQ(dialog->result(), QDialog::Accepted) << Shown().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialog->m_strVoice[0], voice);
    EXPECT_EQ(dialog->m_strImage1[0], picture);
}

TEST_F(AddDialogTest, TheDialogShowsTheChosenPicturesAndAQuietStatus)
{
    auto dialog = Open(-1, 1);
    FillTab(*dialog, QStringLiteral("A line of text\r\nand another"));
    dialog->Image2Edit()->setText(capitals);
    const QImage shot = dialog->grab().toImage();
    // Both previews show the picture's black and white squares; the status fields, whose
    // text is red, stay empty for a description within the limits.
    for (CDropStatic* preview : {dialog->Image1Preview(), dialog->Image2Preview()})
    {
        const QRect area = preview->contentsRect().translated(preview->pos());
        int dark = 0;
        int light = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
            {
                const int grey = qGray(shot.pixel(x, y));
                dark += grey < 64;
                light += grey > 192;
            }
        EXPECT_GT(dark, area.width() * area.height() / 4) << preview->objectName().toStdString();
        EXPECT_GT(light, area.width() * area.height() / 4) << preview->objectName().toStdString();
    }
    for (QLabel* status : {dialog->PixelStatus(), dialog->LineStatus()})
    {
        const QRect area = status->geometry();
        bool red = false;
        for (int y = area.top(); y <= area.bottom() && !red; ++y)
            for (int x = area.left(); x <= area.right() && !red; ++x)
                red = shot.pixelColor(x, y).red() > 150 && shot.pixelColor(x, y).green() < 80;
        EXPECT_FALSE(red) << status->objectName().toStdString();
    }
}
} // namespace
