// Writes project files into the fuzz corpus folder, so that fuzzing starts from files the
// hub writes: an empty project, and one with works, guide numbers, languages, titles and
// servers of every role.
#include "Ostrelin/model/Archive.h"
#include "Ostrelin/model/OstrelinDoc.h"

#include <QDir>
#include <QFile>

namespace
{
bool Write(const QString& path, COstrelinDoc& doc)
{
    CArchive out(path);
    doc.Serialize(out);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out.Bytes()) == out.Bytes().size();
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    COstrelinDoc empty;
    COstrelinDoc full;
    CBindData& data = full.GetBindData();
    data.m_nDisplayLanguage = 1;
    data.m_wGuideLanguages = 0x0103;
    data.m_strTitleImage[0] = QStringLiteral("/guide/title/JP.bmp");
    for (int n = 1; n <= 3; ++n)
    {
        data.AddWork(n, 100 + n, QStringLiteral("\u4f5c\u54c1 %1").arg(n), 0x0103);
        data.AddGuide(n * 10, 100 + n);
    }
    data.SetContentXmlPath(QStringLiteral("/guide/convert/input/xml/TOVKContent.xml"));
    const std::pair<const char*, qint32> servers[] = {
        {"P0001", RoleProgram}, {"C0001", RoleContents}, {"E0001", RoleEnquete}};
    for (const auto& [name, role] : servers)
    {
        data.AddServer(QString::fromLatin1(name));
        CServer* server = data.FindServer(QString::fromLatin1(name));
        server->m_nRole = role;
        server->m_nChannel = 7;
        if (role == RoleContents)
            server->m_setGuides = {10, 20, 30};
    }
    return Write(folder + QStringLiteral("/seed-empty"), empty) &&
                   Write(folder + QStringLiteral("/seed-full"), full)
               ? 0
               : 1;
}
