#pragma once
// The one check of a picture or voice file named in a content cell.
#include <QHash>
#include <QString>
#include <array>
#include <functional>

// column is a ContentColumn: 4 and 5 check a guide picture, 6 a voice; any other column
// passes. With showMessages each failure is shown in a message box.
bool ValidateContentFile(const QString& path, int column, bool showMessages);

// The two checks on their own.
bool ValidateGuideImageFile(const QString& path, int pictureNumber, bool showMessages);
bool ValidateVoiceFile(const QString& path, bool showMessages);

// The verdicts of the file checks of one Output run: a picture or voice file that many rows
// and languages name is read and judged once. A verdict is kept under the check, the path,
// the file's size and its modification time, so a file that changes during the run is
// judged again; a file whose size and time cannot be read is judged every time.
class CFileVerdicts
{
public:
    enum Check
    {
        GuidePicture,
        Voice,
    };

    // The kept verdict of the check on the file, else judge()'s, which is then kept.
    bool Judge(Check check, const QString& path, const std::function<bool()>& judge);
    qsizetype Count() const { return m_verdicts[GuidePicture].size() + m_verdicts[Voice].size(); }

private:
    struct Verdict
    {
        qint64 size = -1;
        qint64 modified = 0;
        bool passed = false;
    };
    // Per check, by path: the verdict on the file as it was when judged.
    std::array<QHash<QString, Verdict>, 2> m_verdicts;
};
