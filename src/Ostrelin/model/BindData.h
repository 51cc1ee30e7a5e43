#pragma once
// The bind project in memory: language settings, the works found in the converted content
// files, the guide-number registrations and the distribution servers. Every operation
// checks in a fixed order and changes nothing when a check fails.
#include <QString>
#include <QtGlobal>
#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <vector>

constexpr int kLanguageCount = 9;
constexpr qint32 kMaxWorkNo = 10000;
constexpr qint32 kMaxFileNo = 10000;
constexpr std::size_t kMaxWorks = 10000;
constexpr qint32 kMaxGuideNo = 999;
constexpr std::size_t kMaxServers = 64;
constexpr int kMaxContentServerWorks = 40;
// Only bits 0..8 name languages.
constexpr quint16 kAllLanguagesMask = 0x01FF;

enum EBindResult : qint32
{
    BindOk = 0,
    BindBadFileNo = 1,
    BindBadWorkNo = 2,
    BindWorkExists = 3,
    BindNoWork = 4,
    BindBadGuideNo = 5,
    BindGuideExists = 6,
    BindNoGuide = 7,
    // 8 is not used.
    BindTooManyWorks = 9,
    BindBadServerName = 10,
    BindServerExists = 11,
    BindNoServer = 12,
    BindTooManyServers = 13,
};

enum EServerRole : qint32
{
    RoleProgram = 0,
    RoleContents = 1,
    RoleEnquete = 2,
};

enum EServerStatus : quint16
{
    ServerOverLimit = 1,
    ServerUnknownGuide = 2,
    ServerQueryIncomplete = 4,
};

class CLanguageSettings
{
public:
    void Clear();

    qint32 m_nDisplayLanguage = 0;
    quint16 m_wGuideLanguages = 0;
    quint16 m_wTitleLanguages = 0;
    std::array<QString, kLanguageCount> m_strTitleImage;
    // Start folder of the next title browse; not stored in the project file.
    QString m_strTitleFolder;
};

class CWork
{
public:
    void SetDescription(int language, const QString& text);

    qint32 m_nFileNo = 0;
    qint32 m_nWorkNo = 0;
    std::array<QString, kLanguageCount> m_strDescription;
    quint16 m_wLanguages = 0;
    bool m_bUsed = false;
};

class CGuideEntry
{
public:
    qint32 m_nGuideNo = 0;
    qint32 m_nWorkNo = 0;
    quint16 m_wError = 0;
};

class CServer
{
public:
    using GuidePosition = std::set<qint32>::const_iterator;

    CServer() = default;
    // A copy is taken like operator= does: status cleared, only guide numbers 1..999.
    CServer(const CServer& other);
    CServer& operator=(const CServer& other);

    void SetName(const QString& text);
    bool HasGuide(qint32 guideNo) const;

    GuidePosition FirstGuidePosition() const { return m_setGuides.begin(); }
    // The guide number at pos, stepping pos on; -1 at the end.
    qint32 NextGuide(GuidePosition& pos) const;

    QString m_strName;
    qint32 m_nRole = RoleProgram;
    qint32 m_nChannel = 1;
    std::set<qint32> m_setGuides;
    quint16 m_wStatus = 0;
};

EBindResult CheckServerName(const QString& name);

class CBindData : public CLanguageSettings
{
public:
    using WorkMap = std::map<qint32, std::unique_ptr<CWork>>;
    using GuideMap = std::map<qint32, std::unique_ptr<CGuideEntry>>;
    using ServerList = std::vector<std::unique_ptr<CServer>>;
    using ServerPosition = std::size_t;

    CBindData() = default;
    CBindData(const CBindData&) = delete;
    CBindData& operator=(const CBindData&) = delete;
    ~CBindData();

    // Works
    EBindResult AddWork(qint32 fileNo, qint32 workNo, const QString& description,
                        quint16 languages);
    EBindResult AddWorkLanguage(qint32 workNo, int language, const QString& description);
    EBindResult ClearWorks();
    CWork* FindWork(qint32 workNo) const;
    EBindResult MarkWorkUsed(qint32 workNo);
    EBindResult ClearWorkUsedFlags();

    // Guide numbers
    EBindResult AddGuide(qint32 guideNo, qint32 workNo);
    CGuideEntry* FindGuide(qint32 guideNo) const;
    EBindResult RemoveGuide(qint32 guideNo);
    EBindResult SetGuideWork(qint32 guideNo, qint32 workNo);
    EBindResult SwapGuides(qint32 a, qint32 b);
    EBindResult ClearGuides();
    EBindResult RenumberGuides();
    EBindResult ValidateGuide(qint32 guideNo);
    EBindResult ValidateAllGuides();

    // Servers
    EBindResult AddServer(const QString& name);
    EBindResult RemoveServer(const QString& name);
    CServer* FindServer(const QString& name) const;
    ServerPosition FirstServerPosition() const { return 0; }
    // The server at pos, stepping pos on; null at the end.
    CServer* NextServer(ServerPosition& pos) const;
    EBindResult ClearServers();
    int GetServerTotalWorks(const CServer& server) const;
    EBindResult ValidateServer(const QString& name);
    EBindResult ValidateAllServers();

    void SetContentXmlPath(const QString& path) { m_strContentXml = path; }
    void SetQueryXmlPath(const QString& path) { m_strQueryXml = path; }

    quint16 m_wQueryLanguages = 0;
    WorkMap m_mapWorks;
    quint16 m_wContentLanguages = 0;
    GuideMap m_mapGuides;
    ServerList m_listServers;
    QString m_strContentXml;
    QString m_strQueryXml;

private:
    void ValidateServer(CServer& server) const;
};

// The language's Japanese name and its two-letter code from the string table; "" outside 0..8.
QString GetLanguageName(int language);
QString GetLanguageCode(int language);
