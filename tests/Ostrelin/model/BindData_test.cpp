// The project data model: result codes in their check order, guide moves, server checks.
#include "Ostrelin/model/BindData.h"
#include "Ostrelin/res/Strings.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{
class BindModelDataTest : public ::testing::Test
{
protected:
    void SetUp() override { Strings::Install(OstrelinStringsJA()); }

    // Registers `count` distinct works (numbers 1..count, file number = work number).
    void AddWorks(int count, quint16 languages = 0x0001)
    {
        for (int n = 1; n <= count; ++n)
            ASSERT_EQ(data.AddWork(n, n, QStringLiteral("w"), languages), BindOk);
    }

    std::vector<std::pair<qint32, qint32>> Guides() const
    {
        std::vector<std::pair<qint32, qint32>> out;
        for (const auto& [number, entry] : data.m_mapGuides)
        {
            EXPECT_EQ(number, entry->m_nGuideNo);
            out.emplace_back(number, entry->m_nWorkNo);
        }
        return out;
    }

    CBindData data;
};

using Pairs = std::vector<std::pair<qint32, qint32>>;

struct ResultCase
{
    const char* what;
    std::function<void(CBindData&)> setup;
    std::function<EBindResult(CBindData&)> call;
    EBindResult expected;
};

TEST_F(BindModelDataTest, ResultCodesFollowTheCheckOrder)
{
    const auto none = [](CBindData&) {};
    const auto work5 = [](CBindData& d) { d.AddWork(1, 5, QString(), 1); };
    const auto guide5 = [](CBindData& d) { d.AddGuide(5, 1); };
    const ResultCase cases[] = {
        {"file 0 beats a bad work number", none,
         [](CBindData& d) { return d.AddWork(0, 0, {}, 1); }, BindBadFileNo},
        {"file 10001", none, [](CBindData& d) { return d.AddWork(10001, 5, {}, 1); },
         BindBadFileNo},
        {"work 10001 with a good file", none,
         [](CBindData& d) { return d.AddWork(5, 10001, {}, 1); }, BindBadWorkNo},
        {"work 0", none, [](CBindData& d) { return d.AddWork(5, 0, {}, 1); }, BindBadWorkNo},
        {"work taken", work5, [](CBindData& d) { return d.AddWork(2, 5, {}, 1); }, BindWorkExists},
        {"bounds accepted", none, [](CBindData& d) { return d.AddWork(10000, 10000, {}, 1); },
         BindOk},
        {"language of a bad work", none,
         [](CBindData& d) { return d.AddWorkLanguage(10001, 1, {}); }, BindBadWorkNo},
        {"language of an unknown work", none,
         [](CBindData& d) { return d.AddWorkLanguage(7, 1, {}); }, BindNoWork},
        {"mark a bad work", none, [](CBindData& d) { return d.MarkWorkUsed(0); }, BindBadWorkNo},
        {"mark an unknown work", none, [](CBindData& d) { return d.MarkWorkUsed(9); }, BindNoWork},
        {"guide 0", none, [](CBindData& d) { return d.AddGuide(0, 1); }, BindBadGuideNo},
        {"guide 1000", none, [](CBindData& d) { return d.AddGuide(1000, 1); }, BindBadGuideNo},
        {"guide taken beats a bad work", guide5, [](CBindData& d) { return d.AddGuide(5, 20000); },
         BindGuideExists},
        {"guide with a bad work", none, [](CBindData& d) { return d.AddGuide(6, 20000); },
         BindBadWorkNo},
        {"guide with an unregistered work", none, [](CBindData& d) { return d.AddGuide(6, 77); },
         BindOk},
        {"remove 1000", none, [](CBindData& d) { return d.RemoveGuide(1000); }, BindBadGuideNo},
        {"remove 0", none, [](CBindData& d) { return d.RemoveGuide(0); }, BindNoGuide},
        {"remove -3", none, [](CBindData& d) { return d.RemoveGuide(-3); }, BindNoGuide},
        {"set work of guide 0", none, [](CBindData& d) { return d.SetGuideWork(0, 1); },
         BindBadGuideNo},
        {"set work of a free guide", none, [](CBindData& d) { return d.SetGuideWork(4, 1); },
         BindNoGuide},
        {"set a bad work", guide5, [](CBindData& d) { return d.SetGuideWork(5, 10001); },
         BindBadWorkNo},
        {"swap with 1000", guide5, [](CBindData& d) { return d.SwapGuides(5, 1000); },
         BindBadGuideNo},
        {"swap two free numbers", none, [](CBindData& d) { return d.SwapGuides(3, 4); },
         BindNoGuide},
        {"swap a free number with itself", none, [](CBindData& d) { return d.SwapGuides(3, 3); },
         BindOk},
        {"validate guide 1000", none, [](CBindData& d) { return d.ValidateGuide(1000); },
         BindBadGuideNo},
        {"validate a free guide", none, [](CBindData& d) { return d.ValidateGuide(8); },
         BindNoGuide},
        {"server name lower case", none,
         [](CBindData& d) { return d.AddServer(QStringLiteral("abcde")); }, BindBadServerName},
        {"server name taken", [](CBindData& d) { d.AddServer(QStringLiteral("AB123")); },
         [](CBindData& d) { return d.AddServer(QStringLiteral("AB123")); }, BindServerExists},
        {"remove an unknown server", none,
         [](CBindData& d) { return d.RemoveServer(QStringLiteral("AB123")); }, BindNoServer},
        {"validate an unknown server", none,
         [](CBindData& d) { return d.ValidateServer(QStringLiteral("AB123")); }, BindNoServer},
    };
    for (const ResultCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        CBindData d;
        c.setup(d);
        const auto works = d.m_mapWorks.size();
        const auto guides = d.m_mapGuides.size();
        const auto servers = d.m_listServers.size();
        EXPECT_EQ(c.call(d), c.expected);
        if (c.expected != BindOk)
        {
            EXPECT_EQ(d.m_mapWorks.size(), works);
            EXPECT_EQ(d.m_mapGuides.size(), guides);
            EXPECT_EQ(d.m_listServers.size(), servers);
        }
    }
}

