// The feedback viewer: turns the record files of an SD card copy into reports.
#include "tovkfeedbackviewer/FeedbackViewer.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return FeedbackViewerMain(QCoreApplication::arguments());
}
