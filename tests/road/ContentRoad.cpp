#include "road/ContentRoad.h"

#include "common/TestSupport.h"
#include "road/sample/SampleData.h"

#include <QDateTime>
#include <QDomDocument>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <map>

namespace ContentRoad
{
namespace
{
// Control ids of the add dialog (template 138) and the commands of the main frame.
const QString kAddDialog = "138";
const QString kItemNumber = "1008";
const QString kComment = "1015";
const QString kImage1 = "1000";
const QString kImage2 = "1002";
const QString kVoice = "1004";
const QString kDescription = "1010";
const QString kLanguageTab = "1026";
const QString kOk = "1";
const QString kCancel = "2";
const QString kEditAdd = "32771";
const QString kFileSave = "57603";
const QString kFileOutput = "32786";
const QString kFileMenu = "61500";
const QString kProgress = "148";
const QString kAppExit = "57665";

QJsonObject Named(const QString& name)
{
    return {{"name", name}};
}
} // namespace

std::vector<Work> SampleWorks(const QString& convertFolder)
{
    const QString bmp = convertFolder + "/input/bmp/";
    const QString wav = convertFolder + "/input/wav/";
    std::vector<Work> works(2);
    works[0].number = 1;
    works[0].comment = "Water lilies";
    works[0].japanese = QString::fromUtf8("池に浮かぶ睡蓮の絵です。");
    works[0].english = "Water lilies on a pond.";
    works[1].number = 2;
    works[1].comment = "Thinker";
    works[1].japanese = QString::fromUtf8("考える人の像です。");
    works[1].english = "A thinking man in bronze.";
    const char* codes[] = {"jp", "en"};
    const QColor colours[2][2] = {{QColor(40, 90, 160), QColor(60, 140, 70)},
                                  {QColor(150, 60, 40), QColor(120, 100, 30)}};
    for (int w = 0; w < 2; ++w)
        for (int l = 0; l < 2; ++l)
        {
            const QString stem = QString("work%1_%2").arg(w + 1).arg(codes[l]);
            works[w].image1[l] = TestSupport::WriteFile(
                bmp + stem + "_a.bmp",
                SampleData::WorkPicture(QString("%1 %2").arg(w + 1).arg(codes[l]).toUpper(),
                                        colours[w][l]));
            // The second work has two pictures.
            if (w == 1)
                works[w].image2[l] = TestSupport::WriteFile(
                    bmp + stem + "_b.bmp",
                    SampleData::WorkPicture(QString("%1 %2 B").arg(w + 1).arg(codes[l]).toUpper(),
                                            colours[w][1 - l]));
            works[w].voice[l] = TestSupport::WriteFile(
                wav + stem + ".wav", SampleData::Voice(1.0 + 0.5 * l, 330.0 + 110.0 * w));
        }
    return works;
}

void AddWork(const Road::Session& editor, const Work& work, const QString& shot)
{
    ASSERT_TRUE(editor.ClickAction(kEditAdd));
    ASSERT_TRUE(editor.WaitWindow(kAddDialog)) << "no add dialog";
    ASSERT_TRUE(editor.Enter(kAddDialog, Named(kItemNumber), QString::number(work.number)));
    ASSERT_TRUE(editor.Enter(kAddDialog, Named(kComment), work.comment));
    for (int language = 0; language < 2; ++language)
    {
        ASSERT_TRUE(editor.ClickTab(kAddDialog, kLanguageTab, language));
        ASSERT_TRUE(editor.WaitControl(kAddDialog, Named(kLanguageTab),
                                       [&](const QJsonObject& tab)
                                       { return tab["current"].toInt() == language; }));
        ASSERT_TRUE(editor.Enter(kAddDialog, Named(kImage1), work.image1[language]));
        if (!work.image2[language].isEmpty())
        {
            ASSERT_TRUE(editor.Enter(kAddDialog, Named(kImage2), work.image2[language]));
        }
        ASSERT_TRUE(editor.Enter(kAddDialog, Named(kVoice), work.voice[language]));
        ASSERT_TRUE(editor.Enter(kAddDialog, Named(kDescription),
                                 language == 0 ? work.japanese : work.english));
    }
    if (!shot.isEmpty())
        editor.Shot(shot);
    ASSERT_TRUE(editor.Click(kAddDialog, Named(kOk)));
    // Either the dialog goes, or it explains what it refuses.
    QString refused;
    ASSERT_TRUE(Road::WaitUntil(
        [&]
        {
            const QJsonObject box = editor.Window("QMessageBox");
            if (!box.contains("error"))
            {
                refused = box["text"].toString();
                return true;
            }
            return editor.Window(kAddDialog).contains("error");
        },
        20000));
    if (!refused.isEmpty())
    {
        editor.Answer("OK");
        editor.Click(kAddDialog, Named(kCancel));
        FAIL() << "the add dialog refused work " << work.number << ": " << refused.toStdString();
    }
}

void Save(const Road::Session& editor, const QString& path, bool asks, const QString& shot)
{
    const QDateTime before = QFileInfo(path).lastModified();
    ASSERT_TRUE(editor.ClickAction(kFileSave));
    if (asks)
    {
        ASSERT_TRUE(editor.WaitWindow("QFileDialog")) << "no save dialog";
        ASSERT_TRUE(editor.Enter("QFileDialog", Named("fileNameEdit"), path));
        if (!shot.isEmpty())
            editor.Shot(shot);
        ASSERT_TRUE(editor.Keys("Return"));
        ASSERT_TRUE(editor.WaitGone("QFileDialog"));
    }
    ASSERT_TRUE(Road::WaitUntil(
        [&]
        {
            const QFileInfo file(path);
            return file.exists() && file.lastModified() != before && file.size() > 0;
        },
        20000))
        << "not saved: " << path.toStdString();
    if (!asks && !shot.isEmpty())
        editor.Shot(shot);
}

void About(const Road::Session& program, const QString& command, const QString& shot)
{
    ASSERT_TRUE(program.ClickAction(command));
    ASSERT_TRUE(program.WaitWindow("100")) << "no About box";
    EXPECT_FALSE(program.Find("100", Named("1020")).contains("error") &&
                 program.Find("100", Named("1048")).contains("error"))
        << "the About box shows no version";
    program.Shot(shot);
    ASSERT_TRUE(program.Click("100", Named(kOk)));
    ASSERT_TRUE(program.WaitGone("100"));
}

void Close(const Road::Session& editor)
{
    EXPECT_TRUE(editor.ChooseMenu(kFileMenu, kAppExit));
}

QStringList Output(const Road::Session& editor, const QString& shot)
{
    QStringList texts;
    if (!editor.ClickAction(kFileOutput))
        return texts;
    if (!shot.isEmpty() && editor.WaitWindow("QMessageBox"))
        editor.Shot(shot + "-question");
    texts << editor.Answer("Yes");
    if (!shot.isEmpty() && editor.WaitWindow(kProgress, 10000))
        editor.Shot(shot + "-progress");
    const QString result =
        editor.Answer("OK", 120000, shot.isEmpty() ? QString() : shot + "-result");
    if (!result.isEmpty())
        texts << result;
    return texts;
}
} // namespace ContentRoad