TEST_F(BindModelDataTest, TenThousandWorksAtMostEvenForATakenNumber)
{
    AddWorks(10000);
    EXPECT_EQ(data.AddWork(1, 1, {}, 1), BindTooManyWorks);
    EXPECT_EQ(data.AddWork(1, 5000, {}, 1), BindTooManyWorks);
    EXPECT_EQ(data.m_mapWorks.size(), 10000u);
    // The file number is still checked first.
    EXPECT_EQ(data.AddWork(0, 1, {}, 1), BindBadFileNo);
}

TEST_F(BindModelDataTest, AddWorkFillsTheSlotsOfItsMask)
{
    data.m_wContentLanguages = 0;
    ASSERT_EQ(data.AddWork(3, 12, QStringLiteral("壺"), 0x0005), BindOk);
    const CWork* work = data.FindWork(12);
    ASSERT_NE(work, nullptr);
    EXPECT_EQ(work->m_nFileNo, 3);
    EXPECT_EQ(work->m_nWorkNo, 12);
    EXPECT_EQ(work->m_wLanguages, 0x0005);
    for (int i = 0; i < kLanguageCount; ++i)
        EXPECT_EQ(work->m_strDescription[i], (i == 0 || i == 2) ? u"壺" : u"") << i;
    EXPECT_EQ(data.m_wContentLanguages, 0x0005);

    ASSERT_EQ(data.AddWorkLanguage(12, 8, QStringLiteral("pot")), BindOk);
    ASSERT_EQ(data.AddWorkLanguage(12, 0, QStringLiteral("つぼ")), BindOk);
    EXPECT_EQ(work->m_wLanguages, 0x0105);
    EXPECT_EQ(work->m_strDescription[0], u"つぼ");
    EXPECT_EQ(work->m_strDescription[8], u"pot");
    EXPECT_EQ(data.m_wContentLanguages, 0x0105);

    EXPECT_EQ(data.ClearWorks(), BindOk);
    EXPECT_TRUE(data.m_mapWorks.empty());
    EXPECT_EQ(data.m_wContentLanguages, 0);
}

