#include "standins/common/StandinSupport.h"

#include <QDir>
#include <QFile>
#include <cstring>

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

bool WriteRecord(const QString& record, const QByteArray& text)
{
    QFile out(record + QStringLiteral(".txt"));
    return out.open(QIODevice::WriteOnly) && out.write(text) == text.size();
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
} // namespace Standin
