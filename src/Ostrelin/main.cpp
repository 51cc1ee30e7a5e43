// The bind editor OstrelinJP, the project hub.
#include "Ostrelin/res/Strings.h"
#include "Ostrelin/res/resource.h"
#include "Ostrelin/ui/HubLayout.h"
#include "Ostrelin/ui/MainFrame.h"
#include "Ostrelin/ui/OstrelinApp.h"
#include "Ostrelin/ui/VersionBlock.h"
#include "framework/DialogFocus.h"
#include "framework/HelpRequest.h"
#include "framework/LongOperation.h"
#include "platform/TerminationRequest.h"
#include "platform/VersionInfo.h"
#include "platform/ui/QtFileDialogs.h"
#include "platform/ui/QtMessages.h"
#include "platform/ui/QtTranslations.h"

#include <QApplication>

int main(int argc, char** argv)
{
    if (AnswerHelpRequest(argc, argv, OstrelinStringsJA().Load(IDS_USAGE)))
        return 0;
    QApplication application(argc, argv);
    const CDialogFocus dialogFocus(application);
    Strings::Install(OstrelinStringsJA());
    DialogLayout::SetScript(DialogScript::Japanese);
    VersionInfo::Install(&OstrelinVersionBlock());
    InstallQtTranslations(QStringLiteral("ja"));
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

    // A termination request (the session ending) stops a long operation the way Cancel
    // does and then closes the main window the usual way, so the close guard and the save
    // question apply and the exit removes the tools.
    const TerminationRequest terminate(
        [&app]
        {
            CLongOperation::RequestTermination(
                [&app]
                {
                    if (app.GetMainWnd())
                        app.GetMainWnd()->close();
                });
        });
    application.exec();
    return app.ExitInstance();
}
