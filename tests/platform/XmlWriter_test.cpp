#include "Printers.h"
#include "common/TestSupport.h"
#include "platform/XmlDocument.h"
#include "platform/XmlWriter.h"

#include <QFile>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
QString Utf16Le(const QByteArray& bytes)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()),
                              bytes.size() / 2);
}

XmlDocument SampleDocument()
{
    XmlDocument doc = XmlDocument::WithRoot("ContentBody");
    QDomElement info = doc.AddElement(doc.Root(), "ContentInfo");
    doc.AddElement(info, "nLangType", "0");
    doc.AddElement(info, "strProductImg1", "");
    doc.AddElement(info, "strProductTxt", "\"a < b & c > d\"");
    QDomElement nested = doc.AddElement(info, "Nested");
    doc.AddElement(nested, "Leaf", "x");
    doc.AddElement(doc.Root(), "ContentInfo");
    return doc;
}

TEST(XmlWriter, StreamWritesTheBytesOfTheSameTree)
{
    const QStringList texts = {
        "",
        "plain",
        "a < b & c > d \"q\" 'a' \t\r\n",
        QString("bad ") + QChar(0x01) + QChar(0xD800) + QChar(0xFFFF) + " " + QChar(0xD83C) +
            QChar(0xDFB5),
    };
    XmlDocument doc = XmlDocument::WithRoot("Root");
    XmlWriter::Stream stream;
    stream.Open(0, u"Root");
    for (const QString& text : texts)
    {
        QDomElement item = doc.AddElement(doc.Root(), "Item");
        doc.AddElement(item, "Text", text);
        stream.Open(1, u"Item");
        stream.Leaf(2, u"Text", text);
        stream.Close(1, u"Item");
    }
    doc.AddElement(doc.Root(), "Empty");
    stream.Leaf(1, u"Empty", {});
    stream.Close(0, u"Root");
    EXPECT_EQ(QByteArray(stream.Data(), stream.Size()), XmlWriter::Serialize(doc.Dom()));

    XmlWriter::Stream lone;
    lone.Leaf(0, u"Root", {});
    EXPECT_EQ(QByteArray(lone.Data(), lone.Size()),
              XmlWriter::Serialize(XmlDocument::WithRoot("Root").Dom()));
    lone.Clear();
    EXPECT_EQ(lone.Size(), 0);
}

TEST(XmlWriter, WritesTheExactBytes)
{
    const QByteArray bytes = XmlWriter::Serialize(SampleDocument().Dom());
    ASSERT_GE(bytes.size(), 2);
    EXPECT_EQ(bytes.left(2), QByteArray("\xFF\xFE", 2));
    EXPECT_EQ(bytes.size() % 2, 0);
    const QString expected = "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\"?>\r\n"
                             "<ContentBody>\r\n"
                             "\t<ContentInfo>\r\n"
                             "\t\t<nLangType>0</nLangType>\r\n"
                             "\t\t<strProductImg1/>\r\n"
                             "\t\t<strProductTxt>\"a &lt; b &amp; c &gt; d\"</strProductTxt>\r\n"
                             "\t\t<Nested>\r\n"
                             "\t\t\t<Leaf>x</Leaf>\r\n"
                             "\t\t</Nested>\r\n"
                             "\t</ContentInfo>\r\n"
                             "\t<ContentInfo/>\r\n"
                             "</ContentBody>\r\n";
    EXPECT_EQ(Utf16Le(bytes.mid(2)), expected);
    EXPECT_EQ(XmlWriter::SerializeText(SampleDocument().Dom()), expected);
}

TEST(XmlWriter, TextWithLineBreaksAndNonAsciiRoundTrips)
{
    XmlDocument doc = XmlDocument::WithRoot("R");
    const QString text = QString::fromUtf8("一行目\r\n二行目 🎵 'q' \"dq\"");
    doc.AddElement(doc.Root(), "T", text);
    XmlDocument back;
    ASSERT_TRUE(back.LoadBytes(XmlWriter::Serialize(doc.Dom())));
    // The parser turns CR LF into LF, as any XML reader must.
    QString expected = text;
    expected.replace("\r\n", "\n");
    EXPECT_EQ(XmlDocument::GetChildText(back.Root(), "T"), expected);
}

