#pragma once
// The project of the Output tests: a picture and a voice, rows that use them, the converter
// stand-in's record and control files and the language folders it writes.
#include "TOVKContEdit/checks_fixtures.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/Strings.h"
#include "common/StandinRecord.h"
#include "common/TestSupport.h"
#include "platform/RecordingMessages.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>

namespace OutputFixture
{
using TestSupport::RecordedRun;

class Project : public ::testing::Test
{
protected:
    // The project in a fresh folder of that name; the stand-in is told where to record and
    // what to do in the form `toolPath` gives (a Windows converter wants Windows paths).
    void MakeProject(const QString& folderName,
                     const std::function<QString(const QString&)>& toolPath = {})
    {
        const auto forTool = [&toolPath](const QString& path)
        { return toolPath ? toolPath(path) : path; };
        Strings::Install(ContEditStringsEN());
        m_project = TestSupport::NewFolder(folderName);
        m_convert = m_project + QStringLiteral("/convert");
        QDir().mkpath(m_convert + QStringLiteral("/input/xml"));
        m_media = m_project + QStringLiteral("/media");
        m_bmp =
            TestSupport::WriteFile(m_media + QStringLiteral("/a.bmp"), ChecksFixtures::GuideBmp(4));
        m_wav = TestSupport::WriteFile(
            m_media + QStringLiteral("/a.wav"),
            ChecksFixtures::MakeWav(1, 16000, 16, ChecksFixtures::Samples(3200)));
        m_records = m_project + QStringLiteral("/runs");
        m_control = m_project + QStringLiteral("/marvex.control");
        qputenv("MARVEX_RECORD", forTool(m_records).toUtf8());
        qputenv("MARVEX_CONTROL", forTool(m_control).toUtf8());
        m_tools = m_project + QStringLiteral("/tools dir");
    }

    void TearDown() override
    {
        qunsetenv("MARVEX_RECORD");
        qunsetenv("MARVEX_CONTROL");
    }

    // A row with picture, voice and description in each of the languages.
    void AddRow(int number, std::initializer_list<int> languages)
    {
        const int row = m_doc.AddRow(false);
        ContentRow& content = m_doc.GetRow(row);
        content.itemNumber = number;
        content.comment = QStringLiteral("comment %1").arg(number);
        for (int language : languages)
        {
            content.image1[language] = m_bmp;
            content.voice[language] = m_wav;
            content.description[language] =
                QStringLiteral("Work %1 in %2").arg(number).arg(language);
        }
    }

    void Control(const QByteArray& text) { TestSupport::WriteFile(m_control, text); }

    QList<RecordedRun> Runs() const { return TestSupport::Runs(m_records); }

    QString Folder(const QString& code) const
    {
        return m_convert + QStringLiteral("/output/contents/") + code;
    }

    // A data file an earlier run left in the language's folder.
    QString OldData(const QString& code) const
    {
        return Folder(code) + QStringLiteral("/C") + code.toUpper() + QStringLiteral("00009.bin");
    }
    void WriteOldData(const QStringList& codes)
    {
        for (const QString& code : codes)
            TestSupport::WriteFile(OldData(code), "old");
    }

    QString m_project, m_convert, m_media, m_bmp, m_wav, m_records, m_control, m_tools, m_start;
    RecordingMessages m_messages;
    CTOVKContEditDoc m_doc;
};
} // namespace OutputFixture
