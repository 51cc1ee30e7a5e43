// Patterns of any shape with arguments of every kind: no crash, no runaway output.
#include "platform/Strings.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const QString pattern = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QVariant> args = {QVariant(-12345),        QVariant(QStringLiteral("text")),
                                  QVariant(QChar(0x3042)), QVariant(qlonglong(1) << 40),
                                  QVariant(3.25),          QVariant()};
    const QString out = FormatMessage(pattern, args);
    // Widths and precisions are capped, so the text stays within a bound of the pattern.
    if (out.size() > (pattern.size() + 1) * 8200)
        std::abort();
    return 0;
}
