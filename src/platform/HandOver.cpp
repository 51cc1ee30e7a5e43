#include "platform/HandOver.h"

#include "platform/PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <unistd.h>

namespace
{
const QString KeyName = QStringLiteral("KPVantiloq");

QString KeyFile()
{
    const QString folder = HandOver::Folder();
    return folder.isEmpty() ? QString() : folder + u'/' + KeyName + QStringLiteral(".ini");
}

bool Write(const QString& name, const QString& value)
{
    const QString file = KeyFile();
    if (file.isEmpty() || name.isEmpty())
        return false;
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(name, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}
} // namespace

QString HandOver::Folder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir())
    {
        const QString folder = QDir::cleanPath(runtime) + QStringLiteral("/Quorvane");
        return MakePrivateFolder(folder) ? folder : QString();
    }
    const QString folder = QStringLiteral("/tmp/Quorvane-") + QString::number(getuid());
    return MakePrivateFolder(folder) ? folder : QString();
}

bool HandOver::SetValue(const QString& name, const QString& value)
{
    return Write(name, value);
}

bool HandOver::ClearValue(const QString& name)
{
    return Write(name, QString());
}

bool HandOver::ReadValue(const QString& name, QString& value)
{
    const QString file = KeyFile();
    if (file.isEmpty() || name.isEmpty() || !QFileInfo(file).isFile())
        return false;
    QSettings settings(file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError || !settings.contains(name))
        return false;
    QString text = settings.value(name).toString();
    // The reader's buffer ends the text at its first zero and cannot take a longer value.
    const qsizetype zero = text.indexOf(QChar(0));
    if (zero >= 0)
        text.truncate(zero);
    if (text.size() > MaxValueLength)
        return false;
    value = text;
    return true;
}

QString HandOver::GetValue(const QString& name)
{
    QString value;
    return ReadValue(name, value) ? value : QString();
}
