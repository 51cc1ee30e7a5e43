// Stand-in bind tool. Called as
//   durnap -conf <KPGEditor_Conf.xml> -info <KPGEditor_Info.xml> -out <SD folder>
// It reads both files, checks that every strTitleImg and strResource names an existing
// file, and writes the card tree into <SD folder>/private/kp/app/6D2E7A10: TZM00000 with
// LANG.TXT (the base language, then the guide languages) and the title files, and one
// TZM<nnnnn> per server (n from 1) with SERVER.TXT (name, role, channel) and a copy of each
// data file of the server. Returns 0 when it wrote the whole tree, else 2: a named file is
// missing, a file does not load, or a folder or file of the tree cannot be written (the tree
// is written as far as it goes).
//
// Environment:
//   DURNAP_CONTROL  control file (default: "durnap.control" beside the program). Commands,
//                   one a line, run in order; the work runs where "work" stands, or first
//                   when no line says "work":
//                     sleep <ms>   wait
//                     work         write the card tree
//                     exit <code>  end here with that code
//                     crash        end here by a signal
//                   and the misbehaviours every stand-in knows (StandinSupport.h)
//   DURNAP_RECORD   folder; each run adds run-<n>.txt ("cwd\t...", "arg\t..." per argument,
//                   then "missing\t<path>" per named file that does not exist) and
//                   run-<n>-conf.xml and run-<n>-info.xml (copies of the two files).
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
const QString kAppFolder = QStringLiteral("/private/kp/app/6D2E7A10");

using Standin::Argument;

bool Load(const QString& path, QDomDocument& doc)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && doc.setContent(file.readAll());
}

QString Child(const QDomElement& item, const char* name)
{
    return item.firstChildElement(QString::fromLatin1(name)).text();
}

class Run
{
public:
    explicit Run(const QStringList& args)
        : m_conf(Argument(args, QStringLiteral("-conf"))),
          m_info(Argument(args, QStringLiteral("-info"))),
          m_out(Argument(args, QStringLiteral("-out")))
    {
        m_record = Standin::NextRunRecord("DURNAP_RECORD");
        if (m_record.isEmpty())
            return;
        Standin::CopyWhole(m_conf, m_record + QStringLiteral("-conf.xml"));
        Standin::CopyWhole(m_info, m_record + QStringLiteral("-info.xml"));
        Standin::WriteRecord(m_record, Standin::CallLines(args));
    }

    // The card tree; false when something was missing or could not be written.
    bool Work()
    {
        QDomDocument conf;
        QDomDocument info;
        if (!Load(m_conf, conf) || !Load(m_info, info))
            return false;
        const QString root = m_out + kAppFolder;
        const QString common = root + QStringLiteral("/TZM00000");
        bool complete = QDir().mkpath(common);
        QStringList languages;
        const QDomNodeList confItems =
            conf.documentElement().elementsByTagName(QStringLiteral("BindConfItem"));
        for (int i = 0; i < confItems.size(); ++i)
        {
            const QDomElement item = confItems.at(i).toElement();
            for (const char* name : {"strBaseLanguage", "strSupportLanguage"})
            {
                if (!Child(item, name).isEmpty())
                    languages << Child(item, name);
            }
            const QString title = Child(item, "strTitleImg");
            if (!title.isEmpty())
                complete = Copy(title, common) && complete;
        }
        complete = Write(common + QStringLiteral("/LANG.TXT"), languages.join(u'\n')) && complete;

        int server = 0;
        QString folder;
        const QDomNodeList infoItems =
            info.documentElement().elementsByTagName(QStringLiteral("BindInfoItem"));
        for (int i = 0; i < infoItems.size(); ++i)
        {
            const QDomElement item = infoItems.at(i).toElement();
            if (!Child(item, "strName").isEmpty())
            {
                folder = root + QStringLiteral("/TZM%1").arg(++server, 5, 10, QChar(u'0'));
                complete = QDir().mkpath(folder) &&
                           Write(folder + QStringLiteral("/SERVER.TXT"),
                                 QStringList{Child(item, "strName"), Child(item, "strRole"),
                                             Child(item, "nChannel")}
                                     .join(u'\n')) &&
                           complete;
            }
            const QString resource = Child(item, "strResource");
            if (!resource.isEmpty() && !folder.isEmpty())
                complete = Copy(resource, folder) && complete;
        }
        return complete;
    }

private:
    bool Copy(const QString& path, const QString& folder)
    {
        if (!QFileInfo(path).isFile())
        {
            Note(QStringLiteral("missing\t") + path + u'\n');
            return false;
        }
        const QString target = folder + u'/' + QFileInfo(path).fileName();
        return Standin::CopyWhole(path, target);
    }

    static bool Write(const QString& path, const QString& text)
    {
        return Standin::WriteWhole(path, text.toUtf8());
    }

    void Note(const QString& text)
    {
        if (m_record.isEmpty())
            return;
        Standin::WriteWhole(m_record + QStringLiteral(".txt"), text.toUtf8(), true);
    }

    QString m_conf;
    QString m_info;
    QString m_out;
    QString m_record;
};

QStringList Commands()
{
    QStringList commands;
    const QString fallback =
        QCoreApplication::applicationDirPath() + QStringLiteral("/durnap.control");
    for (const QString& line : Standin::ControlLines("DURNAP_CONTROL", fallback))
    {
        if (!line.trimmed().isEmpty())
            commands << line.trimmed();
    }
    if (!commands.contains(QStringLiteral("work")))
        commands.prepend(QStringLiteral("work"));
    return commands;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Run run(app.arguments());
    int result = 0;
    for (const QString& line : Commands())
    {
        if (Standin::Misbehave(line))
            continue;
        if (line == QStringLiteral("work"))
            result = run.Work() ? 0 : 2;
        else if (line.startsWith(QStringLiteral("sleep ")))
            QThread::msleep(line.mid(6).toULong());
        else if (line.startsWith(QStringLiteral("exit ")))
            return line.mid(5).toInt();
        else if (line == QStringLiteral("crash"))
            std::raise(SIGKILL);
    }
    return Standin::ExitCode(result);
}
