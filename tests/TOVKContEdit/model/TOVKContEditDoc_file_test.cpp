// Saving and opening the content document, the Open command and the hand-over value.
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/Strings.h"
#include "common/TestSupport.h"
#include "platform/AtomicFile.h"
#include "platform/FileDialogs.h"
#include "platform/HandOver.h"
#include "platform/RecordingMessages.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <unistd.h>

namespace
{
QByteArray Utf16(const QString& text)
{
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

QString InfoXml(int lang, int number, const QString& txt, const QString& cmt = "\"\"",
                int images = 2)
{
    return QStringLiteral("<ContentInfo><nLangType>%1</nLangType><nProductNo>%2</nProductNo>"
                          "<nProductImgCnt>%5</nProductImgCnt><strProductImg1>/i/%2.bmp"
                          "</strProductImg1><strProductImg2/><strProductWav>/w/%2.wav"
                          "</strProductWav><strProductTxt>%3</strProductTxt>"
                          "<strProductCmt>%4</strProductCmt></ContentInfo>")
        .arg(lang)
        .arg(number)
        .arg(txt, cmt)
        .arg(images);
}

QString ContentFile(const QString& path, const QString& infos)
{
    return TestSupport::WriteFile(path,
                                  Utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?><ContentBody>" +
                                        infos + "</ContentBody>"));
}

struct HintLog : ContentDocObserver
{
    void OnUpdate(ContentDocObserver*, int hint) override { hints.push_back(hint); }
    std::vector<int> hints;
};

class DocFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Strings::Install(ContEditStringsEN());
        doc.AddView(&log);
        doc.SetRecentFileHandler([this](const QString& p) { recent << p; });
    }
    void TearDown() override { doc.RemoveView(&log); }

    QString folder = TestSupport::NewFolder("docfile");
    RecordingMessages messages;
    ScriptedFileDialogs dialogs;
    CTOVKContEditDoc doc;
    HintLog log;
    QStringList recent;
};

TEST_F(DocFileTest, OneRowInTwoLanguagesSavesTwoRecordsAndOpensAsOneRow)
{
    const int row = doc.AddRow(false);
    doc.GetRow(row).itemNumber = 7;
    doc.GetRow(row).imageCount = 1;
    doc.GetRow(row).comment = "shared";
    doc.GetRow(row).voice[1] = "/v/en.wav";
    doc.GetRow(row).description[0] = "ja\r\ntext";
    doc.AddRow(false); // no text in any language: not stored
    const QString path = folder + "/TOVKContent.xml";
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_FALSE(doc.IsModified());

    ContentRecords records;
    ASSERT_TRUE(doc.GetXmlFile().Load(path, records));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].nLangType, 0);
    EXPECT_EQ(records[0].strProductTxt, "ja\ntext");
    EXPECT_EQ(records[1].nLangType, 1);
    EXPECT_EQ(records[1].strProductWav, "/v/en.wav");
    for (const ContentRecord& r : records)
    {
        EXPECT_EQ(r.nProductNo, 7);
        EXPECT_EQ(r.nProductImgCnt, 1);
        EXPECT_EQ(r.strProductCmt, "shared");
    }

    CTOVKContEditDoc other;
    ASSERT_TRUE(other.OnOpenDocument(path));
    ASSERT_EQ(other.GetRowCount(), 1);
    const ContentRow& back = other.GetRow(0);
    EXPECT_EQ(back.itemNumber, 7);
    EXPECT_EQ(back.language, 1) << "from the last record of the number";
    EXPECT_EQ(back.description[0], "ja\r\ntext");
    EXPECT_EQ(back.voice[1], "/v/en.wav");
    EXPECT_EQ(back.comment, "shared");
    EXPECT_EQ(back.marked, 1);
}

TEST_F(DocFileTest, SaveLeavesTheFullPathForTheHub)
{
    doc.AddRow(false);
    doc.SetCellText(0, ColumnComment, "c", false);
    doc.SetCellText(0, ColumnDescription, "d", false);
    HandOver::SetValue("LastContentFile", "");
    QDir::setCurrent(folder);
    ASSERT_TRUE(doc.OnSaveDocument("relative.xml"));
    EXPECT_EQ(HandOver::GetValue("LastContentFile"), folder + "/relative.xml");
}

