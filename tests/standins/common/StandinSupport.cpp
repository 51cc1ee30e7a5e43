#include "standins/common/StandinSupport.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace Standin
{
QString Argument(const QStringList& args, const QString& name)
{
    const qsizetype at = args.indexOf(name);
    return (at >= 0 && at + 1 < args.size()) ? args.at(at + 1) : QString();
}

QString NextRunRecord(const char* variable)
{
    const QString folder = qEnvironmentVariable(variable);
    if (folder.isEmpty())
        return {};
    QDir().mkpath(folder);
    int n = 1;
    while (QFile::exists(folder + QStringLiteral("/run-%1.txt").arg(n)))
        ++n;
    return folder + QStringLiteral("/run-%1").arg(n);
}

QByteArray CallLines(const QStringList& args)
{
    QByteArray text = "cwd\t" + QDir::currentPath().toUtf8() + "\n";
    for (const QString& a : args.mid(1))
        text += "arg\t" + a.toUtf8() + "\n";
    return text;
}

namespace
{
bool g_writeFailed = false;

bool Checked(bool done)
{
    g_writeFailed = g_writeFailed || !done;
    return done;
}
} // namespace

bool WriteWhole(const QString& path, const QByteArray& bytes, bool append)
{
    QFile out(path);
    if (!out.open(append ? QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate))
        return Checked(false);
    const bool written = out.write(bytes) == bytes.size() && out.flush();
    out.close();
    return Checked(written && out.error() == QFileDevice::NoError);
}

bool CopyWhole(const QString& from, const QString& to)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return Checked(false);
    const QByteArray bytes = in.readAll();
    return Checked(in.error() == QFileDevice::NoError) && WriteWhole(to, bytes);
}

bool PrintLine(const QByteArray& line)
{
    const QByteArray text = line + '\n';
    return Checked(std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout) ==
                       std::size_t(text.size()) &&
                   std::fflush(stdout) == 0);
}

int ExitCode(int code)
{
    return code == 0 && g_writeFailed ? WriteFailedExitCode : code;
}

bool WriteRecord(const QString& record, const QByteArray& text)
{
    return WriteWhole(record + QStringLiteral(".txt"), text);
}

QStringList ControlLines(const char* variable, const QString& defaultPath)
{
    QString path = qEnvironmentVariable(variable);
    if (path.isEmpty())
        path = defaultPath;
    QFile control(path);
    if (!control.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(control.readAll()).split(u'\n');
}

QByteArray ContentDataFile(quint32 work, const QString& text)
{
    QByteArray bytes(0xC4, '\0');
    std::memcpy(bytes.data(), "CBIN", 4);
    for (int b = 0; b < 4; ++b)
        bytes[0x0C + b] = char((work >> (8 * b)) & 0xFF);
    for (int u = 0; u < qMin<qsizetype>(80, text.size()); ++u)
    {
        bytes[0x24 + 2 * u] = char(text.at(u).unicode() & 0xFF);
        bytes[0x24 + 2 * u + 1] = char(text.at(u).unicode() >> 8);
    }
    return bytes;
}
bool Misbehave(const QString& line)
{
    if (line.startsWith(QStringLiteral("waitfor ")))
    {
        const QString path = line.mid(8);
        while (!QFile::exists(path))
            QThread::msleep(5);
        return true;
    }
    if (line == QStringLiteral("hang"))
    {
        for (;;)
            ::pause();
    }
    if (line.startsWith(QStringLiteral("pid ")))
    {
        WriteWhole(line.mid(4), QByteArray::number(qint64(::getpid())));
        return true;
    }
    if (line == QStringLiteral("ignoreterm"))
    {
        std::signal(SIGTERM, SIG_IGN);
        return true;
    }
    if (line.startsWith(QStringLiteral("helper ")))
    {
        const QByteArray path = QFile::encodeName(line.mid(7));
        if (::fork() == 0)
        {
            // Only what is safe after a fork in a program with threads.
            std::signal(SIGTERM, SIG_IGN);
            for (;;)
            {
                const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
                if (fd >= 0)
                {
                    [[maybe_unused]] const ssize_t n = ::write(fd, "x\n", 2);
                    ::close(fd);
                }
                ::usleep(20000);
            }
        }
        return true;
    }
    return false;
}
} // namespace Standin
