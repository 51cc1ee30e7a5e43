// The pairing file of the server list import: at most 1023 bytes are parsed into at most 64
// names, none holding a line end or NUL, and the project takes only names it accepts.
#include "Ostrelin/model/BindData.h"
#include "Ostrelin/ui/WdbListDialog.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0 || size > 1023)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList names = ParseServerNames(bytes);
    if (names.size() > 64)
        std::abort();
    CBindData project;
    for (const QString& name : names)
    {
        if (name.isEmpty() || name.contains(u'\r') || name.contains(u'\n') ||
            name.contains(QChar(0)))
            std::abort();
        if (project.AddServer(name) == BindOk && CheckServerName(name) != BindOk)
            std::abort();
    }
    if (project.m_listServers.size() > 64)
        std::abort();
    return 0;
}
