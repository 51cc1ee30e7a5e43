#pragma once
// One work of the content table, and the codes that name its cells.
#include <QString>
#include <array>

constexpr int LanguageCount = 9;
// The most rows (and the highest item number) the table can hold.
constexpr int MaxContentRows = 10000;

// The content view's columns; also the cell argument of the setters and of the file check.
enum ContentColumn : int
{
    ColumnLanguage = 0,
    ColumnItemNumber = 1,
    ColumnComment = 2,
    ColumnImageNumber = 3,
    ColumnImage1 = 4,
    ColumnImage2 = 5,
    ColumnVoice = 6,
    ColumnDescription = 7,
};

using LanguageStrings = std::array<QString, LanguageCount>;

struct ContentRow
{
    int marked = 0;     // block-operation flag set by the view; pasted rows come in marked
    int language = 0;   // LanguageIndex kept with the row (not used by saving or output)
    int itemNumber = 0; // 1..10000, unique within the table
    int imageCount = 0;
    QString comment; // one per row, not per language
    LanguageStrings image1;
    LanguageStrings image2;
    LanguageStrings voice;
    LanguageStrings description; // line breaks are CR LF in memory
    int playing = 0;             // the row whose voice is being played

    // True when the row has an image, voice or description in that language.
    bool HasContent(int lang) const
    {
        return !image1[lang].isEmpty() || !image2[lang].isEmpty() || !voice[lang].isEmpty() ||
               !description[lang].isEmpty();
    }
};
