#pragma once
// Why a run of the converter ends without output files. Thrown where the run is refused and
// caught once by the converter's main, which prints the text below and returns 1.
#include <QByteArray>
#include <QString>

enum EErrorType
{
    ErrArgument = 0,
    ErrNot256IndexColor = 1,
    ErrNotBmp = 2,
    ErrSizeNotMultipleOf8 = 3,
    ErrGuideSize = 4,
    ErrResize = 5,
    // The palette file's name has no form in the locale's character set.
    ErrLinkName = 6,
    // An output file could not be created or written (the subject is that file).
    ErrWriteFile = 7,
    // The picture is larger than the converter holds.
    ErrImageTooLarge = 8,
    // An element that looks like an option but is none (the subject is that element).
    ErrUnknownOption = 9,
    // The "-o" folder is missing or no folder (the subject is the "-o" value); the converter
    // writes into a folder that exists and makes none.
    ErrNoOutputFolder = 10,
};

// What the console shows for the error: its line with the subject (the "-i" value, or the
// output file for ErrWriteFile) and, for the size errors, the picture's width and height,
// followed by the usage text for every refused input. The subject is shown as a console
// shows a file name.
QByteArray ErrorText(EErrorType error, const QString& subject, int width, int height);

// The usage text that follows a refused input.
QByteArray UsageText();
