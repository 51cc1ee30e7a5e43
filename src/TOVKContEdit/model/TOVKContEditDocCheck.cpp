// The output check of one language, run before the language is converted.
#include "TOVKContEdit/model/ContentLimits.h"
#include "TOVKContEdit/model/ContentValidation.h"
#include "TOVKContEdit/model/TOVKContEditDoc.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/shared/ImageEx.h"
#include "platform/Messages.h"
#include "platform/Path.h"
#include "platform/Strings.h"

#include <unordered_set>

namespace
{
// More findings than this end the scan with "...".
constexpr int MaxOutputFindings = 25;

// A file check, through the run's verdicts when the Output keeps them.
bool Judged(CFileVerdicts* verdicts, CFileVerdicts::Check check, const QString& path,
            const std::function<bool()>& judge)
{
    return verdicts ? verdicts->Judge(check, path, judge) : judge();
}

void CheckPicture(CFileVerdicts* verdicts, const QString& path, int rowNumber, int picture,
                  QStringList& findings)
{
    if (path.isEmpty())
        return;
    if (!Path::FileExists(path))
        findings.append(FormatString(IDS_ROW_NO_IMAGE_FILE, {rowNumber, picture}));
    else if (!Judged(verdicts, CFileVerdicts::GuidePicture, path,
                     [&] { return ValidateGuideImageFile(path, picture, false); }))
        findings.append(
            FormatString(IDS_ROW_IMAGE_NOT_GUIDE_BITMAP,
                         {rowNumber, picture, CImageEx::GuideWidth, CImageEx::GuideHeight}));
}

// What the add dialog refuses but a row can still hold when it came from a file or a cell
// edit: a number outside the table's range, a description the handheld cannot show.
void CheckRowLimits(const ContentRow& row, int language, int rowNumber, QStringList& findings)
{
    if (row.itemNumber < 1 || row.itemNumber > MaxContentRows)
        findings.append(FormatString(IDS_ROW_ITEM_NUMBER_RANGE, {rowNumber, row.itemNumber}));
    const QString& description = row.description[language];
    const DescriptionMeasure measure = MeasureDescription(language, description);
    if (measure.overLimit)
    {
        QStringList over;
        if (!measure.linesText.isEmpty())
            over.append(measure.linesText);
        for (const QString& line : measure.pixelText.split(u'\n', Qt::SkipEmptyParts))
            over.append(line);
        findings.append(FormatString(IDS_ROW_DESCRIPTION_OVER_LIMITS,
                                     {rowNumber, over.join(QStringLiteral(", "))}));
    }
    if (const auto c = FirstUnsupportedCharacter(description))
        findings.append(
            FormatString(IDS_ROW_UNSUPPORTED_CHARACTER, {rowNumber, DescribeCharacter(*c)}));
}
} // namespace

bool CTOVKContEditDoc::CheckLanguage(int language, const std::function<bool()>& goOn)
{
    const int count = GetRowCount();
    if (count == 0)
    {
        AfxMessageBox(Strings::Load(IDS_NO_CONTENT), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    QStringList findings;
    std::unordered_set<int> numbers;
    for (int i = 0; i < count; ++i)
    {
        if (goOn && !goOn())
            return false;
        const ContentRow& row = GetRow(i);
        const int rowNumber = i + 1;
        if (!numbers.insert(row.itemNumber).second)
            findings.append(FormatString(IDS_ROW_ITEM_NUMBER_USED, {rowNumber, row.itemNumber}));
        CheckPicture(m_pFileVerdicts, row.image1[language], rowNumber, 1, findings);
        CheckPicture(m_pFileVerdicts, row.image2[language], rowNumber, 2, findings);
        const QString& voice = row.voice[language];
        if (!voice.isEmpty())
        {
            if (!Path::FileExists(voice))
                findings.append(FormatString(IDS_ROW_NO_VOICE_FILE, {rowNumber}));
            else if (!Judged(m_pFileVerdicts, CFileVerdicts::Voice, voice,
                             [&] { return ValidateVoiceFile(voice, false); }))
                findings.append(FormatString(IDS_ROW_VOICE_NOT_GUIDE_WAV, {rowNumber}));
        }
        if (row.image1[language].isEmpty() && !row.image2[language].isEmpty())
            findings.append(FormatString(IDS_ROW_NO_IMAGE1, {rowNumber}));
        if (voice.isEmpty())
            findings.append(FormatString(IDS_ROW_NO_VOICE, {rowNumber}));
        if (row.description[language].isEmpty())
            findings.append(FormatString(IDS_ROW_NO_DESCRIPTION, {rowNumber}));
        CheckRowLimits(row, language, rowNumber, findings);
        if (findings.size() > MaxOutputFindings)
        {
            findings.append(QStringLiteral("...\r\n"));
            break;
        }
    }
    if (findings.isEmpty())
        return true;
    AfxMessageBox(findings.join(QString()), MB_OK | MB_ICONEXCLAMATION);
    return false;
}
