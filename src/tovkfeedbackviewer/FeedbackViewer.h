#pragma once
// The viewer's run: folders, the scan and merge of the record files, reports, pages.
#include "platform/Path.h"

#include <QString>
#include <QStringList>

// Normalises the separators and creates the folder with its missing parents.
void MakeDirectory(const QString& path);
// Creates the folder after its parent, printing "Create <path>" for each one made; an
// existing entry (file or folder) is left alone. Throws ErrWrite when creation fails.
void CreateDirectoryTree(const QString& path);
// Merges every valid ".DAT" file of the folder into both merges, in name order; each file
// is read by the bytes of its name, whatever they are.
void ScanDatFolder(const Path::FolderReader& folder);

// The whole run on the program's arguments (program name first); the exit code.
int FeedbackViewerMain(const QStringList& arguments);