TEST(XmlWriter, MixedContentStaysOnOneLineAndEmptyTextIsAnEmptyElement)
{
    XmlDocument doc = XmlDocument::WithRoot("R");
    QDomElement p = doc.AddElement(doc.Root(), "P", "before ");
    doc.AddElement(p, "B", "bold");
    p.appendChild(doc.Dom().createTextNode(" after"));
    doc.Root().appendChild(doc.Dom().createElement("E")).appendChild(doc.Dom().createTextNode(""));
    doc.Root()
        .appendChild(doc.Dom().createElement("C"))
        .appendChild(doc.Dom().createCDATASection("<x>]]>"));
    const QString text = XmlWriter::SerializeText(doc.Dom());
    EXPECT_EQ(
        text,
        "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\"?>\r\n<R>\r\n"
        "\t<P>before <B>bold</B> after</P>\r\n\t<E/>\r\n\t<C>&lt;x&gt;]]&gt;</C>\r\n</R>\r\n");
    XmlDocument back;
    ASSERT_TRUE(back.LoadBytes(XmlWriter::Serialize(doc.Dom())));
    EXPECT_EQ(XmlWriter::SerializeText(back.Dom()), text);
}

TEST(XmlWriter, AttributesAreEscaped)
{
    XmlDocument doc = XmlDocument::WithRoot("R");
    doc.Root().setAttribute("v", "a\"b<c&d\te\nf");
    doc.Root().setAttribute("b", "2");
    doc.Root().setAttribute("a", "1");
    const QString text = XmlWriter::SerializeText(doc.Dom());
    EXPECT_TRUE(text.contains("<R a=\"1\" b=\"2\" v=\"a&quot;b&lt;c&amp;d&#9;e&#10;f\"/>"))
        << text.toStdString();
    XmlDocument back;
    ASSERT_TRUE(back.LoadBytes(XmlWriter::Serialize(doc.Dom())));
    EXPECT_EQ(back.Root().attribute("v"), "a\"b<c&d\te\nf");
}

TEST(XmlWriter, CharactersXmlCannotCarryAreReplacedSoTheFileLoads)
{
    const QString bad = QString("a") + QChar(0x01) + "b" + QChar(0xD800) + "c" + QChar(0xFFFF) +
                        QString::fromUtf8("🎵");
    EXPECT_TRUE(XmlWriter::HasInvalidXmlChars(bad));
    EXPECT_FALSE(XmlWriter::HasInvalidXmlChars(QString::fromUtf8("tab\tcr\rlf\n🎵")));
    EXPECT_EQ(XmlWriter::ReplaceInvalidXmlChars(bad), QString("a") + QChar(0xFFFD) + "b" +
                                                          QChar(0xFFFD) + "c" + QChar(0xFFFD) +
                                                          QString::fromUtf8("🎵"));
    XmlDocument doc = XmlDocument::WithRoot("R");
    doc.AddElement(doc.Root(), "T", bad);
    XmlDocument back;
    ASSERT_TRUE(back.LoadBytes(XmlWriter::Serialize(doc.Dom())));
    EXPECT_EQ(XmlDocument::GetChildText(back.Root(), "T"), XmlWriter::ReplaceInvalidXmlChars(bad));
}

// Deeper than one run of tabs, and a text far larger than the writer's first buffer.
TEST(XmlWriter, DeepTreesAndLongTextsKeepTheirShape)
{
    constexpr int Depth = 40;
    XmlDocument doc = XmlDocument::WithRoot("R");
    QDomElement parent = doc.Root();
    for (int d = 1; d < Depth; ++d)
        parent = doc.AddElement(parent, QString("L%1").arg(d));
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += QString("a&b<c") + QChar(0x02) + QString::fromUtf8("日");
    doc.AddElement(parent, "T", text);

    QString expected = "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"no\"?>\r\n<R>\r\n";
    for (int d = 1; d < Depth; ++d)
        expected += QString(d, u'\t') + QString("<L%1>\r\n").arg(d);
    expected += QString(Depth, u'\t') + "<T>";
    for (int i = 0; i < 20000; ++i)
        expected += QString("a&amp;b&lt;c") + QChar(0xFFFD) + QString::fromUtf8("日");
    expected += "</T>\r\n";
    for (int d = Depth - 1; d >= 1; --d)
        expected += QString(d, u'\t') + QString("</L%1>\r\n").arg(d);
    expected += "</R>\r\n";

    const QByteArray bytes = XmlWriter::Serialize(doc.Dom());
    EXPECT_EQ(bytes.left(2), QByteArray("\xFF\xFE", 2));
    EXPECT_EQ(Utf16Le(bytes.mid(2)), expected);
    EXPECT_EQ(XmlWriter::SerializeText(doc.Dom()), expected);
}

