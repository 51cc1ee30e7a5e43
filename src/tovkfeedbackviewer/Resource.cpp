#include "tovkfeedbackviewer/Resource.h"

namespace
{
struct Entry
{
    unsigned id;
    const char* text;
};

constexpr Entry kStrings[] = {
    {IDS_JAPANESE, "Japanese"},
    {IDS_ENGLISH, "English"},
    {IDS_FRENCH, "French"},
    {IDS_GERMAN, "German"},
    {IDS_ITALIAN, "Italian"},
    {IDS_SPANISH, "Spanish"},
    {IDS_CHINESE, "Chinese"},
    {IDS_KOREAN, "Korean"},
    {IDS_DUTCH, "Dutch"},
    {IDS_SAKUHIN_NO, "Sakuhin No."},
    {IDS_CONVERSION_ERROR, "Conversion error"},
    {IDS_DATE, "Date"},
    {IDS_TIME, "Time"},
    {IDS_MAC, "MAC"},
    {IDS_LANGUAGE, "Language"},
    {IDS_GUIDE_NO, "Guide No."},
    {IDS_INFO, "Info"},
    {IDS_NO_DATA, "There is no data."},
    {IDS_WRITE_ERROR, "Write error."},
    {IDS_UNKNOWN_OPTION, "Unknown option: %1"},
    {IDS_FOLDER_IN_USE, "The folder %1 is in use by another TOVKFeedbackViewer."},
};
} // namespace

QString LoadViewerString(unsigned id)
{
    for (const Entry& entry : kStrings)
    {
        if (entry.id == id)
            return QString::fromLatin1(entry.text);
    }
    return QString();
}