// Saving over a file whose name differs only in letter case keeps the spelling on disk, in
// the document's path and in the recent-file list.
TEST_F(DocFileTest, SaveAsTakesTheSpellingOnDisk)
{
    TestSupport::WriteFile(folder + "/Sub/new.xml", "old");
    doc.AddRow(false);
    doc.SetCellText(0, ColumnComment, "c", false);
    dialogs.Answer(folder + "/SUB/NEW.XML");
    ASSERT_TRUE(doc.DoSave(QString()));
    EXPECT_EQ(doc.GetPathName(), folder + "/Sub/new.xml");
    ASSERT_FALSE(recent.isEmpty());
    EXPECT_EQ(recent.last(), folder + "/Sub/new.xml");
}

TEST_F(DocFileTest, OpenFillsRowsAndPicksTheDisplayLanguage)
{
    const QString infos = InfoXml(9, 1, "\"nine\"") + InfoXml(-1, 2, "\"minus\"") +
                          InfoXml(2, 5, "\"a\nb\"", "\"first\"") + InfoXml(3, 6, "\"c\r\nd\"") +
                          InfoXml(4, 5, "\"x\"", "\"last\"", 1);
    const QString path = ContentFile(folder + "/c.xml", infos);
    doc.AddRow(false);
    ASSERT_EQ(doc.GetDisplayLanguage(), 0);
    ASSERT_TRUE(doc.OnOpenDocument(path));

    ASSERT_EQ(doc.GetRowCount(), 2);
    EXPECT_EQ(doc.GetRow(0).itemNumber, 5);
    EXPECT_EQ(doc.GetRow(0).description[2], "a\r\nb");
    EXPECT_EQ(doc.GetRow(0).description[4], "x");
    EXPECT_EQ(doc.GetRow(0).comment, "last");
    EXPECT_EQ(doc.GetRow(0).imageCount, 1);
    EXPECT_EQ(doc.GetRow(0).language, 4);
    EXPECT_EQ(doc.GetRow(1).description[3], "c\r\nd");
    EXPECT_EQ(doc.GetRow(1).image1[3], "/i/6.bmp");
    EXPECT_EQ(doc.GetRow(1).marked, 0);
    EXPECT_EQ(doc.GetDisplayLanguage(), 2) << "none in language 0: the first accepted one";
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), path);
    EXPECT_EQ(recent, QStringList{path});
    EXPECT_EQ(log.hints, (std::vector<int>{HintStopVoiceRefreshAll}));

    doc.OnViewLanguage(3);
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.GetDisplayLanguage(), 3) << "kept: a record has it";
}

// However a description's lines were separated in the file or by a cell edit, the table and
// the saved file hold CR LF, and the output check counts the lines that are there.
TEST_F(DocFileTest, EveryLineBreakOfADescriptionIsHeldAndSavedAsCrLf)
{
    const QString seven = QStringLiteral("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng");
    const QString path = ContentFile(folder + "/breaks.xml",
                                     InfoXml(1, 1, "\"a&#13;b&#13;c&#13;d&#13;e&#13;f&#13;g\"") +
                                         InfoXml(1, 2, QString::fromUtf16(u"\"a\u2028b\u2029c\"")) +
                                         InfoXml(1, 3, "\"a&#10;b&#13;&#10;c\""));
    ASSERT_TRUE(doc.OnOpenDocument(path));
    ASSERT_EQ(doc.GetRowCount(), 3);
    EXPECT_EQ(doc.GetRow(0).description[1], seven);
    EXPECT_EQ(doc.GetRow(1).description[1], "a\r\nb\r\nc");
    EXPECT_EQ(doc.GetRow(2).description[1], "a\r\nb\r\nc");

    doc.OnViewLanguage(1);
    ASSERT_TRUE(doc.SetCellText(1, ColumnDescription, QString::fromUtf16(u"x\ry\u2028z"), false));
    EXPECT_EQ(doc.GetRow(1).description[1], "x\r\ny\r\nz");

    EXPECT_FALSE(doc.CheckLanguage(1));
    ASSERT_FALSE(messages.texts().isEmpty());
    EXPECT_TRUE(messages.texts().last().contains(
        "Row 1: The description exceeds display parameters (over 3 lines)"))
        << messages.texts().last().toStdString();

    const QString saved = folder + "/saved.xml";
    ASSERT_TRUE(doc.OnSaveDocument(saved));
    const QByteArray bytes = TestSupport::ReadFile(saved);
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
    EXPECT_TRUE(text.contains("\"" + seven + "\"")) << text.toStdString();
    EXPECT_TRUE(text.contains("\"x\r\ny\r\nz\"")) << text.toStdString();
}

