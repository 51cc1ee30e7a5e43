#pragma once
// The message-box service: caption, icon and buttons as the programs ask for them, shown
// by a replaceable backend (widgets in the programs, a recording one in tests).
#include <QString>

constexpr unsigned MB_OK = 0x00000000;
constexpr unsigned MB_OKCANCEL = 0x00000001;
constexpr unsigned MB_ABORTRETRYIGNORE = 0x00000002;
constexpr unsigned MB_YESNOCANCEL = 0x00000003;
constexpr unsigned MB_YESNO = 0x00000004;
constexpr unsigned MB_RETRYCANCEL = 0x00000005;
constexpr unsigned MB_TYPEMASK = 0x0000000F;

constexpr unsigned MB_ICONHAND = 0x00000010;
constexpr unsigned MB_ICONERROR = MB_ICONHAND;
constexpr unsigned MB_ICONSTOP = MB_ICONHAND;
constexpr unsigned MB_ICONQUESTION = 0x00000020;
constexpr unsigned MB_ICONEXCLAMATION = 0x00000030;
constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr unsigned MB_ICONASTERISK = 0x00000040;
constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr unsigned MB_ICONMASK = 0x000000F0;

constexpr unsigned MB_DEFBUTTON1 = 0x00000000;
constexpr unsigned MB_DEFBUTTON2 = 0x00000100;
constexpr unsigned MB_DEFBUTTON3 = 0x00000200;
constexpr unsigned MB_DEFMASK = 0x00000F00;

constexpr unsigned MB_APPLMODAL = 0x00000000;
constexpr unsigned MB_SYSTEMMODAL = 0x00001000;
constexpr unsigned MB_TASKMODAL = 0x00002000;
constexpr unsigned MB_SETFOREGROUND = 0x00010000;
constexpr unsigned MB_TOPMOST = 0x00040000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

class Messages
{
public:
    virtual ~Messages();

    // Shows the text and returns the button chosen (IDOK, IDCANCEL, IDYES, IDNO...).
    virtual int Show(const QString& text, unsigned flags, const QString& caption) = 0;

    // The backend in use. Without one set, a backend that shows nothing and answers the
    // first button (IDOK / IDYES) is used.
    static Messages& Current();
    // Not owned; nullptr goes back to the silent default.
    static void SetCurrent(Messages* backend);

    static void SetApplicationTitle(const QString& title);
    static QString ApplicationTitle();

    // The first button of the flags' button set: IDOK, IDYES, IDABORT or IDRETRY.
    static int DefaultAnswer(unsigned flags);
    // A box asked for without an icon gets the one the application framework adds: the
    // exclamation mark for OK and OK/Cancel, the question mark for Yes/No (and Cancel).
    static unsigned WithDefaultIcon(unsigned flags);
};

// A box with the application title as caption, given the framework's icon when the flags
// name none.
int AfxMessageBox(const QString& text, unsigned flags = MB_OK | MB_ICONEXCLAMATION);
// A box with the text of a string-table id.
int AfxMessageBox(unsigned stringId, unsigned flags = MB_OK | MB_ICONEXCLAMATION);
