// Wine's side of a Windows tool: paths there and back through the prefix's drive links,
// the ANSI code page of a locale, and the values read from an exported registry key.
#include "Printers.h"
#include "common/TestSupport.h"
#include "platform/Wine.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <gtest/gtest.h>

namespace
{
TEST(WinePath, NativePathsGoToDriveZAndComeBackThroughThePrefixLinks)
{
    EXPECT_EQ(Wine::WindowsPath("/home/a b/\u4e2d.xml"), "Z:\\home\\a b\\\u4e2d.xml");
    EXPECT_EQ(Wine::WindowsPath("/"), "Z:\\");
    EXPECT_EQ(Wine::WindowsPath("rel/x"), "rel\\x");
    EXPECT_EQ(Wine::WindowsPath(""), "");

    const QString prefix = TestSupport::NewFolder(QStringLiteral("prefix"));
    const QString drive = prefix + QStringLiteral("/drive_c");
    QDir().mkpath(prefix + QStringLiteral("/dosdevices"));
    QDir().mkpath(drive);
    QFile::link(QStringLiteral("../drive_c"), prefix + QStringLiteral("/dosdevices/c:"));
    const QByteArray before = qgetenv("WINEPREFIX");
    qputenv("WINEPREFIX", prefix.toUtf8());

    struct Case
    {
        QString windows;
        QString native;
    };
    const Case cases[] = {
        {"Z:\\home\\a b\\q.xml", "/home/a b/q.xml"},
        {"z:/tmp/x", "/tmp/x"}, // no z: link in this prefix: the root
        {"C:\\users\\Me\\q.xml", drive + "/users/Me/q.xml"},
        {"c:\\", drive},
        {"D:\\q.xml", ""},            // a drive the prefix does not map
        {"\\\\server\\share\\q", ""}, // no drive
        {"q.xml", ""},
        {"/already/native", "/already/native"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Wine::NativePath(c.windows), c.native) << c.windows.toStdString();

    // A z: link that points elsewhere wins over the default.
    QFile::link(drive, prefix + QStringLiteral("/dosdevices/z:"));
    EXPECT_EQ(Wine::NativePath("Z:\\x"), drive + "/x");
    qputenv("WINEPREFIX", before);
    if (before.isEmpty())
        qunsetenv("WINEPREFIX");
}

TEST(WineCodePage, TheLocaleDecidesTheAnsiCodePageAndEachOneDecodes)
{
    struct Case
    {
        const char* locale;
        const char* codePage;
    };
    const Case cases[] = {
        {"C", "windows-1252"},           {"C.UTF-8", "windows-1252"},
        {"POSIX", "windows-1252"},       {"en_US.UTF-8", "windows-1252"},
        {"de_DE@euro", "windows-1252"},  {"ja_JP.UTF-8", "CP932"},
        {"ja_JP.eucJP", "CP932"},        {"zh_CN.UTF-8", "windows-936"},
        {"zh_TW.UTF-8", "windows-950"},  {"ko_KR.UTF-8", "windows-949"},
        {"pl_PL.UTF-8", "windows-1250"}, {"ru_RU.UTF-8", "windows-1251"},
        {"el_GR.UTF-8", "windows-1253"}, {"tr_TR.UTF-8", "windows-1254"},
        {"he_IL.UTF-8", "windows-1255"}, {"ar_EG.UTF-8", "windows-1256"},
        {"lt_LT.UTF-8", "windows-1257"}, {"vi_VN.UTF-8", "windows-1258"},
        {"th_TH.UTF-8", "windows-874"},
    };
    for (const Case& c : cases)
    {
        const QByteArray codePage = Wine::AnsiCodePageOf(c.locale);
        EXPECT_EQ(codePage, QByteArray(c.codePage)) << c.locale;
        EXPECT_TRUE(QStringDecoder(codePage.constData()).isValid()) << c.locale;
    }
    QStringDecoder sjis("CP932");
    EXPECT_EQ(sjis(QByteArray("\x93\xfa\x96\x7b")), QStringLiteral("\u65e5\u672c"));
}

QByteArray Exported(const QString& text)
{
    QStringEncoder encoder(QStringEncoder::Utf16LE);
    return QByteArray("\xff\xfe") +
           encoder(QString(text).replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
}

TEST(WineRegistry, AStringValueIsReadFromTheExportedKeyWithItsEscapesUndone)
{
    const QByteArray file = Exported("Windows Registry Editor Version 5.00\n\n"
                                     "[HKEY_CURRENT_USER\\Software\\Quorvane\\KPVantiloq]\n"
                                     "\"LastContentFile\"=\"\"\n"
                                     "\"lastqueryfile\"=\"Z:\\\\tmp\\\\\u00e4 \\\"q\\\".xml\"\n"
                                     "\"Count\"=dword:00000003\n"
                                     "\"Bytes\"=hex:01,02\n\n");
    QString value = QStringLiteral("before");
    EXPECT_TRUE(Wine::ReadExportedValue(file, "LastQueryFile", value));
    EXPECT_EQ(value, "Z:\\tmp\\\u00e4 \"q\".xml");
    EXPECT_TRUE(Wine::ReadExportedValue(file, "LastContentFile", value));
    EXPECT_EQ(value, "");

    value = QStringLiteral("before");
    for (const char* name : {"Count", "Bytes", "Missing"})
        EXPECT_FALSE(Wine::ReadExportedValue(file, name, value)) << name;
    EXPECT_FALSE(Wine::ReadExportedValue(QByteArray(), "LastQueryFile", value));
    EXPECT_FALSE(
        Wine::ReadExportedValue(Exported("\"LastQueryFile\"=\"Z:\\\\cut"), "LastQueryFile", value));
    EXPECT_EQ(value, "before");
}

TEST(WineRegistry, TheCommandsNameTheKeyOfTheCurrentUserAndAnEmptyValue)
{
    const CommandLine clear = Wine::ClearValueCommand("Software\\Quorvane\\KPVantiloq", "V");
    EXPECT_EQ(clear.program, Wine::Program());
    EXPECT_EQ(clear.arguments,
              QStringList({"reg", "add", "HKEY_CURRENT_USER\\Software\\Quorvane\\KPVantiloq", "/v",
                           "V", "/t", "REG_SZ", "/d", "", "/f"}));
    const CommandLine exported = Wine::ExportKeyCommand("Software\\Q", "/tmp/a b/k.reg");
    EXPECT_EQ(exported.arguments, QStringList({"reg", "export", "HKEY_CURRENT_USER\\Software\\Q",
                                               "Z:\\tmp\\a b\\k.reg", "/y"}));
}
} // namespace
