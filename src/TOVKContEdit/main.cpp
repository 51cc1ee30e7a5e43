// The content editor, built twice: TOVKContEditEN with the English resource set and
// TOVKContEditJP with the Japanese one.
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/res/VersionBlock.h"
#include "TOVKContEdit/res/resource.h"
#include "TOVKContEdit/ui/App.h"
#include "TOVKContEdit/ui/MainFrame.h"
#include "framework/DialogFocus.h"
#include "framework/DialogLayout.h"
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
#if defined(QUORVANE_RES_JA)
    const StringTable& strings = ContEditStringsJA();
#else
    const StringTable& strings = ContEditStringsEN();
#endif
    if (AnswerHelpRequest(argc, argv, strings.Load(IDS_USAGE)))
        return 0;
    QApplication application(argc, argv);
    const CDialogFocus dialogFocus(application);
    Strings::Install(strings);
#if defined(QUORVANE_RES_JA)
    DialogLayout::SetScript(DialogScript::Japanese);
    VersionInfo::Install(&ContEditVersionBlockJA());
    InstallQtTranslations(QStringLiteral("ja"));
#else
    DialogLayout::SetScript(DialogScript::Latin);
    VersionInfo::Install(&ContEditVersionBlockEN());
#endif
    QtMessages messages;
    Messages::SetCurrent(&messages);
    QtFileDialogs dialogs;
    FileDialogs::SetCurrent(&dialogs);

    CTOVKContEditApp app;
    // A termination request (the session ending) stops a running output the way Cancel
    // does and then closes the main window the usual way, so the exit removes the tools and
    // keeps the settings; one that comes during start-up waits for the event loop.
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
    if (!app.InitInstance(application.arguments().mid(1)))
        return app.ExitInstance();
    messages.SetParent(app.GetMainWnd());

    application.exec();
    return app.ExitInstance();
}
