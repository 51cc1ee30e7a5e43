#pragma once
// The files a run replaces, moved aside into a hidden folder beside their folder until the
// run's new files are whole: kept (Discard) when the run succeeded, put back whole (Restore)
// when it failed in any way. The hidden folder lies on the same file system as the files,
// so every move is a rename and nothing is copied; a folder left by a run that was killed
// between the two is put back by Recover before the next run touches the folder.
#include <QString>

class SetAside
{
public:
    // For the files of `folder` whose names match `pattern` (Path::Find rules, files only).
    SetAside(QString folder, QString pattern);
    ~SetAside(); // a run that did not say how it ended failed: Restore
    SetAside(const SetAside&) = delete;
    SetAside& operator=(const SetAside&) = delete;

    // The hidden folder of a folder: "<parent>/.<name>.aside" beside its real place.
    static QString AsideFolderOf(const QString& folder);

    // Moves the matching files aside; the folder then holds none of them. False when the
    // hidden folder cannot be made or a file cannot be moved: the files moved so far are
    // back then, and nothing is held.
    bool Move();
    // The run failed: the matching files it wrote go, the old ones come back.
    void Restore();
    // The run succeeded: the old files go.
    void Discard();

    // Puts back what a run that ended without Restore or Discard left aside; finishes a
    // discard that was under way. To be called before the folder is used.
    static void Recover(const QString& folder, const QString& pattern);

private:
    QString m_folder;
    QString m_pattern;
    bool m_held = false;
};
