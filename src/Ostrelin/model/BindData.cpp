#include "Ostrelin/model/BindData.h"

#include "Ostrelin/res/resource.h"
#include "platform/Strings.h"

#include <algorithm>
#include <bit>

namespace
{
bool IsWorkNo(qint32 n)
{
    return n >= 1 && n <= kMaxWorkNo;
}

bool IsGuideNo(qint32 n)
{
    return n >= 1 && n <= kMaxGuideNo;
}

bool IsLanguage(int language)
{
    return language >= 0 && language < kLanguageCount;
}
} // namespace

void CLanguageSettings::Clear()
{
    m_nDisplayLanguage = 0;
    m_wGuideLanguages = 0;
    m_wTitleLanguages = 0;
    for (QString& path : m_strTitleImage)
        path.clear();
}

void CWork::SetDescription(int language, const QString& text)
{
    if (IsLanguage(language))
        m_strDescription[language] = text;
}

CServer::CServer(const CServer& other)
{
    *this = other;
}

CServer& CServer::operator=(const CServer& other)
{
    if (this == &other)
        return *this;
    m_strName = other.m_strName;
    m_nRole = other.m_nRole;
    m_nChannel = other.m_nChannel;
    m_setGuides.clear();
    for (qint32 guideNo : other.m_setGuides)
    {
        if (IsGuideNo(guideNo))
            m_setGuides.insert(m_setGuides.end(), guideNo);
    }
    return *this;
}

void CServer::SetName(const QString& text)
{
    m_strName = text;
}

bool CServer::HasGuide(qint32 guideNo) const
{
    return IsGuideNo(guideNo) && m_setGuides.count(guideNo) != 0;
}

qint32 CServer::NextGuide(GuidePosition& pos) const
{
    if (pos == m_setGuides.end())
        return -1;
    return *pos++;
}

EBindResult CheckServerName(const QString& name)
{
    if (name.size() != 5 || name == u"00000")
        return BindBadServerName;
    for (QChar c : name)
    {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z')))
            return BindBadServerName;
    }
    return BindOk;
}

CBindData::~CBindData()
{
    ClearWorks();
    ClearGuides();
    ClearServers();
}

EBindResult CBindData::AddWork(qint32 fileNo, qint32 workNo, const QString& description,
                               quint16 languages)
{
    if (fileNo < 1 || fileNo > kMaxFileNo)
        return BindBadFileNo;
    if (!IsWorkNo(workNo))
        return BindBadWorkNo;
    if (m_mapWorks.size() >= kMaxWorks)
        return BindTooManyWorks;
    if (m_mapWorks.count(workNo) != 0)
        return BindWorkExists;
    auto work = std::make_unique<CWork>();
    work->m_nFileNo = fileNo;
    work->m_nWorkNo = workNo;
    for (int i = 0; i < kLanguageCount; ++i)
    {
        if (languages & (1u << i))
            work->m_strDescription[i] = description;
    }
    work->m_wLanguages = languages;
    m_mapWorks.emplace(workNo, std::move(work));
    m_wContentLanguages |= languages;
    return BindOk;
}

EBindResult CBindData::AddWorkLanguage(qint32 workNo, int language, const QString& description)
{
    if (!IsWorkNo(workNo))
        return BindBadWorkNo;
    CWork* work = FindWork(workNo);
    if (work == nullptr)
        return BindNoWork;
    if (!IsLanguage(language))
        return BindOk;
    const quint16 bit = quint16(1u << language);
    work->m_wLanguages |= bit;
    work->m_strDescription[language] = description;
    m_wContentLanguages |= bit;
    return BindOk;
}

EBindResult CBindData::ClearWorks()
{
    m_mapWorks.clear();
    m_wContentLanguages = 0;
    return BindOk;
}

CWork* CBindData::FindWork(qint32 workNo) const
{
    const auto it = m_mapWorks.find(workNo);
    return it == m_mapWorks.end() ? nullptr : it->second.get();
}

EBindResult CBindData::MarkWorkUsed(qint32 workNo)
{
    if (!IsWorkNo(workNo))
        return BindBadWorkNo;
    CWork* work = FindWork(workNo);
    if (work == nullptr)
        return BindNoWork;
    work->m_bUsed = true;
    return BindOk;
}

EBindResult CBindData::ClearWorkUsedFlags()
{
    for (auto& [number, work] : m_mapWorks)
        work->m_bUsed = false;
    return BindOk;
}

EBindResult CBindData::AddGuide(qint32 guideNo, qint32 workNo)
{
    if (!IsGuideNo(guideNo))
        return BindBadGuideNo;
    if (m_mapGuides.count(guideNo) != 0)
        return BindGuideExists;
    if (!IsWorkNo(workNo))
        return BindBadWorkNo;
    auto entry = std::make_unique<CGuideEntry>();
    entry->m_nGuideNo = guideNo;
    entry->m_nWorkNo = workNo;
    m_mapGuides.emplace(guideNo, std::move(entry));
    return BindOk;
}

CGuideEntry* CBindData::FindGuide(qint32 guideNo) const
{
    const auto it = m_mapGuides.find(guideNo);
    return it == m_mapGuides.end() ? nullptr : it->second.get();
}

EBindResult CBindData::RemoveGuide(qint32 guideNo)
{
    if (guideNo > kMaxGuideNo)
        return BindBadGuideNo;
    const auto it = m_mapGuides.find(guideNo);
    if (it == m_mapGuides.end())
        return BindNoGuide;
    m_mapGuides.erase(it);
    return BindOk;
}

