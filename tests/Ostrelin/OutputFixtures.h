#pragma once
// Builders for the output tests: title pictures, a temporary AppFolder whose bin folder
// holds the stand-ins of the title replacer and the bind tool, and their records.
#include "Ostrelin/ContentFixtures.h"
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/model/OutputRun.h"
#include "bmp2vcx/BmpFixture.h"
#include "common/FakeProgress.h"
#include "common/StandinRecord.h"
#include "common/TestSupport.h"
#include "platform/Messages.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <functional>

namespace OutputFixtures
{
// A 256 x 64 title of 8 bits per pixel whose pixel (x, y) has colour index(x, y) of the
// palette.
inline QByteArray TitleBmp(const QList<QRgb>& palette, std::function<unsigned(int, int)> index,
                           int bitsPerPixel = 8, int height = 64)
{
    BmpFixture::Spec spec;
    spec.width = 256;
    spec.height = height;
    spec.bitsPerPixel = bitsPerPixel;
    spec.colours = palette;
    spec.pixel = std::move(index);
    return BmpFixture::Make(spec);
}

// A title in two colours: white left half, red right half.
inline QByteArray TwoColourTitle()
{
    return TitleBmp({qRgb(255, 255, 255), qRgb(200, 0, 0)},
                    [](int x, int) { return x < 128 ? 0u : 1u; });
}

// Runs the output and tells its message as the output page does; true when the run did not go
// through.
inline bool Stopped(COutputRun& run)
{
    const COutputRun::Outcome outcome = run.RunOutput();
    if (!outcome.message.isEmpty())
        AfxMessageBox(outcome.message, outcome.flags);
    return outcome.result != COutputRun::Outcome::Done;
}

// Where the bind tool writes the card's application tree, below the project folder.
inline const QString kCardApp = QStringLiteral("/convert/output/SD/private/kp/app/6D2E7A10");

// The files written for the bind tool, below the project folder.
inline QString InputXml(const QString& project, const char* name)
{
    return project + QStringLiteral("/convert/input/xml/") + QString::fromLatin1(name);
}

// Japanese and English guide with two works, a content and a program server, and an
// English title.
inline void FillProject(COstrelinDoc& doc, const QString& project)
{
    CBindData& data = doc.GetBindData();
    data.m_nDisplayLanguage = 1;
    data.m_wGuideLanguages = 0x0003;
    for (int w = 1; w <= 2; ++w)
    {
        ContentFixtures::WriteWork(project, QStringLiteral("JP"), w, quint32(w * 10), "j");
        ContentFixtures::WriteWork(project, QStringLiteral("EN"), w, quint32(w * 10), "e");
        data.AddWork(w, w * 10, QStringLiteral("w"), 0x0003);
        data.AddGuide(w, w * 10);
    }
    data.AddServer(QStringLiteral("P0001"));
    data.AddServer(QStringLiteral("A0001"));
    CServer& contents = *data.FindServer(QStringLiteral("A0001"));
    contents.m_nRole = RoleContents;
    contents.m_nChannel = 7;
    contents.m_setGuides = {1, 2};
    data.m_wTitleLanguages = 0x0002;
    data.m_strTitleImage[1] = TestSupport::WriteFile(
        TestSupport::NewFolder(QStringLiteral("pictures")) + QStringLiteral("/en.bmp"),
        TwoColourTitle());
}

// AppFolder with bin/<tool> linked to the built stand-ins.
inline QString MakeAppFolder(const QStringList& tools)
{
    const QString app = TestSupport::NewFolder(QStringLiteral("app"));
    QDir().mkpath(app + QStringLiteral("/bin"));
    for (const QString& tool : tools)
        QFile::link(TestSupport::StandinFolder() + u'/' + tool,
                    app + QStringLiteral("/bin/") + tool);
    return app;
}

using TestSupport::RecordedRun;
using TestSupport::Runs;

using FakeProgress = TestSupport::FakeProgress;
} // namespace OutputFixtures
