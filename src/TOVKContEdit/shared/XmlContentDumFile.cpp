#include "TOVKContEdit/shared/XmlContentDumFile.h"

#include "TOVKContEdit/res/resource.h"
#include "platform/AtomicFile.h"
#include "platform/Messages.h"
#include "platform/Path.h"
#include "platform/Strings.h"
#include "platform/XmlDocument.h"
#include "platform/XmlWriter.h"

#include <QFile>
#include <QXmlStreamReader>
#include <array>
#include <climits>
#include <cstdint>

namespace
{
const QString kRootName = QStringLiteral("ContentBody");
const QString kInfoName = QStringLiteral("ContentInfo");

enum Field
{
    FieldLangType,
    FieldProductNo,
    FieldProductImgCnt,
    FieldProductImg1,
    FieldProductImg2,
    FieldProductWav,
    FieldProductTxt,
    FieldProductCmt,
    FieldCount
};

const std::array<QString, FieldCount> kFieldNames = {
    QStringLiteral("nLangType"),      QStringLiteral("nProductNo"),
    QStringLiteral("nProductImgCnt"), QStringLiteral("strProductImg1"),
    QStringLiteral("strProductImg2"), QStringLiteral("strProductWav"),
    QStringLiteral("strProductTxt"),  QStringLiteral("strProductCmt"),
};

int FieldIndex(QStringView name)
{
    for (int i = 0; i < FieldCount; ++i)
        if (kFieldNames[i] == name)
            return i;
    return -1;
}

// Leading blanks, an optional sign, then digits up to the first other character; text
// without digits, and a value that does not fit an int, read as 0.
int ToInt(const QString& text)
{
    int i = 0;
    const int n = text.size();
    while (i < n && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    std::int64_t value = 0;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i)
    {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > std::int64_t(INT_MAX) + 1)
            return 0;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX || value < INT_MIN)
        return 0;
    return static_cast<int>(value);
}

void SetField(ContentRecord& record, int field, const QString& text)
{
    switch (field)
    {
    case FieldLangType:
        record.nLangType = ToInt(text);
        break;
    case FieldProductNo:
        record.nProductNo = ToInt(text);
        break;
    case FieldProductImgCnt:
        record.nProductImgCnt = ToInt(text);
        break;
    case FieldProductImg1:
        record.strProductImg1 = text;
        break;
    case FieldProductImg2:
        record.strProductImg2 = text;
        break;
    case FieldProductWav:
        record.strProductWav = text;
        break;
    case FieldProductTxt:
        record.strProductTxt = Path::UnquoteSpaces(text);
        break;
    case FieldProductCmt:
        record.strProductCmt = Path::UnquoteSpaces(text);
        break;
    }
}

QString Quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}
} // namespace

QDomDocument CXmlContentDumFile::CreateDocument(const QString& rootName)
{
    return XmlDocument::WithRoot(rootName).Dom();
}

QDomElement CXmlContentDumFile::AddElement(QDomDocument& doc, QDomElement& parent,
                                           const QString& name, const QString& text)
{
    return XmlDocument::AddElement(doc, parent, name, text);
}

QString CXmlContentDumFile::GetChildText(const QDomElement& element, const QString& name, int index)
{
    return XmlDocument::GetChildText(element, name, index);
}

QDomDocument CXmlContentDumFile::BuildDocument(const ContentRecords& records)
{
    // Characters XML 1.0 cannot carry are replaced by the writer, so a saved file always
    // loads again.
    QDomDocument doc = CreateDocument(kRootName);
    QDomElement root = doc.documentElement();
    for (const ContentRecord& record : records)
    {
        QDomElement info = AddElement(doc, root, kInfoName, QString());
        AddElement(doc, info, kFieldNames[FieldLangType], QString::number(record.nLangType));
        AddElement(doc, info, kFieldNames[FieldProductNo], QString::number(record.nProductNo));
        AddElement(doc, info, kFieldNames[FieldProductImgCnt],
                   QString::number(record.nProductImgCnt));
        AddElement(doc, info, kFieldNames[FieldProductImg1], record.strProductImg1);
        AddElement(doc, info, kFieldNames[FieldProductImg2], record.strProductImg2);
        AddElement(doc, info, kFieldNames[FieldProductWav], record.strProductWav);
        AddElement(doc, info, kFieldNames[FieldProductTxt], Quoted(record.strProductTxt));
        AddElement(doc, info, kFieldNames[FieldProductCmt], Quoted(record.strProductCmt));
    }
    return doc;
}

