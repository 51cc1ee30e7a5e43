// The feedback viewer: turns the record files of an SD card copy into reports.
#include "tovkfeedbackviewer/FeedbackViewer.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

namespace
{
bool HasDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
    {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}
} // namespace

int main(int argc, char** argv)
{
    // The desktop's opener needs a GUI application; without a display there is nothing to
    // show the index page on, and the viewer stays a plain console program.
    std::unique_ptr<QCoreApplication> app;
    if (HasDisplay())
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    return FeedbackViewerMain(QCoreApplication::arguments());
}
