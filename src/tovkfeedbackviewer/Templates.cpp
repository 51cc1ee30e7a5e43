#include "tovkfeedbackviewer/Templates.h"

#include "tovkfeedbackviewer/ReportFile.h"
#include "tovkfeedbackviewer/Text.h"

#include <QFile>
#include <QStringDecoder>
#include <QtEndian>

namespace
{
enum class Encoding
{
    Utf16WithBom,
    Utf16,
    EightBit,
    Utf8WithBom,
};

struct Resource
{
    unsigned id;
    const char* source; // file in the program's resources (UTF-8)
    const char* fileName;
    Encoding encoding;
};

constexpr Resource kResources[] = {
    {IDR_DEFINE_XML, "tovk_define.xml", "tovk_define.xml", Encoding::Utf16WithBom},
    {IDR_COMMON_XSL, "tovk_common.xsl", "tovk_common.xsl", Encoding::Utf16WithBom},
    {IDR_LOG_HTML, "log.html", "log.html", Encoding::Utf16WithBom},
    {IDR_LOG_XSL, "log.xsl", "log.xsl", Encoding::Utf16WithBom},
    {IDR_ENQ_HTML, "enq.html", "enq.html", Encoding::Utf16WithBom},
    {IDR_ENQ_XSL, "enq.xsl", "enq.xsl", Encoding::Utf16WithBom},
    {IDR_STYLE_CSS, "style.css", "style.css", Encoding::EightBit},
    {IDR_VIEW_JS, "tovk_view.js", "tovk_view.js", Encoding::Utf8WithBom},
    {IDR_INDEX_JP_HEAD, "index_jp_head.html", "", Encoding::Utf16WithBom},
    {IDR_INDEX_JP_TAIL, "index_jp_tail.html", "", Encoding::Utf16},
    {IDR_INDEX_EN_HEAD, "index_en_head.html", "", Encoding::Utf16WithBom},
    {IDR_INDEX_EN_TAIL, "index_en_tail.html", "", Encoding::Utf16},
};

const Resource* FindResource(unsigned id)
{
    for (const Resource& resource : kResources)
    {
        if (resource.id == id)
            return &resource;
    }
    return nullptr;
}

QByteArray Utf16Le(const QString& text, bool bom)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2 + 2);
    if (bom)
        bytes.append("\xFF\xFE", 2);
    for (const QChar ch : text)
    {
        bytes.append(static_cast<char>(ch.unicode() & 0xFF));
        bytes.append(static_cast<char>(ch.unicode() >> 8));
    }
    return bytes;
}

QString SourceText(const Resource& resource)
{
    QFile file(QStringLiteral(":/tovkfeedbackviewer/templates/") +
               QLatin1StringView(resource.source));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    // Sources keep LF line ends; the files carry CR LF.
    QString text = QString::fromUtf8(file.readAll());
    text.remove(u'\r');
    text.replace(u'\n', QLatin1StringView("\r\n"));
    return text;
}

bool WriteIndex(const QString& path, int count, unsigned head, unsigned tail, bool japanese)
{
    CReportFile file(path);
    file.WriteBytes(TemplateBytes(head));
    for (int i = 0; i < count; ++i)
    {
        QString nn;
        AppendTwoDigits(nn, static_cast<unsigned>(i));
        file.Line(1, u"<tr>");
        if (i == 0)
        {
            QString th = QStringLiteral("<th class=\"index\" rowspan=\"");
            AppendNumber(th, count);
            th += QLatin1StringView("\">");
            file.Line(2, th);
            file.Line(3, japanese ? QStringView(u"アンケート") : QStringView(u"Survey"));
            file.Line(2, u"</th>");
        }
        file.Line(2, u"<td class=\"index\">");
        const QString language = japanese ? QStringLiteral("Japanese") : QStringLiteral("English");
        const QString title =
            japanese ? QStringLiteral("アンケート結果 ") : QStringLiteral("Survey results ");
        file.Line(3, QStringLiteral("<a href=\"Data/enq.html?sysLang=%1?xml=ENQ_%2.xml\">%3%2</a>")
                         .arg(language, nn, title));
        file.Line(2, u"</td>");
        file.Line(2, u"<td class=\"index\">");
        file.Line(3, QStringLiteral("<a href=\"Data/ENQ_%1.csv\">ENQ_%1.csv</a>").arg(nn));
        file.Line(2, u"</td>");
        file.Line(1, u"</tr>");
    }
    file.WriteBytes(TemplateBytes(tail));
    file.Close();
    return true;
}
} // namespace

QByteArray TemplateBytes(unsigned resourceId)
{
    const Resource* resource = FindResource(resourceId);
    if (!resource)
        return QByteArray();
    const QString text = SourceText(*resource);
    switch (resource->encoding)
    {
    case Encoding::Utf16WithBom:
        return Utf16Le(text, true);
    case Encoding::Utf16:
        return Utf16Le(text, false);
    case Encoding::Utf8WithBom:
        return "\xEF\xBB\xBF" + text.toUtf8();
    case Encoding::EightBit:
        break;
    }
    return text.toUtf8();
}

QString TemplateFileName(unsigned resourceId)
{
    const Resource* resource = FindResource(resourceId);
    return resource ? QString::fromLatin1(resource->fileName) : QString();
}

void ExtractTemplate(const QString& path, unsigned resourceId)
{
    CReportFile file(path);
    file.WriteBytes(TemplateBytes(resourceId));
    file.Close();
}

void WriteTemplates(const QString& dataFolder)
{
    for (const unsigned id : {IDR_DEFINE_XML, IDR_COMMON_XSL, IDR_LOG_HTML, IDR_LOG_XSL,
                              IDR_ENQ_HTML, IDR_ENQ_XSL, IDR_STYLE_CSS, IDR_VIEW_JS})
        ExtractTemplate(dataFolder + u'/' + TemplateFileName(id), id);

    // The label table for pages opened from disk, where the browser will not load it.
    const QString defineName = TemplateFileName(IDR_DEFINE_XML);
    QString defineText = SourceText(*FindResource(IDR_DEFINE_XML));
    CReportFile script(CReportFile::ScriptPath(dataFolder + u'/' + defineName));
    script.WriteBytes(CReportFile::ScriptFor(defineName, defineText));
    script.Close();
}

bool WriteIndexJp(const QString& path, int count)
{
    return WriteIndex(path, count, IDR_INDEX_JP_HEAD, IDR_INDEX_JP_TAIL, true);
}

bool WriteIndexEn(const QString& path, int count)
{
    return WriteIndex(path, count, IDR_INDEX_EN_HEAD, IDR_INDEX_EN_TAIL, false);
}
