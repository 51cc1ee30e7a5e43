// The bind editor OstrelinJP, the project hub.
#include "Ostrelin/res/Strings.h"
#include "Ostrelin/ui/MainFrame.h"
#include "Ostrelin/ui/OstrelinApp.h"
#include "Ostrelin/ui/VersionBlock.h"
#include "platform/VersionInfo.h"
#include "platform/ui/QtFileDialogs.h"
#include "platform/ui/QtMessages.h"

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <memory>
#include <unistd.h>

namespace
{
int g_signalPipe[2] = {-1, -1};

void OnTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(g_signalPipe[1], &byte, 1);
}
} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    Strings::Install(OstrelinStringsJA());
    VersionInfo::Install(&OstrelinVersionBlock());
    QtMessages messages;
    Messages::SetCurrent(&messages);
    QtFileDialogs dialogs;
    FileDialogs::SetCurrent(&dialogs);

    COstrelinApp app;
    if (!app.InitInstance(application.arguments().mid(1)))
        return app.ExitInstance();
    // A server start has no window to run; there is nothing to serve on this platform.
    if (app.GetMainWnd() == nullptr)
        return app.ExitInstance();
    messages.SetParent(app.GetMainWnd());

    // A termination request (the session ending) closes the main window the usual way, so
    // the close guard and the save question apply and the exit removes the tools.
    std::unique_ptr<QSocketNotifier> terminate;
    if (pipe(g_signalPipe) == 0)
    {
        terminate = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
        QObject::connect(terminate.get(), &QSocketNotifier::activated,
                         [&app]
                         {
                             char byte = 0;
                             [[maybe_unused]] const ssize_t got = read(g_signalPipe[0], &byte, 1);
                             if (app.GetMainWnd())
                                 app.GetMainWnd()->close();
                         });
        std::signal(SIGTERM, OnTerminate);
    }
    application.exec();
    return app.ExitInstance();
}
