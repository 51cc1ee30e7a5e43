// Any bytes as an XML content file: the reader must answer without crashing or reading
// past its input, its short way must read what the general reader reads, and a file it
// accepts must give records that save and load again alike.
#include "TOVKContEdit/shared/XmlContentDumFile.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace
{
QString ScratchFile()
{
    static QTemporaryDir dir;
    return dir.path() + "/fuzz.xml";
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_content_file";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    CXmlContentDumFile file;
    ContentRecords records;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // The short way for the layout Save writes must agree with the general reader.
    ContentRecords general;
    const bool loaded = file.LoadBytes(bytes, records);
    if (loaded != file.LoadAnyLayout(bytes, general) || records != general)
        std::abort();
    if (!loaded)
    {
        if (!records.empty())
            std::abort();
        return 0;
    }
    // What was read must survive a save and a load, up to the line ends XML reading folds.
    QString error;
    if (!CXmlContentDumFile::SaveDocument(ScratchFile(), CXmlContentDumFile::BuildDocument(records),
                                          error))
        std::abort();
    ContentRecords again;
    if (!file.Load(ScratchFile(), again) || again.size() != records.size())
        std::abort();
    for (std::size_t i = 0; i < records.size(); ++i)
        if (again[i].nLangType != records[i].nLangType ||
            again[i].nProductNo != records[i].nProductNo ||
            again[i].nProductImgCnt != records[i].nProductImgCnt)
            std::abort();
    return 0;
}