EBindResult CBindData::SetGuideWork(qint32 guideNo, qint32 workNo)
{
    if (!IsGuideNo(guideNo))
        return BindBadGuideNo;
    CGuideEntry* entry = FindGuide(guideNo);
    if (entry == nullptr)
        return BindNoGuide;
    if (!IsWorkNo(workNo))
        return BindBadWorkNo;
    entry->m_nWorkNo = workNo;
    return BindOk;
}

EBindResult CBindData::SwapGuides(qint32 a, qint32 b)
{
    if (!IsGuideNo(a) || !IsGuideNo(b))
        return BindBadGuideNo;
    if (a == b)
        return BindOk;
    const CGuideEntry* entryA = FindGuide(a);
    const CGuideEntry* entryB = FindGuide(b);
    if (entryA == nullptr && entryB == nullptr)
        return BindNoGuide;
    const qint32 workA = entryA ? entryA->m_nWorkNo : -1;
    const qint32 workB = entryB ? entryB->m_nWorkNo : -1;
    m_mapGuides.erase(a);
    m_mapGuides.erase(b);
    // A side without a work is refused by AddGuide, which moves the other side's work.
    AddGuide(a, workB);
    AddGuide(b, workA);
    return BindOk;
}

EBindResult CBindData::ClearGuides()
{
    m_mapGuides.clear();
    return BindOk;
}

EBindResult CBindData::RenumberGuides()
{
    GuideMap old;
    old.swap(m_mapGuides);
    qint32 next = 1;
    for (auto& [number, entry] : old)
    {
        entry->m_nGuideNo = next;
        m_mapGuides.emplace_hint(m_mapGuides.end(), next, std::move(entry));
        ++next;
    }
    return BindOk;
}

EBindResult CBindData::ValidateGuide(qint32 guideNo)
{
    if (!IsGuideNo(guideNo))
        return BindBadGuideNo;
    CGuideEntry* entry = FindGuide(guideNo);
    if (entry == nullptr)
        return BindNoGuide;
    const CWork* work = FindWork(entry->m_nWorkNo);
    const bool complete =
        work != nullptr && (work->m_wLanguages & m_wGuideLanguages) == m_wGuideLanguages;
    entry->m_wError = complete ? 0 : 1;
    return BindOk;
}

EBindResult CBindData::ValidateAllGuides()
{
    for (auto& [number, entry] : m_mapGuides)
        ValidateGuide(number);
    return BindOk;
}

EBindResult CBindData::AddServer(const QString& name)
{
    if (m_listServers.size() >= kMaxServers)
        return BindTooManyServers;
    if (CheckServerName(name) != BindOk)
        return BindBadServerName;
    if (FindServer(name) != nullptr)
        return BindServerExists;
    auto server = std::make_unique<CServer>();
    server->m_strName = name;
    m_listServers.push_back(std::move(server));
    return BindOk;
}

EBindResult CBindData::RemoveServer(const QString& name)
{
    const auto it = std::find_if(m_listServers.begin(), m_listServers.end(),
                                 [&](const auto& server) { return server->m_strName == name; });
    if (it == m_listServers.end())
        return BindNoServer;
    m_listServers.erase(it);
    return BindOk;
}

CServer* CBindData::FindServer(const QString& name) const
{
    for (const auto& server : m_listServers)
    {
        if (server->m_strName == name)
            return server.get();
    }
    return nullptr;
}

CServer* CBindData::NextServer(ServerPosition& pos) const
{
    if (pos >= m_listServers.size())
        return nullptr;
    return m_listServers[pos++].get();
}

EBindResult CBindData::ClearServers()
{
    m_listServers.clear();
    return BindOk;
}

int CBindData::GetServerTotalWorks(const CServer& server) const
{
    const int languages = std::popcount(unsigned(m_wGuideLanguages & kAllLanguagesMask));
    return int(server.m_setGuides.size()) * languages;
}

void CBindData::ValidateServer(CServer& server) const
{
    quint16 status = 0;
    if (server.m_nRole == RoleContents)
    {
        if (GetServerTotalWorks(server) > kMaxContentServerWorks)
            status |= ServerOverLimit;
        for (qint32 guideNo : server.m_setGuides)
        {
            if (m_mapGuides.count(guideNo) == 0)
            {
                status |= ServerUnknownGuide;
                break;
            }
        }
    }
    else if (server.m_nRole == RoleEnquete)
    {
        if ((m_wQueryLanguages & m_wGuideLanguages) != m_wGuideLanguages)
            status = ServerQueryIncomplete;
    }
    server.m_wStatus = status;
}

EBindResult CBindData::ValidateServer(const QString& name)
{
    CServer* server = FindServer(name);
    if (server == nullptr)
        return BindNoServer;
    ValidateServer(*server);
    return BindOk;
}

EBindResult CBindData::ValidateAllServers()
{
    for (auto& server : m_listServers)
        ValidateServer(*server);
    return BindOk;
}

QString GetLanguageName(int language)
{
    if (!IsLanguage(language))
        return {};
    return Strings::Load(IDS_LANGUAGE_NAME_FIRST + unsigned(language));
}

QString GetLanguageCode(int language)
{
    if (!IsLanguage(language))
        return {};
    return Strings::Load(IDS_LANGUAGE_CODE_FIRST + unsigned(language));
}