TEST_F(BindModelDataTest, UsedFlagsAreSetAndCleared)
{
    AddWorks(3);
    EXPECT_EQ(data.MarkWorkUsed(2), BindOk);
    EXPECT_TRUE(data.FindWork(2)->m_bUsed);
    EXPECT_FALSE(data.FindWork(1)->m_bUsed);
    data.ClearWorkUsedFlags();
    EXPECT_FALSE(data.FindWork(2)->m_bUsed);
}

TEST_F(BindModelDataTest, SwapMovesWorksBetweenNumbers)
{
    struct Case
    {
        const char* what;
        Pairs before;
        qint32 a, b;
        Pairs after;
    };
    const Case cases[] = {
        {"both registered", {{3, 30}, {4, 40}}, 3, 4, {{3, 40}, {4, 30}}},
        {"only the first", {{3, 30}}, 3, 4, {{4, 30}}},
        {"only the second", {{4, 40}, {9, 90}}, 3, 4, {{3, 40}, {9, 90}}},
        {"same number", {{3, 30}}, 3, 3, {{3, 30}}},
        {"far apart", {{1, 10}, {999, 20}}, 999, 1, {{1, 20}, {999, 10}}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        data.ClearGuides();
        for (auto [g, w] : c.before)
            data.AddGuide(g, w);
        for (auto& [g, entry] : data.m_mapGuides)
            entry->m_wError = 1;
        EXPECT_EQ(data.SwapGuides(c.a, c.b), BindOk);
        EXPECT_EQ(Guides(), c.after);
        if (c.a != c.b)
        {
            for (qint32 g : {c.a, c.b})
            {
                if (const CGuideEntry* entry = data.FindGuide(g))
                {
                    EXPECT_EQ(entry->m_wError, 0) << g;
                }
            }
        }
    }
}

TEST_F(BindModelDataTest, RenumberClosesTheGapsKeepingWorksAndErrors)
{
    data.AddGuide(120, 7);
    data.AddGuide(4, 5);
    data.AddGuide(9, 6);
    data.FindGuide(9)->m_wError = 1;
    EXPECT_EQ(data.RenumberGuides(), BindOk);
    EXPECT_EQ(Guides(), (Pairs{{1, 5}, {2, 6}, {3, 7}}));
    EXPECT_EQ(data.FindGuide(2)->m_wError, 1);
    EXPECT_EQ(data.FindGuide(1)->m_wError, 0);
}

TEST_F(BindModelDataTest, GuideValidationNeedsTheWorkInEveryGuideLanguage)
{
    data.AddWork(1, 10, {}, 0x0003);
    data.AddWork(2, 20, {}, 0x0001);
    data.AddGuide(1, 10);
    data.AddGuide(2, 20);
    data.AddGuide(3, 30); // no such work

    struct Case
    {
        quint16 guideLanguages;
        quint16 e1, e2, e3;
    };
    for (const Case& c : {Case{0x0000, 0, 0, 1}, Case{0x0001, 0, 0, 1}, Case{0x0003, 0, 1, 1},
                          Case{0x0004, 1, 1, 1}})
    {
        SCOPED_TRACE(c.guideLanguages);
        data.m_wGuideLanguages = c.guideLanguages;
        EXPECT_EQ(data.ValidateAllGuides(), BindOk);
        EXPECT_EQ(data.FindGuide(1)->m_wError, c.e1);
        EXPECT_EQ(data.FindGuide(2)->m_wError, c.e2);
        EXPECT_EQ(data.FindGuide(3)->m_wError, c.e3);
    }

    // A changed work stays marked until the next validation.
    data.m_wGuideLanguages = 0x0001;
    data.ValidateAllGuides();
    EXPECT_EQ(data.SetGuideWork(3, 10), BindOk);
    EXPECT_EQ(data.FindGuide(3)->m_wError, 1);
    EXPECT_EQ(data.ValidateGuide(3), BindOk);
    EXPECT_EQ(data.FindGuide(3)->m_wError, 0);
}

TEST_F(BindModelDataTest, ServerNameRule)
{
    struct Case
    {
        const char16_t* name;
        EBindResult expected;
    };
    const Case cases[] = {
        {u"0000A", BindOk},
        {u"Z9Z9Z", BindOk},
        {u"ABCDE", BindOk},
        {u"00000", BindBadServerName},
        {u"0000a", BindBadServerName},
        {u"ABCD", BindBadServerName},
        {u"ABCDEF", BindBadServerName},
        {u"AB CD", BindBadServerName},
        {u"AB-CD", BindBadServerName},
        {u"", BindBadServerName},
        {u"ＡBCDE", BindBadServerName},
        {u"ÀBCDE", BindBadServerName},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckServerName(QString::fromUtf16(c.name)), c.expected)
            << QString::fromUtf16(c.name).toStdString();
}

TEST_F(BindModelDataTest, SixtyFourServersAtMostWhateverTheName)
{
    for (int i = 1; i <= 64; ++i)
        ASSERT_EQ(data.AddServer(QStringLiteral("S%1").arg(i, 4, 10, QLatin1Char('0'))), BindOk);
    EXPECT_EQ(data.AddServer(QStringLiteral("ZZZZZ")), BindTooManyServers);
    EXPECT_EQ(data.AddServer(QStringLiteral("bad")), BindTooManyServers);
    EXPECT_EQ(data.AddServer(QStringLiteral("S0001")), BindTooManyServers);
    EXPECT_EQ(data.m_listServers.size(), 64u);
}

TEST_F(BindModelDataTest, ServersKeepTheirOrderAndWalk)
{
    for (const char* name : {"CCCCC", "AAAAA", "BBBBB"})
        ASSERT_EQ(data.AddServer(QString::fromLatin1(name)), BindOk);
    const CServer* fresh = data.FindServer(QStringLiteral("AAAAA"));
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->m_nRole, RoleProgram);
    EXPECT_EQ(fresh->m_nChannel, 1);
    EXPECT_TRUE(fresh->m_setGuides.empty());
    EXPECT_EQ(fresh->m_wStatus, 0);
    EXPECT_EQ(data.FindServer(QStringLiteral("aaaaa")), nullptr);

    EXPECT_EQ(data.RemoveServer(QStringLiteral("AAAAA")), BindOk);
    QStringList walked;
    CBindData::ServerPosition pos = data.FirstServerPosition();
    while (const CServer* server = data.NextServer(pos))
        walked << server->m_strName;
    EXPECT_EQ(walked, (QStringList{QStringLiteral("CCCCC"), QStringLiteral("BBBBB")}));

    CServer* server = data.FindServer(QStringLiteral("BBBBB"));
    server->m_setGuides = {300, 2, 41};
    std::vector<qint32> guides;
    CServer::GuidePosition g = server->FirstGuidePosition();
    for (qint32 n = server->NextGuide(g); n != -1; n = server->NextGuide(g))
        guides.push_back(n);
    EXPECT_EQ(guides, (std::vector<qint32>{2, 41, 300}));
    EXPECT_TRUE(server->HasGuide(41));
    EXPECT_FALSE(server->HasGuide(40));

    data.ClearServers();
    pos = data.FirstServerPosition();
    EXPECT_EQ(data.NextServer(pos), nullptr);
}