TEST(XmlWriter, SaveReplacesTheFileWhole)
{
    const QString folder = TestSupport::NewFolder();
    const QString path = folder + "/out.xml";
    TestSupport::WriteFile(path, "old contents");
    const XmlDocument doc = SampleDocument();
    ASSERT_TRUE(XmlWriter::Save(doc.Dom(), path));
    EXPECT_EQ(TestSupport::ReadFile(path), XmlWriter::Serialize(doc.Dom()));
    QString error;
    EXPECT_FALSE(XmlWriter::Save(doc.Dom(), folder + "/missing/out.xml", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(XmlDocument, LoadsWhatTheWriterWroteAndOtherEncodings)
{
    const QString folder = TestSupport::NewFolder();
    const QString path = folder + "/c.xml";
    ASSERT_TRUE(XmlWriter::Save(SampleDocument().Dom(), path));
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(path));
    EXPECT_EQ(doc.Root().tagName(), "ContentBody");
    EXPECT_EQ(doc.Root().elementsByTagName("ContentInfo").size(), 2);
    EXPECT_EQ(XmlDocument::GetChildText(doc.Root(), "nLangType"), "0");
    EXPECT_EQ(XmlDocument::GetChildText(doc.Root(), "strProductImg1"), "");
    EXPECT_EQ(XmlDocument::GetChildText(doc.Root(), "Leaf", 0), "x");
    EXPECT_EQ(XmlDocument::GetChildText(doc.Root(), "Leaf", 1), "");
    EXPECT_EQ(XmlDocument::GetChildText(doc.Root(), "Leaf", -1), "");

    XmlDocument utf8;
    ASSERT_TRUE(
        utf8.LoadBytes("<?xml version=\"1.0\" encoding=\"UTF-8\"?><r><t>\xE6\x97\xA5</t></r>"));
    EXPECT_EQ(XmlDocument::GetChildText(utf8.Root(), "t"), QString::fromUtf8("日"));
}

TEST(XmlDocument, RejectsBrokenInputWithoutCrashing)
{
    const QByteArray good = XmlWriter::Serialize(SampleDocument().Dom());
    const QByteArray cases[] = {
        QByteArray(),
        "not xml at all",
        "<r><a></r>",
        "<?xml version=\"1.0\"?>",
        good.left(good.size() / 2),
        good.left(3),
        QByteArray(1000, '\0'),
        "<r>&undefined;</r>",
        "<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d "
        "\"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
        "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f "
        "\"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">]>"
        "<r>&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;</r>",
    };
    for (const QByteArray& bytes : cases)
    {
        XmlDocument doc;
        EXPECT_FALSE(doc.LoadBytes(bytes)) << bytes.left(40).toStdString();
        EXPECT_TRUE(doc.Root().isNull());
    }
    XmlDocument missing;
    EXPECT_FALSE(missing.LoadFile(TestSupport::NewFolder() + "/none.xml"));
    XmlDocument folder;
    EXPECT_FALSE(folder.LoadFile(TestSupport::NewFolder()));
}
TEST(XmlDocument, LoadFileTakesOnlyRegularFiles)
{
    // A pipe without a writer would hold the reader in its open; a device would never end.
    const QString fifo = TestSupport::NewFolder() + "/pipe.xml";
    const QByteArray native = QFile::encodeName(fifo);
    ASSERT_EQ(mkfifo(native.constData(), 0600), 0);
    auto load = std::async(std::launch::async, [&] { return XmlDocument().LoadFile(fifo); });
    const bool waits = load.wait_for(std::chrono::seconds(2)) == std::future_status::timeout;
    if (waits)
        close(open(native.constData(), O_WRONLY)); // lets the reader go
    EXPECT_FALSE(waits);
    EXPECT_FALSE(load.get());
    EXPECT_FALSE(XmlDocument().LoadFile("/dev/zero"));
}
} // namespace
