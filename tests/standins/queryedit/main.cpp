// Stand-in for an editor the hub starts: the questionnaire editor TOVKQueryEditJP, and
// (built as conteditstub) the content editor for the hub's tests. Called as
//   <program> -d <convert folder> [<xml file>]
// It records its call, follows its control file and exits: with 0 when it wrote every file
// it was asked for, else with 2 at the first file it could not write.
//
// Environment:
//   EDITORSTUB_CONTROL  control file (default: "<program>.control" beside the program). One
//                       command a line:
//                         query <code>                write output/query/E<CODE>000.bin
//                         content <code> <work> <text> write the language's next data file
//                                                     output/contents/<code>/C<CODE><nnnnn>.bin
//                                                     (work number at 0x0C, text at 0x24)
//                         save [<path>]               write the XML file (default: the one
//                                                     given, else input/xml/<default>) and
//                                                     put its full path in the hand-over value
//                         removetools                 remove the unpacked tool folder, as the
//                                                     content editor does at its exit (it
//                                                     stays while another program holds it)
//                         wipetools                   remove the tool folder whole, as a
//                                                     program that knows no hold would
//                         sleep <ms>                  wait
//                         exit <code>                 stop with that exit code
//                         crash                       end here by a signal
//                       and the misbehaviours every stand-in knows (StandinSupport.h)
//                       The questionnaire editor without a control file does what an
//                       author would in the demonstration: "query" for each language the
//                       content data files are in, then "save".
//   EDITORSTUB_RECORD   folder; each run adds run-<n>.txt ("program\t...", "cwd\t...",
//                       "arg\t..." lines).
#include "TOVKContEdit/shared/ToolArchive.h"
#include "platform/HandOver.h"
#include "standins/common/StandinSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThread>
#include <csignal>

namespace
{
void Record(const QStringList& args)
{
    const QString record = Standin::NextRunRecord("EDITORSTUB_RECORD");
    if (record.isEmpty())
        return;
    Standin::WriteRecord(record, "program\t" + QFileInfo(args.at(0)).fileName().toUtf8() + "\n" +
                                     Standin::CallLines(args));
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    return Standin::WriteWhole(path, bytes);
}

#ifdef QUORVANE_STUB_DEMO
QStringList DemonstrationCommands(const QString& convert)
{
    QStringList commands;
    const QDir contents(convert + QStringLiteral("/output/contents"));
    for (const QString& code : contents.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
    {
        const QStringList data =
            QDir(contents.filePath(code))
                .entryList({u'C' + code + QStringLiteral("?????.bin")}, QDir::Files);
        if (!data.isEmpty())
            commands << QStringLiteral("query ") + code;
    }
    commands << QStringLiteral("save");
    return commands;
}
#endif
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    Record(args);
    const qsizetype at = args.indexOf(QStringLiteral("-d"));
    const QString convert = (at >= 0 && at + 1 < args.size()) ? args.at(at + 1) : QString();
    const QString given = (at >= 0 && at + 2 < args.size()) ? args.at(at + 2) : QString();

    QStringList commands = Standin::ControlLines(
        "EDITORSTUB_CONTROL", app.applicationFilePath() + QStringLiteral(".control"));
#ifdef QUORVANE_STUB_DEMO
    // No lines at all means no control file; an empty one asks for nothing.
    if (commands.isEmpty())
        commands = DemonstrationCommands(convert);
#endif

    // The converter numbers the files of each language from 1.
    QHash<QString, int> fileNo;
    for (QString line : commands)
    {
        line = line.trimmed();
        const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        const QString& verb = words.at(0);
        if (verb == u"query" && words.size() >= 2)
        {
            const QString code = words.at(1).toUpper();
            if (!WriteBytes(convert + QStringLiteral("/output/query/E") + code +
                                QStringLiteral("000.bin"),
                            "EBIN"))
                return 2;
        }
        else if (verb == u"content" && words.size() >= 4)
        {
            const QString code = words.at(1).toUpper();
            const QString text = line.section(u' ', 3);
            if (!WriteBytes(convert + QStringLiteral("/output/contents/%1/C%1%2.bin")
                                          .arg(code)
                                          .arg(++fileNo[code], 5, 10, QChar(u'0')),
                            Standin::ContentDataFile(words.at(2).toUInt(), text)))
                return 2;
        }
        else if (verb == u"save")
        {
            QString path = words.size() >= 2 ? line.section(u' ', 1) : given;
            if (path.isEmpty())
                path = convert + QStringLiteral("/input/xml/" QUORVANE_STUB_DEFAULT_XML);
            path = QFileInfo(path).absoluteFilePath();
            if (!WriteBytes(path, "<?xml version=\"1.0\"?>\n<" QUORVANE_STUB_ROOT "/>\n"))
                return 2;
            HandOver::SetValue(QStringLiteral(QUORVANE_STUB_HANDOVER), path);
        }
        else if (verb == u"removetools")
            RemoveTools(ToolFolderPath());
        else if (verb == u"wipetools")
            QDir(ToolFolderPath()).removeRecursively();
        else if (verb == u"sleep" && words.size() >= 2)
            QThread::msleep(words.at(1).toULong());
        else if (Standin::Misbehave(line))
            continue;
        else if (verb == u"exit" && words.size() >= 2)
            return words.at(1).toInt();
        else if (verb == u"crash")
            std::raise(SIGKILL);
    }
    return Standin::ExitCode(0);
}
