// The project file reader on arbitrary bytes: it must never crash or allocate beyond the
// input, must leave the document untouched when it fails, and what it accepts must write
// back and read again to the same bytes.
#include "Ostrelin/model/Archive.h"
#include "Ostrelin/model/OstrelinDoc.h"

#include <cstdint>
#include <cstdlib>

namespace
{
const QString kPath = QStringLiteral("/fuzz/project/GuideData.olx");

// Reads the bytes into the document; true when they were accepted.
bool Load(COstrelinDoc& doc, const QByteArray& bytes)
{
    CArchive in(bytes, kPath);
    try
    {
        doc.Serialize(in);
    }
    catch (const CArchiveException&)
    {
        return false;
    }
    return !doc.m_bLoadError;
}

QByteArray Store(COstrelinDoc& doc)
{
    CArchive out(kPath);
    doc.Serialize(out);
    return out.Bytes();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    COstrelinDoc doc;
    doc.GetBindData().AddGuide(123, 4);
    const QByteArray before = Store(doc);
    if (!Load(doc, bytes))
    {
        if (Store(doc) != before)
            std::abort();
        return 0;
    }
    const CBindData& d = doc.GetBindData();
    if (d.m_mapGuides.size() > 999 || d.m_listServers.size() > 64)
        std::abort();
    for (const auto& server : d.m_listServers)
    {
        if (CheckServerName(server->m_strName) != BindOk)
            std::abort();
        for (qint32 guideNo : server->m_setGuides)
        {
            if (guideNo < 1 || guideNo > 999)
                std::abort();
        }
    }
    const QByteArray first = Store(doc);
    COstrelinDoc again;
    if (!Load(again, first) || Store(again) != first)
        std::abort();
    return 0;
}
