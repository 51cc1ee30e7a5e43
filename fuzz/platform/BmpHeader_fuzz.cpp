#include "platform/BmpHeader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    BmpHeaderInfo info;
    if (ReadBmpHeader(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), info))
    {
        if (info.width < 0 || info.height < 0 || info.ColorTableEntries() < 0)
            std::abort();
    }
    return 0;
}