TEST_F(BindModelDataTest, ContentServerLimitAndUnknownGuides)
{
    data.m_wGuideLanguages = 0x000F; // four languages
    for (int g = 1; g <= 11; ++g)
        data.AddGuide(g, 1);
    data.AddServer(QStringLiteral("CONT1"));
    CServer* server = data.FindServer(QStringLiteral("CONT1"));
    server->m_nRole = RoleContents;

    struct Case
    {
        const char* what;
        std::set<qint32> guides;
        int total;
        quint16 status;
    };
    const Case cases[] = {
        {"10 x 4 = 40", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 40, 0},
        {"11 x 4 = 44", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 44, ServerOverLimit},
        {"2 not registered", {7, 20}, 8, ServerUnknownGuide},
        {"both", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 500}, 44, ServerOverLimit | ServerUnknownGuide},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        server->m_setGuides = c.guides;
        server->m_wStatus = 0xFF;
        EXPECT_EQ(data.GetServerTotalWorks(*server), c.total);
        EXPECT_EQ(data.ValidateServer(QStringLiteral("CONT1")), BindOk);
        EXPECT_EQ(server->m_wStatus, c.status);
    }

    // Bits above the nine languages do not count.
    data.m_wGuideLanguages = 0xFE01;
    server->m_setGuides = {1, 2};
    EXPECT_EQ(data.GetServerTotalWorks(*server), 2);
}