TEST_F(DocFileTest, OpenOfAFileWithoutAcceptedRecordsKeepsTheLanguage)
{
    doc.OnViewLanguage(6);
    ASSERT_TRUE(doc.OnOpenDocument(ContentFile(folder + "/n.xml", InfoXml(9, 1, "\"\""))));
    EXPECT_EQ(doc.GetRowCount(), 0);
    EXPECT_EQ(doc.GetDisplayLanguage(), 6);
}

TEST_F(DocFileTest, FailedOpensKeepTheTable)
{
    doc.AddRow(false);
    doc.GetRow(0).marked = 1;
    doc.CopyMarkedRows();
    struct Case
    {
        QString path;
        bool missing;
    };
    const QString bad = TestSupport::WriteFile(folder + "/bad.xml", "<ContentInfo/>");
    const QString text = TestSupport::WriteFile(folder + "/text.xml", "not XML at all");
    const QList<Case> cases = {
        {folder + "/missing.xml", true}, {folder, true}, {bad, false}, {text, false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.path.toStdString());
        messages.Clear();
        EXPECT_FALSE(doc.OnOpenDocument(c.path));
        EXPECT_EQ(doc.GetRowCount(), 1);
        EXPECT_EQ(doc.GetClipboardCount(), 1);
        EXPECT_EQ(messages.texts(),
                  QStringList{c.missing ? "Cannot find file " + c.path +
                                              ".\nPlease confirm the name of the designated "
                                              "file is correct."
                                        : "This is an unsupported XML files.\r\n\r\n" + c.path});
    }
}

TEST_F(DocFileTest, OpenKeepsTheFirstTenThousandNumbers)
{
    QString infos;
    for (int n = 1; n <= MaxContentRows + 2; ++n)
        infos += InfoXml(0, n, "\"\"");
    infos += InfoXml(1, 3, "\"later language of a kept row\"");
    const QString path = ContentFile(folder + "/big.xml", infos);
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.GetRowCount(), MaxContentRows);
    EXPECT_EQ(doc.GetRow(MaxContentRows - 1).itemNumber, MaxContentRows);
    EXPECT_EQ(doc.GetRow(2).description[1], "later language of a kept row");
    EXPECT_EQ(messages.texts(),
              QStringList{"The maximum item value is 10000.\r\nYou cannot register more than "
                          "this."});
}

TEST_F(DocFileTest, SaveToAFolderFailsQuietly)
{
    doc.AddRow(false);
    EXPECT_FALSE(doc.OnSaveDocument(folder));
    EXPECT_TRUE(messages.shown().isEmpty());
    EXPECT_TRUE(doc.IsModified());
}

// Makes a folder unwritable: permissions for a user, the immutable flag for root.
bool LockFolder(const QString& folder, bool lock)
{
    if (geteuid() != 0)
        return QFile::setPermissions(
            folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                        (lock ? QFileDevice::Permissions() : QFileDevice::WriteOwner));
    return QProcess::execute("chattr", {lock ? "+i" : "-i", folder}) == 0;
}

TEST_F(DocFileTest, FailedSaveLeavesTheOldFileWholeAndTheDocumentModified)
{
    const QString sub = folder + "/ro";
    const QString path = ContentFile(sub + "/c.xml", InfoXml(0, 1, "\"old\""));
    const QByteArray before = TestSupport::ReadFile(path);
    if (!LockFolder(sub, true))
        GTEST_SKIP() << "the folder cannot be made unwritable here";
    doc.AddRow(false);
    doc.SetCellText(0, ColumnDescription, "new", false);
    HandOver::SetValue("LastContentFile", "");
    const bool saved = doc.OnSaveDocument(path);
    LockFolder(sub, false);
    EXPECT_FALSE(saved);
    EXPECT_EQ(TestSupport::ReadFile(path), before);
    EXPECT_EQ(QDir(sub).entryList(QDir::Files), QStringList{"c.xml"});
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(messages.shown().size(), 1);
    // The reason is the system's: an unwritable folder, or one nobody may change (root).
    EXPECT_EQ(messages.shown()[0].text,
              "The file below is being used by another application.\r\nThe file could not be "
              "saved.\r\n\r\n" +
                  path + "\r\n\r\n" + FileReplacement::ErrorText(geteuid() == 0 ? EPERM : EACCES));
    EXPECT_EQ(HandOver::GetValue("LastContentFile"), "");
}

