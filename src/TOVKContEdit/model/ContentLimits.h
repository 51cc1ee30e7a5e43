#pragma once
// The handheld's limits on a description: lines, characters, pixels per line in the
// language's font, and the characters the fonts can show.
#include <QString>
#include <QStringList>
#include <optional>

constexpr int MaxDescriptionLines = 4;
constexpr int MaxDescriptionCharacters = 70; // a line break counts as 2
constexpr int MaxDescriptionPixels = 224;    // per line, in the language's font
// The unsupported-character list stops once it holds more than this many entries.
constexpr int MaxListedUnsupportedCharacters = 25;

// The 17 code units that an edit control can insert without showing them.
extern const char16_t UnicodeControlCharTable[17];
bool IsUnicodeControlChar(char16_t c);

// True only for a text of length 0 (a text of blanks is not empty).
bool IsEmptyText(const QString& text);

bool IsSupportedCharacter(char16_t c);
// Sum of the glyph widths of the language's font over the text, LF and CR left out.
int GetTextPixelWidth(int language, const QString& text);

// The lines of a description as its edit control holds them (breaks are CR LF; an empty
// text is one empty line).
QStringList SplitDescriptionLines(const QString& text);

struct DescriptionMeasure
{
    int lines = 0;
    int characters = 0; // line lengths plus 2 per line break
    // Pixels of each of the first four lines.
    QList<int> pixels;
    // "over %d lines" and "over %d character(s)" joined by ", "; empty when both fit.
    QString linesText;
    // One text line per measured line ("over %d pixel(s)" or empty), each ended by "\n".
    QString pixelText;
    bool overLimit = false;
};

DescriptionMeasure MeasureDescription(int language, const QStringList& lines);
// The measure of a stored description (CR LF breaks).
DescriptionMeasure MeasureDescription(int language, const QString& text);

// How a character is shown in a message: a blank for one that the edit control would
// insert invisibly.
QChar ShownCharacter(char16_t c);
// The first code unit of the text (LF and CR skipped) that the fonts cannot show.
std::optional<char16_t> FirstUnsupportedCharacter(const QString& text);

// The entries of message 147 for the characters of the text that the fonts cannot show,
// concatenated; at most MaxListedUnsupportedCharacters + 1 entries. Empty when all fit.
QString CollectUnsupportedCharacters(int language, const QString& text);
// False when the text holds an unsupported character; with showMessages the list is shown
// in one message box.
bool CheckSupportedCharacters(int language, const QString& text, bool showMessages);

// The add dialog's description check of one language, first failure only, each with its
// message: empty (133), unsupported characters (the 147 list), over the limits (162).
bool CheckDescription(int language, const QString& text, bool overLimit);

// The language's name from the string table.
QString LanguageName(int language);
