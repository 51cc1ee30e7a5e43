#include "bmp2vcx/ErrorType.h"

#include "platform/ConsoleName.h"
#include "platform/Path.h"

namespace
{
QString Line(EErrorType error)
{
    switch (error)
    {
    case ErrNot256IndexColor:
        return QStringLiteral("## Error: [%1] : not 256IndexColor\n");
    case ErrNotBmp:
        return QStringLiteral("## Error: [%1] : not bmp\n");
    case ErrSizeNotMultipleOf8:
        return QStringLiteral(
            "## Error: [%1] : The image size should be multiple of 8(%2 x %3).\n");
    case ErrGuideSize:
        return QStringLiteral("## Error: [%1] : The image size should be 256x200(%2 x %3).\n");
    case ErrResize:
        return QStringLiteral(
            "## Error: [%1] : The image could not be resized to 256x200(%2 x %3).\n");
    case ErrImageTooLarge:
        return QStringLiteral("## Error: [%1] : The image size is too large(%2 x %3).\n");
    case ErrLinkName:
        return QStringLiteral("## Error: [%1] : The name of the palette file cannot be written "
                              "in the system's character set.\n");
    case ErrWriteFile:
        return QStringLiteral("## Error: [%1] : The file could not be written.\n");
    case ErrUnknownOption:
        return QStringLiteral("## Error: [%1] : Unknown option.\n");
    case ErrNoOutputFolder:
        return QStringLiteral("## Error: [%1] : The output folder does not exist.\n");
    case ErrArgument:
        break;
    }
    return QStringLiteral("## Error: [%1] : Argment error.\n");
}
} // namespace

QByteArray UsageText()
{
    return QByteArrayLiteral(
        "\n"
        "-------------------------------------------------------------\n"
        "Usage : bmp2vcx.exe -i c:\\quibbet\\hoge.bmp -o c:\\temp\\ [-tovkguide]\n"
        "\n"
        "Make vcg/vcl file from bmp file(256 index color only).\n"
        "\n"
        "  Options:\n"
        "\n"
        "    -tovkguide : the image size shuoud be 256x200. and Charblock is replaced 0x000 "
        "with 0x300.\n"
        "\n");
}

QByteArray ErrorText(EErrorType error, const QString& subject, int width, int height)
{
    // One arg() call per line, so that a '%' in the subject is never taken for an insert.
    const bool withSize = error == ErrSizeNotMultipleOf8 || error == ErrGuideSize ||
                          error == ErrResize || error == ErrImageTooLarge;
    const QString shown = ConsoleName(subject);
    const QString line =
        withSize ? Line(error).arg(shown, QString::number(width), QString::number(height))
                 : Line(error).arg(shown);
    QByteArray text = Path::EncodeName(line);
    if (error != ErrWriteFile && error != ErrNoOutputFolder)
        text += UsageText();
    return text;
}
