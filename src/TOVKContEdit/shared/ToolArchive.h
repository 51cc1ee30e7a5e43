#pragma once
// The converter's auxiliary files, carried by the editors as one scrambled archive and
// unpacked into the user's temporary folder while an editor runs.
#include "TOVKContEdit/shared/ToolFileTable.h"
#include "platform/FileLock.h"

#include <QByteArrayView>
#include <QString>
#include <cstddef>

// "VantiloqTools" in the private temporary folder; empty when there is none.
QString ToolFolderPath();

// Unpacks the archive: a sequence of records (u32 little-endian length, scrambled bytes),
// one per ToolFileTable entry. A file that exists with its record's length is kept; any
// other is written anew under a temporary name and renamed. toolFolder is set only when
// every step succeeded. A record running past the end of the archive stops the call.
bool ExtractTools(QByteArrayView archive, QString& toolFolder);
// The same into a given folder (tests, the archive builder's check).
bool ExtractToolsInto(QByteArrayView archive, const QString& folder, QString& toolFolder);

// Removes the ten files, the marker and the three folders, but only when no running
// program holds the folder (the marker's lock can be taken exclusively); otherwise the
// files stay for the last program out. What cannot be removed stays. Nothing for an empty
// string. A program releases its own hold first.
void RemoveTools(const QString& toolFolder);

// The marker file in the tool folder that each program using the folder holds a shared
// lock on.
extern const char* const ToolFolderMarker;

// A running program's hold on the shared tool folder: a shared lock on the marker file,
// kept until Release or the end of the hold.
class ToolFolderHold
{
public:
    ToolFolderHold() = default;
    ~ToolFolderHold();
    ToolFolderHold(const ToolFolderHold&) = delete;
    ToolFolderHold& operator=(const ToolFolderHold&) = delete;

    // Makes the folder if needed and holds it. Holding it already is kept as long as the
    // marker is still the one locked; a marker removed meanwhile is made and locked anew.
    bool Acquire(const QString& folder);
    void Release();
    bool IsHeld() const { return m_marker.IsOpen(); }

private:
    FileLock m_marker;
    QString m_folder;
};

// A program's unpacking: holds the shared ToolFolder, then unpacks the archive compiled into
// the program where files are missing. True when every file is there; toolFolder is set
// only then. A folder that cannot be held is not unpacked into (another program's exit
// could remove the files while they are used), and toolFolder stays as it was.
bool UnpackTools(ToolFolderHold& hold, QString& toolFolder);

// The archive compiled into the program (generated source).
const unsigned char* ToolArchiveData();
std::size_t ToolArchiveSize();
inline QByteArrayView ToolArchive()
{
    return QByteArrayView(ToolArchiveData(), static_cast<qsizetype>(ToolArchiveSize()));
}
