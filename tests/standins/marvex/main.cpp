// Stand-in converter. Called as
//   marvex -i <content xml> -opath <output folder> -binpath <tool folder>
// It writes C<CODE><NNNNN>.bin per ContentInfo record into the output folder (work number
// as u32 at 0x0C, description as UTF-16LE at 0x24, at most 80 units), then follows its
// control file and records its call.
//
// Environment:
//   MARVEX_CONTROL  control file (default: "marvex.control" beside the program). One
//                   command a line, optionally prefixed by "[xx] " to apply only when the
//                   output folder's name is the language code xx:
//                     print <text>   a line on standard output
//                     sleep <ms>     wait
//                     exit <code>    stop here with that exit code (files already written stay)
//                     crash          stop here by a signal (files already written stay)
//                     nofiles        write no data files
//                     emptyfiles     write each data file empty (as an unchecked write to a
//                                    full disk leaves it), ending with 0
//                   and the misbehaviours every stand-in knows (StandinSupport.h)
//                   Without an exit command it ends with 0 when it wrote every data file it was
//                   asked for, else with 2 after printing "ABORTED!!"; with 3 when any other
//                   write (its report, its record) failed.
//   MARVEX_RECORD   folder; each run adds run-<n>.txt (cwd and arguments, one per line:
//                   "cwd\t...", "arg\t...") and run-<n>.xml (a copy of the input file).
#include "standins/common/StandinSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <csignal>

namespace
{
QString Unquote(const QString& text)
{
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        return text.mid(1, text.size() - 2);
    return text;
}

void Record(const QStringList& args, const QString& input)
{
    const QString record = Standin::NextRunRecord("MARVEX_RECORD");
    if (record.isEmpty())
        return;
    Standin::WriteRecord(record, Standin::CallLines(args));
    Standin::CopyWhole(input, record + QStringLiteral(".xml"));
}

bool WriteDataFiles(const QString& input, const QString& outFolder, const QString& code, bool empty)
{
    QFile file(input);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QDomDocument doc;
    if (!doc.setContent(&file))
        return false;
    const QDomNodeList infos =
        doc.documentElement().elementsByTagName(QStringLiteral("ContentInfo"));
    for (int i = 0; i < infos.size(); ++i)
    {
        const QDomElement info = infos.at(i).toElement();
        const quint32 work = info.firstChildElement(QStringLiteral("nProductNo")).text().toUInt();
        const QString text =
            Unquote(info.firstChildElement(QStringLiteral("strProductTxt")).text());
        const QByteArray bytes = empty ? QByteArray() : Standin::ContentDataFile(work, text);
        const QString name =
            QStringLiteral("C%1%2.bin").arg(code.toUpper()).arg(i + 1, 5, 10, QChar(u'0'));
        if (!Standin::WriteWhole(outFolder + u'/' + name, bytes))
            return false;
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString input = Standin::Argument(args, QStringLiteral("-i"));
    const QString outFolder = Standin::Argument(args, QStringLiteral("-opath"));
    const QString code = QFileInfo(outFolder).fileName().toLower();
    Record(args, input);

    const QStringList commands = Standin::ControlLines(
        "MARVEX_CONTROL", app.applicationDirPath() + QStringLiteral("/marvex.control"));

    bool files = true;
    bool empty = false;
    QStringList active;
    for (QString line : commands)
    {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.startsWith(u'['))
        {
            const qsizetype close = line.indexOf(u']');
            if (close < 0 || line.mid(1, close - 1).toLower() != code)
                continue;
            line = line.mid(close + 1).trimmed();
        }
        if (line == QStringLiteral("nofiles"))
            files = false;
        else if (line == QStringLiteral("emptyfiles"))
            empty = true;
        else if (!line.isEmpty())
            active << line;
    }

    const bool written = !files || WriteDataFiles(input, outFolder, code, empty);
    if (!written)
        Standin::PrintLine("Error : marvex : input = " + input.toLocal8Bit() + "\nABORTED!!");

    for (const QString& line : active)
    {
        if (Standin::Misbehave(line))
            continue;
        if (line.startsWith(QStringLiteral("print ")))
            Standin::PrintLine(line.mid(6).toLocal8Bit());
        else if (line.startsWith(QStringLiteral("sleep ")))
            QThread::msleep(line.mid(6).toULong());
        else if (line.startsWith(QStringLiteral("exit ")))
            return line.mid(5).toInt();
        else if (line == QStringLiteral("crash"))
            std::raise(SIGKILL);
    }
    return Standin::ExitCode(written ? 0 : 2);
}