TEST_F(DocFileTest, OpenCommandChecksThePickedFile)
{
    doc.SetConvertFolder(folder);
    QDir().mkpath(folder + "/input/xml");
    const QString good = ContentFile(folder + "/input/xml/good.xml", InfoXml(0, 4, "\"t\""));
    const QString bad = TestSupport::WriteFile(folder + "/input/xml/bad.xml", "not xml");
    struct Case
    {
        QString answer;
        QStringList messages;
        int rows;
    };
    const QList<Case> cases = {
        {"", {}, 0},
        {folder + "/gone.xml", {"Cannot find file. \r\n\r\n" + folder + "/gone.xml"}, 0},
        {folder, {"Cannot find file. \r\n\r\n" + folder}, 0},
        {bad, {"This is an unsupported XML files.\r\n\r\n" + bad}, 0},
        {good, {}, 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.answer.toStdString());
        messages.Clear();
        dialogs.Answer(c.answer);
        doc.OnFileOpen();
        EXPECT_EQ(messages.texts(), c.messages);
        EXPECT_EQ(doc.GetRowCount(), c.rows);
    }
    ASSERT_FALSE(dialogs.calls().isEmpty());
    EXPECT_EQ(dialogs.calls()[0].kind, FileDialogCall::Kind::Open);
    EXPECT_EQ(dialogs.calls()[0].folder, folder + "/input/xml");
    EXPECT_TRUE(dialogs.calls()[0].filter.contains("*.xml"));
    EXPECT_EQ(dialogs.calls()[0].defaultSuffix, "xml");
    EXPECT_EQ(doc.GetPathName(), good);
}

TEST_F(DocFileTest, OpenCommandAsksToSaveChangesFirst)
{
    doc.AddRow(false);
    messages.Answer(IDCANCEL);
    doc.OnFileOpen();
    EXPECT_EQ(messages.shown().size(), 1);
    EXPECT_TRUE(dialogs.calls().isEmpty()) << "cancelled before the file dialog";

    // Yes saves through the save dialog, then the open dialog follows.
    messages.Answer(IDYES);
    doc.SetCellText(0, ColumnDescription, "d", false);
    const QString saved = folder + "/saved.xml";
    dialogs.Answer(saved);
    dialogs.Answer("");
    doc.OnFileOpen();
    ASSERT_EQ(dialogs.calls().size(), 2);
    EXPECT_EQ(dialogs.calls()[0].kind, FileDialogCall::Kind::Save);
    EXPECT_EQ(dialogs.calls()[1].kind, FileDialogCall::Kind::Open);
    EXPECT_TRUE(QFile::exists(saved));
    EXPECT_EQ(doc.GetPathName(), saved);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocFileTest, SaveModifiedAnswers)
{
    struct Case
    {
        const char* name;
        bool modified;
        int answer;
        QString savePath; // the save dialog's answer; empty: cancelled
        bool result;
        bool saved;
    };
    const QList<Case> cases = {
        {"unmodified", false, 0, "", true, false},
        {"no", true, IDNO, "", true, false},
        {"cancel", true, IDCANCEL, "", false, false},
        {"yes, dialog cancelled", true, IDYES, "", false, false},
        {"yes", true, IDYES, "s.xml", true, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTOVKContEditDoc fresh;
        fresh.SetCellText(0, ColumnDescription, "d", false);
        fresh.SetModifiedFlag(c.modified);
        messages.Clear();
        if (c.answer)
            messages.Answer(c.answer);
        const QString path = c.savePath.isEmpty() ? QString() : folder + "/" + c.savePath;
        if (c.answer == IDYES)
            dialogs.Answer(path);
        EXPECT_EQ(fresh.SaveModified(), c.result);
        ASSERT_EQ(messages.shown().size(), c.modified ? 1 : 0);
        if (c.modified)
        {
            EXPECT_EQ(messages.shown()[0].text, "Save changes to TOVKContent?");
            EXPECT_EQ(messages.shown()[0].flags & MB_TYPEMASK, MB_YESNOCANCEL);
        }
        EXPECT_EQ(fresh.IsModified(), c.modified && !c.saved);
        EXPECT_EQ(QFile::exists(path), c.saved);
    }
    ASSERT_FALSE(dialogs.calls().isEmpty());
    EXPECT_EQ(dialogs.calls().last().folder, "TOVKContent.xml") << "an untitled document";
}

TEST_F(DocFileTest, CanLoadContentFile)
{
    EXPECT_TRUE(doc.CanLoadContentFile(ContentFile(folder + "/a.xml", "")));
    EXPECT_FALSE(doc.CanLoadContentFile(folder));
    EXPECT_FALSE(doc.CanLoadContentFile(folder + "/none.xml"));
    EXPECT_FALSE(doc.CanLoadContentFile(TestSupport::WriteFile(folder + "/b.xml", "<a/>")));
}
} // namespace

