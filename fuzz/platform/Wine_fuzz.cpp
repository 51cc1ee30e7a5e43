// The registry export that Wine's "reg" writes for the hand-over value: any bytes are read
// without a crash, and a value found is one the file really holds.
#include "platform/Wine.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString value;
    if (Wine::ReadExportedValue(bytes, QStringLiteral("LastQueryFile"), value) &&
        value.size() > bytes.size())
        std::abort();
    Wine::NativePath(value);
    return 0;
}
