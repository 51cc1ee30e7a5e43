#pragma once
// One run of the image converter: options, checks, conversion and the two output files.
#include <QByteArray>
#include <QIODevice>
#include <QStringList>

namespace Bmp2Vcx
{
// The locale's character set, in which the tile file names its palette file.
QByteArray LocaleCharset();

// Runs the converter on the command-line elements (the program's name first): progress
// lines (and the usage when asked for) go to out, the error and usage text to err. Returns
// the exit code, 0 or 1.
int wmain(const QStringList& arguments, QIODevice& out, QIODevice& err,
          const QByteArray& charset = LocaleCharset());
} // namespace Bmp2Vcx
