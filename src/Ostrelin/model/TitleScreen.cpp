#include "Ostrelin/model/TitleScreen.h"

#include "Ostrelin/model/PathHelpers.h"
#include "Ostrelin/res/resource.h"
#include "TOVKContEdit/shared/ImageEx.h"
#include "platform/AtomicFile.h"
#include "platform/ExternalTool.h"
#include "platform/Path.h"
#include "platform/Strings.h"

#include <QFile>
#include <QtEndian>
#include <array>
#include <unordered_map>

namespace
{
constexpr int kPaletteEntries = 256;
constexpr quint32 kBackground = 0xFF323232; // reserved byte, red, green, blue as in the file

template <typename T> void Put(QByteArray& bytes, qsizetype offset, T value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

QString CodeOf(int language)
{
    return GetLanguageCode(language >= 1 && language < kLanguageCount ? language : 0);
}
} // namespace

QByteArray BuildTitleScreenBitmap(const QImage& title)
{
    QByteArray bytes(kTitleScreenBitmapSize, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put<quint32>(bytes, 2, quint32(kTitleScreenBitmapSize));
    Put<quint32>(bytes, 10, quint32(kTitleScreenPixelOffset));
    Put<quint32>(bytes, 14, 40);
    Put<qint32>(bytes, 18, kTitleScreenWidth);
    Put<qint32>(bytes, 22, kTitleScreenHeight);
    Put<quint16>(bytes, 26, 1);
    Put<quint16>(bytes, 28, 8);
    Put<quint32>(bytes, 34, quint32(kTitleScreenWidth * kTitleScreenHeight));
    Put<quint32>(bytes, 46, kPaletteEntries);

    // Entries as the file holds them (blue, green, red, reserved), read little-endian.
    std::array<quint32, kPaletteEntries> palette;
    palette.fill(0xFF000000);
    palette[0] = 0;
    palette[1] = kBackground;
    int used = 2;
    std::unordered_map<quint32, int> index{{kBackground, 1}};

    const QImage picture = title.convertToFormat(QImage::Format_RGB32);
    std::array<std::array<uchar, kTitleScreenWidth>, kTitleHeight> rows{};
    for (int y = 0; y < kTitleHeight; ++y)
    {
        for (int x = 0; x < kTitleScreenWidth; ++x)
        {
            // A picture smaller than the title area leaves the background there.
            if (y >= picture.height() || x >= picture.width())
            {
                rows[y][x] = 1;
                continue;
            }
            const quint32 entry = 0xFF000000 | (picture.pixel(x, y) & 0x00FFFFFF);
            auto found = index.find(entry);
            if (found == index.end())
            {
                if (used == kPaletteEntries)
                {
                    rows[y][x] = kPaletteEntries - 1;
                    continue;
                }
                palette[used] = entry;
                found = index.emplace(entry, used++).first;
            }
            rows[y][x] = uchar(found->second);
        }
    }
    for (int i = 0; i < kPaletteEntries; ++i)
        Put<quint32>(bytes, kTitleScreenHeaderSize + 4 * i, palette[i]);
    // File row k is screen row 191 - k; the screen below the title is background.
    char* pixels = bytes.data() + kTitleScreenPixelOffset;
    for (int k = 0; k < kTitleScreenHeight; ++k)
    {
        const int y = kTitleScreenHeight - 1 - k;
        char* row = pixels + qsizetype(k) * kTitleScreenWidth;
        if (y < kTitleHeight)
            std::copy(rows[y].begin(), rows[y].end(), row);
        else
            std::fill(row, row + kTitleScreenWidth, char(1));
    }
    return bytes;
}

bool ReplaceTitleForLanguage(const CLanguageSettings& settings, const TitleRun& run, int language,
                             bool* cancelled, bool* replacerFailed, QString* notWritten)
{
    const auto leftOut = [notWritten](const QString& why)
    {
        if (notWritten)
            *notWritten = why;
        return false;
    };
    if (language < 0 || language >= kLanguageCount)
        return false;
    if (run.tempFolder.isEmpty())
        return leftOut(Strings::Load(IDS_TITLE_NO_TEMP_FOLDER));
    const QString titlePath = settings.m_strTitleImage[language];
    const QString bitmapPath =
        Path::Append(run.tempFolder, QStringLiteral("200_") + GetFileNameOf(titlePath));
    QString outputFolder = run.titleOutputFolder;
    RemoveTrailingBackslash(outputFolder);
    outputFolder = Path::Resolve(outputFolder);
    const QString code = CodeOf(language);

    CImageEx picture;
    if (!picture.Load(titlePath))
        return leftOut(FormatString(IDS_TITLE_PICTURE_UNREADABLE, {titlePath}));
    const QByteArray bitmap = BuildTitleScreenBitmap(picture.Image());
    picture.Destroy();

    if (QString error; !ReplaceFile(bitmapPath, bitmap, &error))
        return leftOut(FormatString(IDS_TITLE_FILE_NOT_WRITTEN, {bitmapPath, error}));

    const QString titleFile = u'R' + code + QStringLiteral("000.BIN");
    const QString oldFile = Path::Resolve(Path::Append(outputFolder, titleFile));
    if (QFile old(oldFile); Path::IsRegularFile(oldFile) && !old.remove())
        return leftOut(FormatString(IDS_TITLE_OLD_NOT_REMOVED, {oldFile, old.errorString()}));

    const QString binFolder = Path::Append(run.appFolder, QStringLiteral("bin"));
    const ExternalTool replacer = ExternalTool::Find(binFolder, QStringLiteral("halbrine"));
    const CommandLine command =
        replacer.Command({QStringLiteral("-i"), replacer.ToolPath(bitmapPath), QStringLiteral("-o"),
                          replacer.ToolPath(outputFolder), QStringLiteral("-lang"), code,
                          QStringLiteral("-bin"), replacer.ToolPath(run.toolFolder)});
    const ToolResult result = run.run(command, binFolder, run.wait);
    if (result.outcome == ToolResult::Cancelled && cancelled)
        *cancelled = true;
    if (result.outcome == ToolResult::NotStarted && result.reason != ToolResult::StartFailed &&
        run.notStarted)
        *run.notStarted = result;
    if (result.outcome == ToolResult::Cancelled)
        return false;
    // A replacer that did not end by itself, or ended with a code, may have left part of a
    // file; one that ended well must have written something: else it is no title.
    const QString written = Path::Resolve(Path::Append(outputFolder, titleFile));
    const Path::ReadOnlyFile title = Path::OpenRegularFile(written);
    if (result.outcome != ToolResult::Exited || result.exitCode != 0 || title.Size() <= 0)
    {
        if (Path::IsRegularFile(written))
            QFile::remove(written);
        if (replacerFailed)
            *replacerFailed = true;
        return false;
    }
    return true;
}

quint16 ReplaceTitleImages(const CLanguageSettings& settings, const TitleRun& run, bool* cancelled,
                           quint16* failed, QStringList* notWritten)
{
    // A language removed from the guide gets no title, even while its title is still ticked.
    const quint16 wanted = settings.m_wTitleLanguages & settings.m_wGuideLanguages;
    quint16 mask = 0;
    for (int i = 0; i < kLanguageCount; ++i)
    {
        if ((wanted & (1u << i)) == 0)
            continue;
        CImageEx image;
        if (image.LoadAndCheck(settings.m_strTitleImage[i]))
            mask |= quint16(1u << i);
    }
    bool stopped = false;
    const auto wineFailed = [&run]
    { return run.notStarted && run.notStarted->reason != ToolResult::StartFailed; };
    if (failed)
        *failed = 0;
    for (int i = 0; i < kLanguageCount && !stopped && !wineFailed(); ++i)
    {
        bool replacerFailed = false;
        QString why;
        if ((mask & (1u << i)) != 0 &&
            !ReplaceTitleForLanguage(settings, run, i, &stopped, &replacerFailed, &why))
        {
            mask &= quint16(~(1u << i));
            if (replacerFailed && failed)
                *failed |= quint16(1u << i);
            if (!why.isEmpty() && notWritten)
                notWritten->append(
                    FormatString(IDS_OUTPUT_TITLE_NOT_WRITTEN, {GetLanguageName(i), why}));
        }
    }
    if (wineFailed())
        return 0;
    if (stopped)
    {
        if (cancelled)
            *cancelled = true;
        return 0;
    }
    return mask;
}
