#pragma once
// The description and note texts that the works lists of the pages and dialogs share.
#include <QString>

class CBindData;
class CGuideEntry;
class CWork;

// The work's description in the lowest language that is both a guide language and one of
// the work's languages; "" when there is none or no work.
QString WorkDescription(const CBindData& data, const CWork* work);

// Column 2 of a registration: the description when the entry is valid, else the note on
// the missing work or on the guide languages that the work lacks.
QString GuideEntryNote(const CBindData& data, const CGuideEntry& entry);

// A number as the lists show it ("%d").
QString NumberText(qint64 value);
