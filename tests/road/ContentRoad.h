#pragma once
// The content editor's steps as a person takes them, shared by the editor's own road and
// the hub's road (which starts the editor from its data-creation page).
#include "road/RoadHarness.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace ContentRoad
{
struct Work
{
    int number = 0;
    QString comment;
    QString japanese; // descriptions
    QString english;
    QString image1[2]; // per language: Japanese, English
    QString image2[2];
    QString voice[2];
};

// Two works whose pictures and voices are written below the convert folder's input folders.
std::vector<Work> SampleWorks(const QString& convertFolder);

// The add dialog from the tool bar, filled in for both languages and confirmed; a shot of
// the filled dialog when a name is given.
void AddWork(const Road::Session& editor, const Work& work, const QString& shot);

// Save through the tool bar; a table without a file name asks for one, else it is saved
// under the name it has (path).
void Save(const Road::Session& editor, const QString& path, bool asks, const QString& shot);

// The About box from the tool bar (command id given), pictured and closed.
void About(const Road::Session& program, const QString& command, const QString& shot);

// File, Exit from the menu.
void Close(const Road::Session& editor);

// A content file (saved, or handed to the converter) holds one record per work and language
// with what was entered.
void ExpectRecords(const QString& xml, const std::vector<Work>& works,
                   const std::vector<int>& languages, bool converterInput);

// Output of all languages through the converter; returns the texts of the messages shown
// (the question, then the result).
QStringList Output(const Road::Session& editor, const QString& shot);
} // namespace ContentRoad
