#include "bmp2vcx/Converter.h"

#include "bmp2vcx/ConvCommandLine.h"
#include "bmp2vcx/ErrorType.h"
#include "bmp2vcx/Picture.h"
#include "bmp2vcx/VccFile.h"
#include "platform/AtomicFile.h"
#include "platform/ConsoleName.h"
#include "platform/Path.h"

#include <QStringEncoder>
#include <algorithm>
#include <langinfo.h>

namespace
{
constexpr int GuideWidth = 256;
constexpr int GuideHeight = 192;
// 32 x 25 tiles: the guide picture and one empty tile row.
constexpr qsizetype GuideTileBytes = 51200;
constexpr quint32 GuideTilesPerRow = 32;
constexpr quint32 GuideTileRows = 25;
// Tile 0 trades places with tile 0x300, the first of the empty row.
constexpr qsizetype GuideSwapOffset = 0x300 * 64;
constexpr qsizetype TileBytes = 64;

class CConverter
{
public:
    CConverter(QIODevice& out, const QByteArray& charset) : m_out(out), m_charset(charset) {}

    // Throws EErrorType; false when the usage was asked for.
    bool Run(const QStringList& arguments);

    QString Subject() const { return m_subject.isEmpty() ? m_input : m_subject; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    void Print(const QString& text) { m_out.write(Path::EncodeName(text)); }
    QByteArray EncodeName(const QString& name) const;
    [[noreturn]] void WriteFailed(const QString& path);

    QIODevice& m_out;
    QByteArray m_charset;
    QString m_input;
    QString m_subject;
    int m_width = 0;
    int m_height = 0;
};

bool CConverter::Run(const QStringList& arguments)
{
    CConvCommandLine commandLine;
    commandLine.Parse(arguments);
    m_input = commandLine.GetInput();
    if (commandLine.IsHelp())
        return false;
    if (!commandLine.UnknownOption().isEmpty())
    {
        m_subject = commandLine.UnknownOption();
        throw ErrUnknownOption;
    }
    if (!commandLine.IsValid())
        throw ErrArgument;
    const bool guide = commandLine.IsGuide();

    Print(QStringLiteral("input file: %1\n").arg(ConsoleName(m_input)));
    if (Path::FindExtension(m_input).toLower() != QLatin1String(".bmp"))
        throw ErrNotBmp;

    const QString fileName = Path::FindFileName(m_input);
    const QString tileName = Path::RenameExtension(fileName, QStringLiteral(".vcg"));
    const QString paletteName = Path::RenameExtension(fileName, QStringLiteral(".vcl"));

    CPicture picture = LoadPicture(m_input);
    m_width = picture.width;
    m_height = picture.height;
    if (guide && (m_width != GuideWidth || m_height != GuideHeight))
        throw ErrGuideSize;
    if (picture.tooLarge)
        throw ErrImageTooLarge;
    if (picture.notIndexed)
        throw ErrNot256IndexColor;
    const QImage image = std::move(picture.image);
    if (image.isNull())
        throw ErrResize;

    if (picture.bitsPerPixel != 8 || image.format() != QImage::Format_Indexed8)
        throw ErrNot256IndexColor;
    Print(QStringLiteral("bin2vcx: [%1] is 256IndexColor\n").arg(ConsoleName(m_input)));

    const VccPalette palette = ConvertPalette(image.colorTable());
    Print(QStringLiteral("bin2vcx: [%1] 16bit palette size(%2)\n")
              .arg(ConsoleName(m_input), QString::number(palette.size())));

    const int width = image.width();
    const int height = image.height();
    if (width < 1 || height < 1 || width % 8 != 0 || height % 8 != 0)
        throw ErrSizeNotMultipleOf8;
    qsizetype bufferSize = qsizetype(qint64(width) * height);
    if (guide)
        bufferSize = std::max(bufferSize, GuideTileBytes);
    QByteArray tiles = CutTiles(image, bufferSize);
    Print(QStringLiteral("bin2vcx: [%1] index size(%2)\n")
              .arg(ConsoleName(m_input), QString::number(tiles.size())));

    const QByteArray link = VccFile::LinkData(EncodeName(paletteName));
    const quint32 tilesPerRow = guide ? GuideTilesPerRow : quint32(width / 8);
    const quint32 tileRows = guide ? GuideTileRows : quint32(height / 8);
    if (VccFile::TileFileSize(tiles.size(), tilesPerRow, tileRows, link.size()) < 0)
        throw ErrImageTooLarge;
    const QString given = Path::RemoveBackslash(commandLine.GetOutput());
    if (!Path::IsDirectory(given))
    {
        m_subject = commandLine.GetOutput();
        throw ErrNoOutputFolder;
    }
    // The folder given with -o is held open: both files are made in it, and a link at
    // either name is replaced, never written through.
    const OutputFolder folder(given);
    const QString palettePath = Path::Append(folder.Folder(), paletteName);
    const QString tilePath = Path::Append(folder.Folder(), tileName);

    // Both files are complete before either replaces an older one, so a failure never
    // leaves a palette without its tiles.
    FileReplacement paletteFile(folder, paletteName);
    if (!paletteFile.Write(VccFile::PaletteFile(palette)))
        WriteFailed(palettePath);

    if (guide)
    {
        std::swap_ranges(tiles.begin(), tiles.begin() + TileBytes, tiles.begin() + GuideSwapOffset);
        Print(QStringLiteral("bin2vcx: char 0x0000 -> 0x0300.\n"));
    }

    FileReplacement tileFile(folder, tileName);
    if (!tileFile.Write(VccFile::TileFileHead(tiles.size(), tilesPerRow, tileRows, link.size())) ||
        !tileFile.Write(tiles) ||
        !tileFile.Write(VccFile::TileFileTail(tilesPerRow, tileRows, link)))
        WriteFailed(tilePath);

    if (!paletteFile.Commit())
        WriteFailed(palettePath);
    if (!tileFile.Commit())
    {
        folder.Remove(paletteName);
        WriteFailed(tilePath);
    }
    return true;
}

QByteArray CConverter::EncodeName(const QString& name) const
{
    QStringEncoder encoder(m_charset.constData());
    if (!encoder.isValid())
        throw ErrLinkName;
    // Bytes of the file's name that are no text go into the link as they stand; the text
    // between them in the locale's character set.
    QByteArray encoded;
    qsizetype from = 0;
    for (qsizetype i = 0; i < name.size(); ++i)
        if (Path::IsKeptByte(name, i))
        {
            encoded += encoder.encode(QStringView(name).mid(from, i - from));
            encoded += char(name[i].unicode() & 0xFF);
            from = i + 1;
        }
    encoded += encoder.encode(QStringView(name).mid(from));
    if (encoder.hasError() || name.contains(QChar::ReplacementCharacter))
        throw ErrLinkName;
    return encoded;
}

void CConverter::WriteFailed(const QString& path)
{
    m_subject = path;
    throw ErrWriteFile;
}
} // namespace

namespace Bmp2Vcx
{
QByteArray LocaleCharset()
{
    return QByteArray(nl_langinfo(CODESET));
}

int wmain(const QStringList& arguments, QIODevice& out, QIODevice& err, const QByteArray& charset)
{
    CConverter converter(out, charset);
    try
    {
        if (!converter.Run(arguments))
            out.write(UsageText());
        return 0;
    }
    catch (EErrorType error)
    {
        err.write(ErrorText(error, converter.Subject(), converter.Width(), converter.Height()));
        return 1;
    }
}
} // namespace Bmp2Vcx
