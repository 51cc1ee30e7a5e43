#pragma once
// Keeping what an earlier run wrote into a folder until a new run has replaced it: the
// entries of the folder that the run writes are moved (renamed, so they stay on the same
// file system and whole) into a hidden folder beside it, ".<name>.aside". Once the new
// run went through they are dropped; when it did not, the new run's entries go and the held
// ones come back. Each step is a rename that a crash cannot split, so Recover, at the next
// run, always finds either the old entries or a holding folder it can put back. Links and
// entries of other kinds are never moved or removed.
#include <QString>
#include <QStringList>

class SetAside
{
public:
    enum class Kind
    {
        Folders, // real folders whose name matches a pattern
        Files,   // regular files whose name matches a pattern
    };

    // `patterns`: wildcard patterns of the run's entries (case ignored, as Path::Find).
    SetAside(const QString& folder, QStringList patterns, Kind kind);
    // The files of the folder that match the pattern.
    SetAside(const QString& folder, const QString& pattern);
    ~SetAside(); // Restore, unless the run was discarded or restored already
    SetAside(const SetAside&) = delete;
    SetAside& operator=(const SetAside&) = delete;

    // Puts back what a run that never ended left aside, and removes what someone else put at
    // the hidden names (never followed); true when nothing is left aside. Before Move.
    bool Recover();
    static void Recover(const QString& folder, const QString& pattern);
    // Moves the folder's entries aside. False, with every entry where it was and `error`
    // telling why, when one of them cannot be moved or a hidden name is taken.
    bool Move(QString* error = nullptr);
    // The run went through: the held entries go.
    void Discard();
    // The run failed: its entries go, the held ones come back. False when some stay held
    // (the next Recover tries again).
    bool Restore();

    // The folders beside the folder, by the state they mark.
    static QString AsideFolderOf(const QString& folder); // the entries are all aside
    QString HoldingFolder() const { return AsideFolderOf(m_folder); }
    QString MovingFolder() const;    // moving aside: the rest are still in the folder
    QString RestoringFolder() const; // putting back: the run's entries are gone already
    QString DiscardFolder() const;   // what is being removed

private:
    QStringList Entries(const QString& folder) const;
    // Moves the folder's entries into the discard folder, then removes that.
    bool DiscardRunEntries();
    // The run's entries go, the held ones come back.
    bool PutHeldBack();
    // Moves every entry of `from` into the folder, then removes `from`.
    bool MoveBack(const QString& from);
    void RemoveDiscard();

    QString m_folder;
    QStringList m_patterns;
    Kind m_kind;
    bool m_begun = false;
};
