#pragma once
// The per-user profile of a program (sections of named values, the recent-file list),
// kept in $XDG_CONFIG_HOME/Quorvane/<application title>.ini. Every write is saved at once
// and atomically.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class QSettings;

class Profile
{
public:
    explicit Profile(const QString& applicationTitle);
    ~Profile();
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;

    // The INI file behind the profile of this title.
    static QString FilePath(const QString& applicationTitle);
    QString FilePath() const;

    QString GetString(const QString& section, const QString& key,
                      const QString& defaultValue = QString()) const;
    bool WriteString(const QString& section, const QString& key, const QString& value);
    // A value that is missing or not a whole number gives the default.
    int GetInt(const QString& section, const QString& key, int defaultValue) const;
    bool WriteInt(const QString& section, const QString& key, int value);
    // Empty when missing.
    QByteArray GetBinary(const QString& section, const QString& key) const;
    bool WriteBinary(const QString& section, const QString& key, const QByteArray& value);
    bool Contains(const QString& section, const QString& key) const;
    bool RemoveValue(const QString& section, const QString& key);
    bool RemoveSection(const QString& section);

private:
    bool Save();

    QString m_path;
    std::unique_ptr<QSettings> m_settings;
};

// The recent-file list: most recent first, at most `size` entries, kept in section
// "Recent File List" as "File1".."FileN".
class RecentFileList
{
public:
    RecentFileList(Profile& profile, int size);

    // Puts the path at the top (an entry naming the same file moves up instead of doubling).
    void Add(const QString& path);
    void Remove(int index);
    const QStringList& Items() const { return m_items; }
    int Size() const { return m_size; }

    void Load();
    void Save();

private:
    Profile& m_profile;
    int m_size;
    QStringList m_items;
};
