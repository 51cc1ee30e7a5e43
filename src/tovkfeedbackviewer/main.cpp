// The feedback viewer: turns the record files of an SD card copy into reports.
#include "tovkfeedbackviewer/FeedbackViewer.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    // A console program whatever the environment: it needs no display, and a display
    // variable that leads nowhere must not stop it.
    QCoreApplication app(argc, argv);
    return FeedbackViewerMain(QCoreApplication::arguments());
}
