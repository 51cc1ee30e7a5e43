#pragma once
// Reading the viewer's UTF-16LE report files back in tests.
#include "common/TestSupport.h"

#include <QByteArray>
#include <QString>

namespace ReportText
{
// The text after the byte-order mark; "<no BOM>" when the file does not start with one.
inline QString Read(const QString& path)
{
    const QByteArray bytes = TestSupport::ReadFile(path);
    if (!bytes.startsWith("\xFF\xFE"))
        return QStringLiteral("<no BOM>");
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                              (bytes.size() - 2) / 2);
}
} // namespace ReportText
