// Screenshots of the main window with a sample table, the add dialog and the About box in
// both resource sets, for a person to look at. The Japanese texts are read from the
// resource set's string files, since this program links the English set.
#include "TOVKContEdit/checks_fixtures.h"
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/ui/AboutBox.h"
#include "TOVKContEdit/ui/AddContentDlg.h"
#include "TOVKContEdit/ui/MainFrame.h"
#include "TOVKContEdit/ui/TOVKContEditView.h"
#include "common/TestSupport.h"
#include "platform/RecordingMessages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace
{
using namespace ChecksFixtures;

// A string table read from the "*.strings" files of a resource folder.
class LoadedTable
{
public:
    explicit LoadedTable(const QString& folder)
    {
        const QDir dir(folder);
        for (const QString& name : dir.entryList({QStringLiteral("*.strings")}, QDir::Files))
        {
            QFile file(dir.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray& raw : file.readAll().split('\n'))
                Parse(QString::fromUtf8(raw));
        }
        for (std::size_t i = 0; i < m_texts.size(); ++i)
            m_entries.push_back(StringEntry{m_ids[i], m_texts[i].c_str()});
        m_table = std::make_unique<StringTable>(m_entries.data(), m_entries.size());
    }

    const StringTable& Table() const { return *m_table; }

private:
    void Parse(const QString& line)
    {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            return;
        const int quote = trimmed.indexOf(QLatin1Char('"'));
        if (quote < 0 || !trimmed.endsWith(QLatin1Char('"')))
            return;
        bool ok = false;
        const unsigned id = trimmed.left(quote).trimmed().toUInt(&ok);
        if (!ok)
            return;
        const QString body = trimmed.mid(quote + 1, trimmed.size() - quote - 2);
        std::u16string text;
        for (int i = 0; i < body.size(); ++i)
        {
            QChar c = body[i];
            if (c == QLatin1Char('\\') && i + 1 < body.size())
            {
                const QChar e = body[++i];
                c = e == QLatin1Char('n')   ? QChar(u'\n')
                    : e == QLatin1Char('r') ? QChar(u'\r')
                    : e == QLatin1Char('t') ? QChar(u'\t')
                                            : e;
            }
            text.push_back(c.unicode());
        }
        m_ids.push_back(id);
        m_texts.push_back(std::move(text));
    }

    std::vector<unsigned> m_ids;
    std::vector<std::u16string> m_texts;
    std::vector<StringEntry> m_entries;
    std::unique_ptr<StringTable> m_table;
};

QString ShotFolder()
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    return folder;
}

class ScreenshotTest : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override
    {
        if (QString::fromLatin1(GetParam()) == QLatin1String("ja"))
        {
            const QString source = QFileInfo(QString::fromUtf8(__FILE__)).absolutePath() +
                                   QStringLiteral("/../../../src/TOVKContEdit/res/ja");
            japanese = std::make_unique<LoadedTable>(source);
            Strings::Install(japanese->Table());
        }
        else
        {
            Strings::Install(ContEditStringsEN());
        }
        folder = TestSupport::NewFolder(QStringLiteral("shots"));
        picture = TestSupport::WriteFile(
            folder + QStringLiteral("/input/bmp/work.bmp"),
            MakeBmp(256, 192, 8, GreyPalette(256),
                    [](int x, int y) { return std::uint32_t((x / 16 + y / 16) * 9 % 250); }));
        voice = TestSupport::WriteFile(folder + QStringLiteral("/input/wav/work.wav"),
                                       MakeWav(1, 16000, 16, Samples(64)));
    }

    void TearDown() override { Strings::Install(ContEditStringsEN()); }

    QString Name(const char* what) const
    {
        return ShotFolder() + QLatin1Char('/') + QString::fromLatin1(what) + QLatin1Char('_') +
               QString::fromLatin1(GetParam()) + QStringLiteral(".png");
    }

    RecordingMessages messages;
    std::unique_ptr<LoadedTable> japanese;
    QString folder;
    QString picture;
    QString voice;
};

TEST_P(ScreenshotTest, MainWindowWithASampleTable)
{
    CTOVKContEditDoc doc;
    doc.SetConvertFolder(folder);
    for (int row = 0; row < 4; ++row)
    {
        doc.AddRow(true);
        doc.SetCellText(row, ColumnComment, QStringLiteral("Hall %1").arg(row + 1), false);
        doc.SetCellText(row, ColumnImage1, picture, false);
        if (row % 2)
            doc.SetCellText(row, ColumnImage2, picture, false);
        doc.SetCellText(row, ColumnVoice, voice, false);
        doc.SetCellText(row, ColumnDescription, QStringLiteral("A work\r\nof the museum"), false);
    }
    CMainFrame frame;
    ASSERT_EQ(frame.OnCreate(), 0);
    CTOVKContEditView* view = CTOVKContEditView::Create(doc, frame);
    frame.SetView(view);
    frame.resize(1000, 600);
    frame.show();
    view->OnActivateView(true);
    view->SetFocusRow(1, true);
    EXPECT_EQ(view->GetLineCount(), 4);
    EXPECT_TRUE(frame.grab().save(Name("main_window")));
}

TEST_P(ScreenshotTest, AddDialogAndAboutBox)
{
    CTOVKContEditDoc doc;
    CAddContentDlg dialog(&doc);
    dialog.m_strProjectFolder = folder;
    dialog.m_strImage1[0] = picture;
    dialog.m_strVoice[0] = voice;
    dialog.m_strDescription[0] = QStringLiteral("Line one\r\nLine two");
    dialog.OnInitDialog();
    dialog.show();
    EXPECT_TRUE(dialog.grab().save(Name("add_dialog")));

    CAboutDlg about(nullptr, ContEditAboutIds());
    about.OnInitDialog();
    about.show();
    EXPECT_TRUE(about.grab().save(Name("about")));
}

INSTANTIATE_TEST_SUITE_P(Builds, ScreenshotTest, ::testing::Values("en", "ja"));
} // namespace
