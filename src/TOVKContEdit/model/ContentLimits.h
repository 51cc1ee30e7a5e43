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

// A description's line breaks: CR LF, a lone CR, a lone LF, U+2028 and U+2029 each end a
// line, wherever the text came from (typed, pasted, read from a content file).
bool IsLineBreak(char16_t c);
// The text with every line break written CR LF: the form the table and the file hold, and
// the one every measure runs on.
QString NormalizeLineBreaks(const QString& text);
// The lines of a description (an empty text is one empty line).
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
DescriptionMeasure MeasureDescription(int language, const QString& text);

// How a character is shown in a message: a blank for one that the edit control would
// insert invisibly.
QChar ShownCharacter(char16_t c);
// The first character of the text (LF and CR skipped) that the fonts cannot show, as its
// code point (a surrogate pair is one character; a lone surrogate stands for itself).
std::optional<char32_t> FirstUnsupportedCharacter(const QString& text);
// How a row finding names a character: "[c]0x00E9", "[c]U+1F600" beyond the basic plane;
// a control character, a format character or a separator by its code alone ("0x0009").
QString DescribeCharacter(char32_t c);

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
