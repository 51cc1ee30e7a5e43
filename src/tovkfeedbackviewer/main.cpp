// The feedback viewer: turns the record files of an SD card copy into reports.
#include "platform/Path.h"
#include "tovkfeedbackviewer/FeedbackViewer.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    // A console program whatever the environment: it needs no display, and a display
    // variable that leads nowhere must not stop it.
    QCoreApplication app(argc, argv);
    // Paths are taken as the bytes they are, also those that are no text in the locale.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(Path::DecodeName(argv[i]));
    return FeedbackViewerMain(arguments);
}
