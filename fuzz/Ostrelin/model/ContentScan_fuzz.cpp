// The content scan on one arbitrary data file: the first input byte picks the language and
// the name form, the rest is the file. The scan must never crash, and whatever it takes
// must lie within the model's limits.
#include "Ostrelin/model/OstrelinDoc.h"
#include "Ostrelin/res/Strings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdlib>

namespace
{
const char* const kNames[] = {"C%1%2.bin", "c%1%2.BIN", "C%1%2", "C%1%2.bin.bak", "C%1x%2.bin"};

QString Project()
{
    static const QString folder = []
    {
        Strings::Install(OstrelinStringsJA());
        const QString path =
            QDir::tempPath() +
            QStringLiteral("/fuzz-contentscan-%1").arg(QCoreApplication::applicationPid());
        QDir(path).removeRecursively();
        return path;
    }();
    return folder;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const QString project = Project();
    const int language = data[0] % 9;
    const char* form = kNames[(data[0] / 9) % std::size(kNames)];
    const int fileNo = data[1] % 12;
    const QString code = GetLanguageCode(language);
    const QString folder = project + QStringLiteral("/convert/output/contents/") + code.toLower();
    QDir(project).removeRecursively();
    QDir().mkpath(folder);
    QFile file(folder + u'/' +
               QString::fromLatin1(form).arg(code).arg(fileNo, 5, 10, QLatin1Char('0')));
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    file.write(reinterpret_cast<const char*>(data + 2), qint64(size - 2));
    file.close();

    COstrelinDoc doc;
    doc.GetBindData().m_wGuideLanguages = 0x01FF;
    doc.ScanContentFiles(project);
    const CBindData& d = doc.GetBindData();
    if (d.m_mapWorks.size() > 1 || (d.m_wGuideLanguages & ~d.m_wContentLanguages) != 0)
        std::abort();
    for (const auto& [workNo, work] : d.m_mapWorks)
    {
        if (workNo < 1 || workNo > 10000 || work->m_nFileNo != fileNo ||
            work->m_wLanguages != (1u << language) || work->m_strDescription[language].size() > 80)
            std::abort();
    }
    return 0;
}
