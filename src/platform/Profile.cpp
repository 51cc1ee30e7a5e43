#include "platform/Profile.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace
{
QString Key(const QString& section, const QString& key)
{
    return section + u'/' + key;
}

// A title may hold characters a file name cannot.
QString FileNameOf(const QString& title)
{
    QString name = title;
    name.replace(u'/', u'_');
    name.replace(u'\\', u'_');
    if (name.isEmpty() || name == u"." || name == u"..")
        name = QStringLiteral("_");
    return name;
}
} // namespace

QString Profile::FilePath(const QString& applicationTitle)
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base) + QStringLiteral("/Quorvane/") + FileNameOf(applicationTitle) +
           QStringLiteral(".ini");
}

Profile::Profile(const QString& applicationTitle)
    : m_path(FilePath(applicationTitle)),
      m_settings(std::make_unique<QSettings>(m_path, QSettings::IniFormat))
{
}

Profile::~Profile() = default;

QString Profile::FilePath() const
{
    return m_path;
}

bool Profile::Save()
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

QString Profile::GetString(const QString& section, const QString& key,
                           const QString& defaultValue) const
{
    const QVariant v = m_settings->value(Key(section, key));
    return v.isValid() ? v.toString() : defaultValue;
}

bool Profile::WriteString(const QString& section, const QString& key, const QString& value)
{
    m_settings->setValue(Key(section, key), value);
    return Save();
}

int Profile::GetInt(const QString& section, const QString& key, int defaultValue) const
{
    bool ok = false;
    const int v = m_settings->value(Key(section, key)).toString().trimmed().toInt(&ok);
    return ok ? v : defaultValue;
}

bool Profile::WriteInt(const QString& section, const QString& key, int value)
{
    m_settings->setValue(Key(section, key), value);
    return Save();
}

QByteArray Profile::GetBinary(const QString& section, const QString& key) const
{
    return m_settings->value(Key(section, key)).toByteArray();
}

bool Profile::WriteBinary(const QString& section, const QString& key, const QByteArray& value)
{
    m_settings->setValue(Key(section, key), value);
    return Save();
}

bool Profile::Contains(const QString& section, const QString& key) const
{
    return m_settings->contains(Key(section, key));
}

bool Profile::RemoveValue(const QString& section, const QString& key)
{
    m_settings->remove(Key(section, key));
    return Save();
}

bool Profile::RemoveSection(const QString& section)
{
    m_settings->remove(section);
    return Save();
}

namespace
{
const QString RecentSection = QStringLiteral("Recent File List");

QString EntryKey(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

QString Normal(const QString& path)
{
    return QDir::cleanPath(path);
}
} // namespace

RecentFileList::RecentFileList(Profile& profile, int size)
    : m_profile(profile), m_size(std::max(size, 0))
{
    Load();
}

void RecentFileList::Add(const QString& path)
{
    if (path.isEmpty() || m_size == 0)
        return;
    const QString normal = Normal(path);
    for (qsizetype i = 0; i < m_items.size(); ++i)
    {
        if (Normal(m_items[i]) == normal)
        {
            m_items.removeAt(i);
            break;
        }
    }
    m_items.prepend(path);
    while (m_items.size() > m_size)
        m_items.removeLast();
}

void RecentFileList::Remove(int index)
{
    if (index >= 0 && index < m_items.size())
        m_items.removeAt(index);
}

void RecentFileList::Load()
{
    m_items.clear();
    for (int i = 0; i < m_size; ++i)
    {
        const QString path = m_profile.GetString(RecentSection, EntryKey(i));
        if (!path.isEmpty())
            m_items << path;
    }
}

void RecentFileList::Save()
{
    m_profile.RemoveSection(RecentSection);
    for (qsizetype i = 0; i < m_items.size(); ++i)
        m_profile.WriteString(RecentSection, EntryKey(int(i)), m_items[i]);
}
