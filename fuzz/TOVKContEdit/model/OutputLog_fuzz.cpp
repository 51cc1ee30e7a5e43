// The converter's log is outside bytes: any content must read without a fault, and every
// kept line must come out whole with its line end.
#include "TOVKContEdit/model/OutputLog.h"
#include "TOVKContEdit/res/Strings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool installed = []
    {
        Strings::Install(ContEditStringsEN());
        return true;
    }();
    (void)installed;
    ConverterReport report;
    ReadConverterLog(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
                     report);
    if (!report.lines.isEmpty() && !report.lines.endsWith(QStringLiteral("\r\n")))
        std::abort();
    return 0;
}