namespace ContentRoad
{
void ExpectRecords(const QString& xml, const std::vector<Work>& works,
                   const std::vector<int>& languages, bool converterInput)
{
    QDomDocument document;
    ASSERT_TRUE(document.setContent(TestSupport::ReadFile(xml))) << xml.toStdString();
    // (language, work number) -> element name -> text
    std::map<std::pair<int, int>, std::map<QString, QString>> records;
    const QDomNodeList infos = document.elementsByTagName("ContentInfo");
    for (int i = 0; i < infos.size(); ++i)
    {
        std::map<QString, QString> fields;
        for (QDomElement e = infos.at(i).firstChildElement(); !e.isNull();
             e = e.nextSiblingElement())
            fields[e.tagName()] = e.text();
        records[{fields["nLangType"].toInt(), fields["nProductNo"].toInt()}] = fields;
    }
    EXPECT_EQ(records.size(), works.size() * languages.size());
    const auto unquoted = [](const QString& text)
    {
        return text.size() >= 2 && text.startsWith('"') && text.endsWith('"')
                   ? text.mid(1, text.size() - 2)
                   : text;
    };
    for (const Work& work : works)
        for (int language : languages)
        {
            auto& fields = records[{language, work.number}];
            const auto named = [](const QString& path) { return QFileInfo(path).fileName(); };
            EXPECT_EQ(unquoted(fields["strProductTxt"]),
                      language == 0 ? work.japanese : work.english);
            EXPECT_EQ(named(fields["strProductImg1"]), named(work.image1[language]));
            EXPECT_EQ(named(fields["strProductImg2"]), named(work.image2[language]));
            EXPECT_EQ(named(fields["strProductWav"]), named(work.voice[language]));
            // The converter is told how many pictures there are; the table keeps its own count.
            if (converterInput)
            {
                EXPECT_EQ(fields["nProductImgCnt"].toInt(),
                          work.image2[language].isEmpty() ? 1 : 2);
            }
            EXPECT_EQ(unquoted(fields["strProductCmt"]), work.comment);
        }
}
} // namespace ContentRoad
