#pragma once
// The folder tree of a project below the folder of its project file, and the removal of
// the bind tool's earlier output from it. Neither reports anything.
#include <QString>

// Creates whatever is missing of convert/{input/{bmp,wav,xml},output/{contents,query,title,
// SD}}; folders that exist in another letter case are used as they are.
void CreateProjectFolders(const QString& projectFilePath);

// Removes the "TZM*" folders (and the files in them) that the bind tool left in the card
// tree's application folder.
void CleanOutputFolders(const QString& projectFilePath);
// True when the card tree's application folder holds a "TZM*" folder of the bind tool.
bool HasCardOutput(const QString& projectFilePath);
