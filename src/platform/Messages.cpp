#include "platform/Messages.h"

#include "platform/Strings.h"

namespace
{
class SilentMessages : public Messages
{
public:
    int Show(const QString&, unsigned flags, const QString&) override
    {
        return DefaultAnswer(flags);
    }
};

SilentMessages g_silent;
Messages* g_current = nullptr;
QString g_title;
} // namespace

Messages::~Messages() = default;

Messages& Messages::Current()
{
    return g_current ? *g_current : g_silent;
}

void Messages::SetCurrent(Messages* backend)
{
    g_current = backend;
}

void Messages::SetApplicationTitle(const QString& title)
{
    g_title = title;
}

QString Messages::ApplicationTitle()
{
    return g_title;
}

int Messages::DefaultAnswer(unsigned flags)
{
    switch (flags & MB_TYPEMASK)
    {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    case MB_RETRYCANCEL:
        return IDRETRY;
    default:
        return IDOK;
    }
}

unsigned Messages::WithDefaultIcon(unsigned flags)
{
    if ((flags & MB_ICONMASK) != 0)
        return flags;
    switch (flags & MB_TYPEMASK)
    {
    case MB_OK:
    case MB_OKCANCEL:
        return flags | MB_ICONEXCLAMATION;
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return flags | MB_ICONQUESTION;
    default:
        return flags;
    }
}

int AfxMessageBox(const QString& text, unsigned flags)
{
    return Messages::Current().Show(text, Messages::WithDefaultIcon(flags),
                                    Messages::ApplicationTitle());
}

int AfxMessageBox(unsigned stringId, unsigned flags)
{
    return AfxMessageBox(Strings::Load(stringId), flags);
}
