#pragma once
// Builders for the output tests: title pictures, a temporary AppFolder whose bin folder
// holds the stand-ins of the title replacer and the bind tool, and their records.
#include "Ostrelin/model/OutputProgress.h"
#include "bmp2vcx/BmpFixture.h"
#include "common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <vector>

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

// One recorded run of a stand-in: its current folder and arguments.
struct RecordedRun
{
    QString cwd;
    QStringList args;
    QStringList missing;
    QString Arg(const QString& option) const
    {
        const qsizetype at = args.indexOf(option);
        return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : QString();
    }
};

inline QList<RecordedRun> Runs(const QString& recordFolder)
{
    QList<RecordedRun> runs;
    for (int n = 1; QFile::exists(recordFolder + QStringLiteral("/run-%1.txt").arg(n)); ++n)
    {
        RecordedRun run;
        const QString text = QString::fromUtf8(
            TestSupport::ReadFile(recordFolder + QStringLiteral("/run-%1.txt").arg(n)));
        for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
        {
            const QString value = line.section(u'\t', 1);
            if (line.startsWith(QStringLiteral("cwd\t")))
                run.cwd = value;
            else if (line.startsWith(QStringLiteral("arg\t")))
                run.args << value;
            else if (line.startsWith(QStringLiteral("missing\t")))
                run.missing << value;
        }
        runs << run;
    }
    return runs;
}
// A progress dialog without a window: records the steps and raises its cancel flag when
// the test's condition holds at a pump.
class FakeProgress : public COutputProgress
{
public:
    void SetStep(int step) override { m_step = step; }
    int StepIt() override
    {
        PumpMessages();
        m_pos += m_step;
        steps.push_back(m_step);
        return m_pos;
    }
    void PumpMessages() override
    {
        ++pumps;
        if (!cancel && cancelWhen && cancelWhen())
            cancel = true;
    }
    bool IsCancelRequested() const override { return cancel; }
    int Complete() override
    {
        const int previous = m_pos;
        PumpMessages();
        completedFrom = previous;
        m_pos = 10000;
        return previous;
    }
    int Position() const { return m_pos; }
    int Count(int step) const { return int(std::count(steps.begin(), steps.end(), step)); }

    std::function<bool()> cancelWhen;
    bool cancel = false;
    int pumps = 0;
    int completedFrom = -1;
    std::vector<int> steps;

private:
    int m_step = 10;
    int m_pos = 0;
};
} // namespace OutputFixtures
