#include "platform/CommandGuard.h"

#include "platform/Messages.h"

#include <new>

bool RunCommandHandler(const std::function<void()>& handler, unsigned memoryMessage,
                       unsigned failureMessage)
{
    try
    {
        handler();
        return true;
    }
    catch (const std::bad_alloc&)
    {
        AfxMessageBox(memoryMessage, MB_OK | MB_ICONSTOP);
    }
    catch (...)
    {
        AfxMessageBox(failureMessage, MB_OK | MB_ICONSTOP);
    }
    return false;
}
