#include "TOVKContEdit/model/ContentValidation.h"

#include "TOVKContEdit/model/ContentRow.h"
#include "TOVKContEdit/model/WavePlayer.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/shared/ImageEx.h"
#include "platform/Messages.h"
#include "platform/Path.h"
#include "platform/Strings.h"

namespace
{
constexpr std::uint32_t MinVoiceRate = 15000;
constexpr std::uint32_t MaxVoiceRate = 17000;
constexpr std::uint32_t MaxVoiceBytes = 5242880; // exclusive

void Show(bool showMessages, const QString& text)
{
    if (showMessages)
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}
} // namespace

bool ValidateGuideImageFile(const QString& path, int pictureNumber, bool showMessages)
{
    const QString notGuide =
        showMessages ? FormatString(IDS_IMAGE_NOT_GUIDE_BITMAP,
                                    {CImageEx::GuideWidth, CImageEx::GuideHeight, pictureNumber})
                     : QString();
    CImageEx image;
    const bool loaded = image.LoadBmp(path);
    if (!loaded || image.GetWidth() != CImageEx::GuideWidth ||
        image.GetHeight() != CImageEx::GuideHeight || image.GetBPP() != 8)
    {
        Show(showMessages, notGuide);
        return false;
    }
    if (!Path::IsAbsoluteLocal(path))
    {
        Show(showMessages, FormatString(IDS_IMAGE_FULL_PATH, {Path::FindFileName(path)}));
        return false;
    }
    if (!image.IsValidGuideImage())
    {
        Show(showMessages, notGuide);
        return false;
    }
    return true;
}

bool ValidateVoiceFile(const QString& path, bool showMessages)
{
    bool result = true;
    // A relative path is reported, and the file is still examined.
    if (!Path::IsAbsoluteLocal(path))
    {
        Show(showMessages, FormatString(IDS_VOICE_FULL_PATH, {Path::FindFileName(path)}));
        result = false;
    }
    CWavePlayer player(nullptr);
    player.LoadWave(path, false);
    unsigned failure = 0;
    if (player.GetDataSize() == 0)
        failure = IDS_WAV_EMPTY;
    else if (player.GetSamplesPerSec() < MinVoiceRate || player.GetSamplesPerSec() > MaxVoiceRate)
        failure = IDS_WAV_NOT_16KHZ;
    else if (player.GetChannels() != 1)
        failure = IDS_WAV_NOT_MONAURAL;
    else if (player.GetBitsPerSample() != 16)
        failure = IDS_WAV_NOT_16BITS;
    else if (player.GetDataSize() >= MaxVoiceBytes)
        failure = IDS_WAV_OVER_5MB;
    if (failure != 0)
    {
        Show(showMessages, Strings::Load(failure));
        result = false;
    }
    return result;
}

bool ValidateContentFile(const QString& path, int column, bool showMessages)
{
    switch (column)
    {
    case ColumnImage1:
    case ColumnImage2:
        return ValidateGuideImageFile(path, column - 3, showMessages);
    case ColumnVoice:
        return ValidateVoiceFile(path, showMessages);
    default:
        return true;
    }
}

bool CFileVerdicts::Judge(Check check, const QString& path, const std::function<bool()>& judge)
{
    const std::optional<Path::FileStamp> stamp = Path::StampOf(path);
    if (!stamp)
        return judge();
    Verdict& kept = m_verdicts[check][path];
    if (kept.size != stamp->size || kept.modified != stamp->modified)
        kept = {stamp->size, stamp->modified, judge()};
    return kept.passed;
}
