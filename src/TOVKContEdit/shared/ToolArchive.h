#pragma once
// The converter's auxiliary files, carried by the editors as one scrambled archive and
// unpacked into the user's temporary folder while an editor runs.
#include <QByteArrayView>
#include <QString>
#include <array>
#include <cstddef>

// Relative paths below the tool folder, in archive order.
extern const std::array<const char*, 10> ToolFileTable;
// Its two subfolders, made in this order.
extern const std::array<const char*, 2> ToolSubfolderTable;

// "VantiloqTools" in the private temporary folder; empty when there is none.
QString ToolFolderPath();

// Unpacks the archive: a sequence of records (u32 little-endian length, scrambled bytes),
// one per ToolFileTable entry. A file that exists with its record's length is kept; any
// other is written anew under a temporary name and renamed. toolFolder is set only when
// every step succeeded. A record running past the end of the archive stops the call.
bool ExtractTools(QByteArrayView archive, QString& toolFolder);
// The same into a given folder (tests, the archive builder's check).
bool ExtractToolsInto(QByteArrayView archive, const QString& folder, QString& toolFolder);

// Removes the ten files and the three folders; what cannot be removed stays. Nothing for
// an empty string.
void RemoveTools(const QString& toolFolder);

// The archive compiled into the program (generated source).
const unsigned char* ToolArchiveData();
std::size_t ToolArchiveSize();
inline QByteArrayView ToolArchive()
{
    return QByteArrayView(ToolArchiveData(), static_cast<qsizetype>(ToolArchiveSize()));
}
