// The content editor, built twice: TOVKContEditEN with the English resource set and
// TOVKContEditJP with the Japanese one.
#include "TOVKContEdit/res/Strings.h"
#include "TOVKContEdit/ui/App.h"
#include "platform/ui/QtFileDialogs.h"
#include "platform/ui/QtMessages.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
#if defined(QUORVANE_RES_JA)
    Strings::Install(ContEditStringsJA());
#else
    Strings::Install(ContEditStringsEN());
#endif
    QtMessages messages;
    Messages::SetCurrent(&messages);
    QtFileDialogs dialogs;
    FileDialogs::SetCurrent(&dialogs);

    CTOVKContEditApp app;
    if (!app.InitInstance(application.arguments().mid(1)))
        return app.ExitInstance();
    application.exec();
    return app.ExitInstance();
}
