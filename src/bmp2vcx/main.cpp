// bmp2vcx: turns a 256-colour BMP picture into the handheld's palette and tile files.
#include "bmp2vcx/Converter.h"
#include "bmp2vcx/Picture.h"
#include "platform/Path.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <clocale>
#include <unistd.h>

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    QCoreApplication application(argc, argv);
    // Qt's default limit would refuse 8-bit pictures well below the largest one held.
    QImageReader::setAllocationLimit(ReaderLimitForMaxPicture);

    // Paths are taken as the bytes they are, also those that are no text in the locale.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(Path::DecodeName(argv[i]));

    // Straight to the descriptors, so progress and error lines reach a redirected output in
    // the order they happen (no stream buffer holds them back).
    QFile out;
    QFile err;
    out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return Bmp2Vcx::wmain(arguments, out, err);
}
