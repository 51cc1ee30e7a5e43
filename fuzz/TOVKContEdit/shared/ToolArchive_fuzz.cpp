// ExtractTools on an arbitrary archive into a scratch folder; nothing may land outside it.
#include "TOVKContEdit/shared/ToolArchive.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir scratch;
    const QString folder = scratch.path() + "/VantiloqTools";
    QString out;
    ExtractToolsInto(QByteArrayView(data, qsizetype(size)), folder, out);
    RemoveTools(folder);
    // Everything written went below the scratch folder and is gone again.
    if (!QDir(scratch.path()).isEmpty())
        __builtin_trap();
    return 0;
}
