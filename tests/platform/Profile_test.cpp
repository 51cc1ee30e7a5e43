#include "Printers.h"
#include "common/TestSupport.h"
#include "platform/Profile.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace
{
const QString Title = "Quorvane KP Guide Editor - Contents";

TEST(Profile, ValuesPersistAcrossInstances)
{
    {
        Profile profile(Title);
        EXPECT_TRUE(profile.WriteString("Settings", "ItemWidth", "10,20,30,40,50,60,70,80"));
        EXPECT_TRUE(profile.WriteInt("Settings", "Count", -5));
        EXPECT_TRUE(profile.WriteBinary("Settings", "Place", QByteArray("\x00\x01\xFF", 3)));
        EXPECT_TRUE(
            profile.WriteString("Other", "Text", QString::fromUtf8("日本語, with = and ;")));
    }
    Profile again(Title);
    EXPECT_EQ(again.GetString("Settings", "ItemWidth"), "10,20,30,40,50,60,70,80");
    EXPECT_EQ(again.GetInt("Settings", "Count", 0), -5);
    EXPECT_EQ(again.GetBinary("Settings", "Place"), QByteArray("\x00\x01\xFF", 3));
    EXPECT_EQ(again.GetString("Other", "Text"), QString::fromUtf8("日本語, with = and ;"));
    EXPECT_TRUE(QFileInfo(Profile::FilePath(Title)).isFile());
    EXPECT_EQ(Profile::FilePath(Title),
              qEnvironmentVariable("XDG_CONFIG_HOME") + "/Quorvane/" + Title + ".ini");
}

TEST(Profile, DefaultsForMissingOrMalformedValues)
{
    Profile profile("Defaults Test");
    EXPECT_EQ(profile.GetString("Settings", "Missing", "dflt"), "dflt");
    EXPECT_EQ(profile.GetInt("Settings", "Missing", 7), 7);
    profile.WriteString("Settings", "NotNumber", "12abc");
    EXPECT_EQ(profile.GetInt("Settings", "NotNumber", 7), 7);
    profile.WriteString("Settings", "Number", " 42 ");
    EXPECT_EQ(profile.GetInt("Settings", "Number", 7), 42);
    EXPECT_TRUE(profile.GetBinary("Settings", "Missing").isEmpty());
    EXPECT_TRUE(profile.Contains("Settings", "Number"));
    EXPECT_TRUE(profile.RemoveValue("Settings", "Number"));
    EXPECT_FALSE(profile.Contains("Settings", "Number"));
    EXPECT_TRUE(profile.RemoveSection("Settings"));
    EXPECT_FALSE(profile.Contains("Settings", "NotNumber"));
}

TEST(Profile, TitlesAreSeparateAndSafeAsFileNames)
{
    Profile a("A");
    Profile b("../B/with\\slash");
    a.WriteString("S", "K", "a");
    b.WriteString("S", "K", "b");
    EXPECT_EQ(Profile("A").GetString("S", "K"), "a");
    EXPECT_EQ(Profile("../B/with\\slash").GetString("S", "K"), "b");
    EXPECT_TRUE(b.FilePath().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME") + "/Quorvane/"));
    EXPECT_EQ(QFileInfo(b.FilePath()).absolutePath(),
              qEnvironmentVariable("XDG_CONFIG_HOME") + "/Quorvane");
}

TEST(RecentFileList, MostRecentFirstCappedAndSaved)
{
    Profile profile("Recent Test");
    {
        RecentFileList list(profile, 4);
        for (const char* p : {"/a.xml", "/b.xml", "/c.xml", "/d.xml", "/e.xml"})
            list.Add(p);
        EXPECT_EQ(list.Items(), (QStringList{"/e.xml", "/d.xml", "/c.xml", "/b.xml"}));
        list.Add("/c.xml");
        EXPECT_EQ(list.Items(), (QStringList{"/c.xml", "/e.xml", "/d.xml", "/b.xml"}));
        list.Add("/x/../d.xml");
        EXPECT_EQ(list.Items(), (QStringList{"/x/../d.xml", "/c.xml", "/e.xml", "/b.xml"}));
        list.Remove(1);
        list.Remove(9);
        list.Add("");
        EXPECT_EQ(list.Items(), (QStringList{"/x/../d.xml", "/e.xml", "/b.xml"}));
        list.Save();
    }
    EXPECT_EQ(profile.GetString("Recent File List", "File1"), "/x/../d.xml");
    EXPECT_EQ(profile.GetString("Recent File List", "File3"), "/b.xml");
    EXPECT_FALSE(profile.Contains("Recent File List", "File4"));
    RecentFileList reloaded(profile, 2);
    EXPECT_EQ(reloaded.Items(), (QStringList{"/x/../d.xml", "/e.xml"}));
}
} // namespace
