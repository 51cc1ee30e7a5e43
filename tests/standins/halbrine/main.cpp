// Stand-in title replacer. Called as
//   halbrine -i <screen bitmap> -o <output folder> -lang <code> -bin <tool folder>
// When -i is an uncompressed 256 x 192 bitmap of 8 bits per pixel it writes
// R<code>000.BIN into the output folder (the code, then the bitmap's pixel bytes) and
// returns 0; otherwise it writes nothing and returns 2.
//
// Environment:
//   HALBRINE_CONTROL  control file (default: "halbrine.control" beside the program). One
//                     command a line, optionally prefixed by "[xx] " to apply only to
//                     language code xx:
//                       sleep <ms>   wait before the work
//                       nofile       write no title data file
//                       exit <code>  end with that code after the work
//                       crash        end by a signal before the work
//                     and the misbehaviours every stand-in knows (StandinSupport.h)
//   HALBRINE_RECORD   folder; each run adds run-<n>.txt ("cwd\t...", then "arg\t..." per
//                     argument) and run-<n>.bmp (a copy of the -i file).
#include "standins/common/StandinSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <QtEndian>
#include <csignal>
#include <cstdlib>

namespace
{
using Standin::Argument;

void Record(const QStringList& args, const QString& input)
{
    const QString record = Standin::NextRunRecord("HALBRINE_RECORD");
    if (record.isEmpty())
        return;
    Standin::CopyWhole(input, record + QStringLiteral(".bmp"));
    Standin::WriteRecord(record, Standin::CallLines(args));
}

// The pixel bytes of a 256 x 192, 8-bit, uncompressed bitmap; empty for anything else.
QByteArray ScreenPixels(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 54 || !bytes.startsWith("BM"))
        return {};
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
    const quint32 offset = u32(10);
    if (qint32(u32(18)) != 256 || qint32(u32(22)) != 192 || u16(28) != 8 || u32(30) != 0 ||
        offset > quint32(bytes.size()) || bytes.size() - offset < 256 * 192)
        return {};
    return bytes.mid(offset, 256 * 192);
}

QStringList Commands(const QString& code)
{
    QStringList active;
    const QString fallback =
        QCoreApplication::applicationDirPath() + QStringLiteral("/halbrine.control");
    for (QString line : Standin::ControlLines("HALBRINE_CONTROL", fallback))
    {
        line = line.trimmed();
        if (line.startsWith(u'['))
        {
            const qsizetype close = line.indexOf(u']');
            if (close < 0 || line.mid(1, close - 1).compare(code, Qt::CaseInsensitive) != 0)
                continue;
            line = line.mid(close + 1).trimmed();
        }
        if (!line.isEmpty())
            active << line;
    }
    return active;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString input = Argument(args, QStringLiteral("-i"));
    const QString outFolder = Argument(args, QStringLiteral("-o"));
    const QString code = Argument(args, QStringLiteral("-lang"));
    Record(args, input);

    bool file = true;
    int exitCode = 0;
    for (const QString& line : Commands(code))
    {
        if (Standin::Misbehave(line))
            continue;
        if (line.startsWith(QStringLiteral("sleep ")))
            QThread::msleep(line.mid(6).toULong());
        else if (line == QStringLiteral("nofile"))
            file = false;
        else if (line.startsWith(QStringLiteral("exit ")))
            exitCode = line.mid(5).toInt();
        else if (line == QStringLiteral("crash"))
            std::raise(SIGKILL);
    }

    const QByteArray pixels = ScreenPixels(input);
    if (pixels.isEmpty())
        return 2;
    if (file)
    {
        if (!Standin::WriteWhole(outFolder + QStringLiteral("/R") + code +
                                     QStringLiteral("000.BIN"),
                                 code.toLatin1() + pixels))
            return Standin::WriteFailedExitCode;
    }
    return Standin::ExitCode(exitCode);
}