bool CXmlContentDumFile::SaveDocument(const QString& path, const QDomDocument& doc, QString& error)
{
    const QString target = Path::Resolve(path);
    AtomicFile file(target);
    if (Path::IsDirectory(target) || !file.Open())
    {
        error = FormatString(IDS_FILE_IN_USE, {path});
        return false;
    }
    // The writer's bytes (BOM, then UTF-16LE) go out as they are, without a second copy of a
    // file that may run to a hundred megabytes.
    const QByteArray bytes = XmlWriter::Serialize(doc);
    if (!file.Write(bytes.constData(), bytes.size()) || !file.Commit())
    {
        // The old file stays whole; the code stands where the system's error code stood.
        error = FormatString(IDS_XML_SAVE_FAILED, {file.ErrorString(), 0x80004005u});
        return false;
    }
    return true;
}

bool CXmlContentDumFile::Save(const QString& path, const ContentRecords& records)
{
    QString error;
    if (!SaveDocument(path, BuildDocument(records), error))
    {
        AfxMessageBox(error, MB_OK);
        return false;
    }
    return true;
}

bool CXmlContentDumFile::Load(const QString& path, ContentRecords& records)
{
    records.clear();
    const QString source = Path::Resolve(path);
    if (!Path::IsRegularFile(source))
        return false;
    QFile file(source);
    if (file.size() > MaxFileSize || !file.open(QIODevice::ReadOnly))
        return false;
    // Room for the bytes the file holds, not for the largest file accepted.
    const QByteArray bytes = file.read(file.size());
    if (bytes.size() > MaxFileSize || file.error() != QFileDevice::NoError)
        return false;
    return LoadBytes(bytes, records);
}

bool CXmlContentDumFile::LoadBytes(const QByteArray& bytes, ContentRecords& records)
{
    // One pass over the text with the meaning of a DOM walk: a record per ContentInfo
    // anywhere below the root, in document order; each field the text of the first
    // element of its name below that ContentInfo (nested ones included).
    records.clear();
    struct Target
    {
        std::size_t record;
        int field;
    };
    struct Frame
    {
        qsizetype captureStart = -1;
        std::vector<Target> targets;
        bool isInfo = false;
    };
    struct OpenInfo
    {
        std::size_t record;
        unsigned found = 0;
    };
    std::vector<Frame> frames;
    std::vector<OpenInfo> infos;
    QString text;
    int captures = 0;
    bool rootSeen = false;

    QXmlStreamReader reader(bytes);
    while (!reader.atEnd())
    {
        switch (reader.readNext())
        {
        case QXmlStreamReader::DTD:
            // Documents with their own definitions are refused, entity expansion with them.
            records.clear();
            return false;
        case QXmlStreamReader::StartElement:
        {
            const QStringView name = reader.qualifiedName();
            if (frames.empty())
            {
                if (rootSeen || name != kRootName)
                {
                    records.clear();
                    return false;
                }
                rootSeen = true;
            }
            Frame frame;
            const int field = FieldIndex(name);
            if (field >= 0)
            {
                for (OpenInfo& info : infos)
                {
                    if (!(info.found & (1u << field)))
                    {
                        info.found |= 1u << field;
                        frame.targets.push_back({info.record, field});
                    }
                }
                if (!frame.targets.empty())
                {
                    frame.captureStart = text.size();
                    ++captures;
                }
            }
            else if (name == kInfoName && !frames.empty())
            {
                ContentRecord record;
                record.nLangType = 0;
                record.nProductNo = 0;
                records.push_back(record);
                infos.push_back({records.size() - 1, 0});
                frame.isInfo = true;
            }
            frames.push_back(std::move(frame));
            break;
        }
        case QXmlStreamReader::Characters:
            if (captures > 0)
                text += reader.text();
            break;
        case QXmlStreamReader::EndElement:
        {
            Frame& frame = frames.back();
            if (!frame.targets.empty())
            {
                const QString value = text.mid(frame.captureStart);
                for (const Target& target : frame.targets)
                    SetField(records[target.record], target.field, value);
                if (--captures == 0)
                    text.clear();
            }
            if (frame.isInfo)
                infos.pop_back();
            frames.pop_back();
            break;
        }
        default:
            break;
        }
    }
    if (reader.hasError() || !rootSeen)
    {
        records.clear();
        return false;
    }
    return true;
}