namespace
{
// Another program puts its own file in the document's place, as a save beside and a rename.
void ReplaceOnDisk(const QString& path, const QString& infos)
{
    const QString other = ContentFile(path + ".other", infos);
    ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()),
              0);
}
} // namespace

// A save onto a file that changed since it was read asks first: Yes overwrites, No reads the
// file again (the window's changes go), Cancel leaves both as they are.
TEST_F(DocFileTest, SaveOntoAFileChangedSinceItWasReadAsksFirst)
{
    const struct
    {
        int answer;
        bool saved;
        int itemOnDisk; // of the only record in the file afterwards
        bool modified;
    } cases[] = {{IDYES, true, 1, false}, {IDNO, false, 7, false}, {IDCANCEL, false, 7, true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.answer);
        const QString path =
            ContentFile(TestSupport::NewFolder() + "/c.xml", InfoXml(0, 1, "\"mine\""));
        ASSERT_TRUE(doc.OnOpenDocument(path));
        doc.SetCellText(0, ColumnDescription, "edited", false);
        doc.SetModifiedFlag(true);
        ReplaceOnDisk(path, InfoXml(0, 7, "\"theirs\"") + InfoXml(1, 7, "\"theirs\""));
        messages.Clear();
        messages.Answer(c.answer);
        EXPECT_EQ(doc.OnSaveDocument(path), c.saved);
        ASSERT_EQ(messages.shown().size(), 1);
        EXPECT_EQ(messages.shown()[0].text,
                  "The file below was changed by another program after it was read "
                  "here.\r\n\r\n" +
                      path +
                      "\r\n\r\nDo you want to overwrite it?\r\nChoose \"No\" to read the file "
                      "again instead; the changes made here are then lost.");
        EXPECT_EQ(messages.shown()[0].flags, unsigned(MB_YESNOCANCEL | MB_ICONQUESTION));
        ContentRecords onDisk;
        ASSERT_TRUE(doc.GetXmlFile().Load(path, onDisk));
        ASSERT_FALSE(onDisk.empty());
        EXPECT_EQ(onDisk[0].nProductNo, c.itemOnDisk);
        EXPECT_EQ(doc.IsModified(), c.modified);
        EXPECT_EQ(doc.GetRow(0).itemNumber, c.answer == IDNO ? 7 : 1);

        // What this window wrote or read last is what it compares with from then on.
        messages.Clear();
        if (c.answer != IDCANCEL)
        {
            EXPECT_TRUE(doc.OnSaveDocument(path));
            EXPECT_TRUE(messages.shown().isEmpty());
        }
    }
}

// A disk that takes part of the file says so in the system's words, with the code that
// means a full disk; the old file stays.
TEST_F(DocFileTest, ASaveCutShortByTheDiskSaysWhy)
{
    const QString path = ContentFile(folder + "/c.xml", InfoXml(0, 1, "\"old\""));
    const QByteArray before = TestSupport::ReadFile(path);
    ASSERT_TRUE(doc.OnOpenDocument(path));
    doc.SetCellText(0, ColumnDescription, QString(5000, u'x'), false);
    bool saved = true;
    {
        const TestSupport::FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.IsSet());
        saved = doc.OnSaveDocument(path);
    }
    EXPECT_FALSE(saved);
    ASSERT_EQ(messages.shown().size(), 1);
    EXPECT_EQ(messages.shown()[0].text,
              "XML save failed.\r\n" + FileReplacement::ErrorText(EFBIG) + "\r\n[80070070]");
    EXPECT_EQ(TestSupport::ReadFile(path), before);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"c.xml"});
}
