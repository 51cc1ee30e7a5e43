#pragma once
// Keeping what an earlier run wrote into a folder until a new run has replaced it: the
// entries of the folder that the run writes are moved (renamed, so they stay on the same
// file system and whole) into a hidden folder beside it, ".<name>.previous". Once the new
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
    ~SetAside(); // Restore, unless the run was discarded or restored already
    SetAside(const SetAside&) = delete;
    SetAside& operator=(const SetAside&) = delete;

    // Puts back what a run that never ended left aside; true when nothing is left aside.
    bool Recover();
    // Recover, then moves the folder's entries aside. False, with every entry where it was
    // and `error` telling why, when one of them cannot be moved.
    bool Move(QString* error = nullptr);
    // The run went through: the held entries go.
    void Discard();
    // The run failed: its entries go, the held ones come back. False when some stay held
    // (the next Recover tries again).
    bool Restore();

    // The folders beside the folder, by the state they mark.
    QString HoldingFolder() const;   // the entries are all aside
    QString MovingFolder() const;    // moving aside: the rest are still in the folder
    QString RestoringFolder() const; // putting back: the run's entries are gone already
    QString DiscardFolder() const;   // what is being removed

private:
    QString Folder() const;
    QString Beside(const char* state) const;
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