TEST_F(BindModelDataTest, QuestionnaireAndProgramServers)
{
    data.AddServer(QStringLiteral("QUERY"));
    data.AddServer(QStringLiteral("PROGS"));
    CServer* query = data.FindServer(QStringLiteral("QUERY"));
    CServer* program = data.FindServer(QStringLiteral("PROGS"));
    query->m_nRole = RoleEnquete;
    program->m_setGuides = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}; // unknown and many

    data.m_wGuideLanguages = 0x0003;
    data.m_wQueryLanguages = 0x0001;
    data.ValidateAllServers();
    EXPECT_EQ(query->m_wStatus, ServerQueryIncomplete);
    EXPECT_EQ(program->m_wStatus, 0);

    data.m_wQueryLanguages = 0x0007;
    data.ValidateAllServers();
    EXPECT_EQ(query->m_wStatus, 0);
}

TEST_F(BindModelDataTest, ServerCopyKeepsOnlyValidGuidesAndNoStatus)
{
    CServer source;
    source.m_strName = QStringLiteral("AB123");
    source.m_nRole = RoleContents;
    source.m_nChannel = 13;
    source.m_setGuides = {0, 5, 1000, -4};
    source.m_wStatus = ServerOverLimit;

    CServer target;
    target.m_setGuides = {7};
    target = source;
    EXPECT_EQ(target.m_strName, u"AB123");
    EXPECT_EQ(target.m_nRole, RoleContents);
    EXPECT_EQ(target.m_nChannel, 13);
    EXPECT_EQ(target.m_setGuides, (std::set<qint32>{5}));
    EXPECT_EQ(target.m_wStatus, 0);

    CServer& same = target;
    target = same;
    EXPECT_EQ(target.m_setGuides, (std::set<qint32>{5}));
    EXPECT_EQ(target.m_strName, u"AB123");

    const CServer copy(source);
    EXPECT_EQ(copy.m_setGuides, (std::set<qint32>{5}));

    target.SetName(QString());
    EXPECT_TRUE(target.m_strName.isEmpty());
}

TEST_F(BindModelDataTest, LanguageNamesAndCodes)
{
    const char16_t* names[] = {u"日本語",     u"英語",   u"フランス語", u"ドイツ語",  u"イタリア語",
                               u"スペイン語", u"中国語", u"韓国語",     u"オランダ語"};
    const char* codes[] = {"JP", "EN", "FR", "GE", "IT", "SP", "CN", "KR", "DU"};
    for (int i = 0; i < kLanguageCount; ++i)
    {
        EXPECT_EQ(GetLanguageName(i), QString::fromUtf16(names[i])) << i;
        EXPECT_EQ(GetLanguageCode(i), QString::fromLatin1(codes[i])) << i;
    }
    for (int i : {-1, 9, 100})
    {
        EXPECT_EQ(GetLanguageName(i), QString()) << i;
        EXPECT_EQ(GetLanguageCode(i), QString()) << i;
    }
}

TEST_F(BindModelDataTest, ClearingTheLanguageSettingsKeepsTheTitleFolder)
{
    data.m_nDisplayLanguage = 4;
    data.m_wGuideLanguages = 3;
    data.m_wTitleLanguages = 1;
    data.m_strTitleImage[5] = QStringLiteral("/t.bmp");
    data.m_strTitleFolder = QStringLiteral("/titles");
    data.Clear();
    EXPECT_EQ(data.m_nDisplayLanguage, 0);
    EXPECT_EQ(data.m_wGuideLanguages, 0);
    EXPECT_EQ(data.m_wTitleLanguages, 0);
    EXPECT_TRUE(data.m_strTitleImage[5].isEmpty());
    EXPECT_EQ(data.m_strTitleFolder, u"/titles");
}
} // namespace
