// The guide-picture check on arbitrary bytes behind the "BM" that the check requires.
#include "TOVKContEdit/shared/ImageEx.h"

#include <QByteArray>
#include <QGuiApplication>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes("BM");
    bytes.append(reinterpret_cast<const char*>(data), qsizetype(size));
    CImageEx image;
    image.LoadFromBytes(bytes);
    if (image.IsValidGuideImage() && image.Flags() != 0)
        __builtin_trap();
    return 0;
}
