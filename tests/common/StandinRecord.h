#pragma once
// The records the tool stand-ins leave: run-<n>.txt with lines "<key>\t<value>" and, for a
// tool given an input file, the copy run-<n>.xml.
#include "common/TestSupport.h"

#include <QFileInfo>
#include <QList>
#include <QStringList>

namespace TestSupport
{
// One recorded run of a stand-in: its current folder, arguments, the files it opened and
// those it could not find, and its input file.
struct RecordedRun
{
    QString cwd;
    QStringList args;
    QStringList opened;
    QStringList missing;
    QByteArray input;
    QString Arg(const QString& option) const
    {
        const qsizetype at = args.indexOf(option);
        return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : QString();
    }
};

// The values of the lines "<key>\t<value>" of one record file.
inline QStringList RecordValues(const QString& recordFile, const QString& key)
{
    QStringList values;
    const QString text = QString::fromUtf8(ReadFile(recordFile));
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
    {
        if (line.startsWith(key + u'\t'))
            values << line.mid(key.size() + 1);
    }
    return values;
}

inline QList<RecordedRun> Runs(const QString& recordFolder)
{
    QList<RecordedRun> runs;
    for (int n = 1; QFileInfo::exists(recordFolder + QStringLiteral("/run-%1.txt").arg(n)); ++n)
    {
        RecordedRun run;
        const QString text =
            QString::fromUtf8(ReadFile(recordFolder + QStringLiteral("/run-%1.txt").arg(n)));
        for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
        {
            const QString value = line.section(u'\t', 1);
            if (line.startsWith(QStringLiteral("cwd\t")))
                run.cwd = value;
            else if (line.startsWith(QStringLiteral("arg\t")))
                run.args << value;
            else if (line.startsWith(QStringLiteral("opened\t")))
                run.opened << value;
            else if (line.startsWith(QStringLiteral("missing\t")))
                run.missing << value;
        }
        run.input = ReadFile(recordFolder + QStringLiteral("/run-%1.xml").arg(n));
        runs << run;
    }
    return runs;
}
} // namespace TestSupport
