#pragma once
// Builders for the converted content data files ("C" + code + five digits + ".bin") that the
// hub scans: the work number at 0x0C and the description, 80 UTF-16LE units, at 0x24.
#include "common/TestSupport.h"

#include <QByteArray>
#include <QString>
#include <QtEndian>

namespace ContentFixtures
{
constexpr qsizetype kHeaderSize = 0xC4;

// A data file of `size` bytes (the converter's files are larger than the part the hub
// reads; the rest is filled with a pattern so a reader that runs past 0xC4 shows up).
// The description is written unit by unit and ended with a zero unit when shorter than 80.
inline QByteArray MakeContentBin(quint32 workNo, const QString& description,
                                 qsizetype size = kHeaderSize + 64)
{
    QByteArray bytes(std::max(size, kHeaderSize), '\0');
    for (qsizetype i = kHeaderSize; i < bytes.size(); ++i)
        bytes[i] = char(0xA5);
    qToLittleEndian(workNo, bytes.data() + 0x0C);
    const qsizetype units = std::min<qsizetype>(description.size(), 80);
    for (qsizetype i = 0; i < units; ++i)
        qToLittleEndian(quint16(description[i].unicode()), bytes.data() + 0x24 + 2 * i);
    return bytes.left(size);
}

// Writes a data file into ProjectFolder/convert/output/contents/<folder>/<name>; the folder
// is spelt as given (the converter writes lower-case language folders).
inline QString WriteContentBin(const QString& projectFolder, const QString& folder,
                               const QString& name, const QByteArray& bytes)
{
    return TestSupport::WriteFile(
        projectFolder + QStringLiteral("/convert/output/contents/") + folder + u'/' + name, bytes);
}

// The usual case: work `workNo` in language `code` ("JP") under file number `fileNo`, in the
// lower-case folder the converter makes.
inline QString WriteWork(const QString& projectFolder, const QString& code, int fileNo,
                         quint32 workNo, const QString& description)
{
    const QString name =
        QStringLiteral("C%1%2.bin").arg(code.toUpper()).arg(fileNo, 5, 10, QLatin1Char('0'));
    return WriteContentBin(projectFolder, code.toLower(), name,
                           MakeContentBin(workNo, description));
}

// A questionnaire data file ProjectFolder/convert/output/query/E<code>000.bin.
inline QString WriteQueryBin(const QString& projectFolder, const QString& code)
{
    return TestSupport::WriteFile(projectFolder + QStringLiteral("/convert/output/query/E") + code +
                                      QStringLiteral("000.bin"),
                                  QByteArray(16, '\x01'));
}
} // namespace ContentFixtures
