// The report folder as the built viewer leaves it: killed at any moment of a rerun it holds
// each report whole, the old one or the new one; a second viewer on it refuses at once.
#include "DatFixture.h"
#include "common/TestSupport.h"
#include "platform/FileLock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <map>
#include <random>

using namespace DatFixture;

namespace
{
const QString kViewer = QStringLiteral(QUORVANE_APP_DIR "/TOVKFeedbackViewer");
const QString kLock = QStringLiteral(".TOVKFeedbackViewer.lock");

// A card copy with several questionnaires and an access log, big enough that writing its
// reports takes a while; `edition` changes every record, so two editions share no report.
QString MakeCard(int edition)
{
    const QString card = TestSupport::NewFolder(QStringLiteral("card"));
    for (int q = 0; q < 4; ++q)
    {
        const QByteArray area = QuestionnaireArea(
            {{0, {{false, QStringLiteral("質問 %1").arg(q), {"A", "B", "C"}}}},
             {1, {{true, QStringLiteral("Question %1").arg(q), {"A", "B", "C", "D"}}}}});
        std::vector<QByteArray> answers;
        for (int i = 0; i < 6000; ++i)
            answers.push_back(
                Answer(PackTime(2024, 1 + i % 12, 1 + i % 28, i % 24, i % 60, edition),
                       unsigned(i % 2), Mac({1, 2, 3, q, i & 0xFF, i >> 8}), {1 << (i % 3)}));
        WriteCardFile(card, QStringLiteral("ENQ%1/E.DAT").arg(q), DatFile(area, answers));
    }
    std::vector<QByteArray> accesses;
    for (int i = 0; i < 20000; ++i)
        accesses.push_back(Access(PackTime(2024, 1 + i % 12, 1 + i % 28, i % 24, i % 60, edition),
                                  unsigned(i % 2), 1 + i % 2, Mac({9, 8, 7, 6, i & 0xFF, i >> 8})));
    WriteCardFile(card, QStringLiteral("LOG1/L.DAT"), DatFile(SampleLogArea(), accesses));
    return card;
}

int RunToTheEnd(const QString& card, const QString& out, QByteArray* err = nullptr)
{
    QProcess viewer;
    viewer.setProcessEnvironment(TestSupport::EnvironmentWithoutDisplay());
    viewer.start(kViewer, {"-in", card, "-out", out});
    if (!viewer.waitForFinished(120000))
        return -1;
    if (err)
        *err = viewer.readAllStandardError();
    return viewer.exitStatus() == QProcess::NormalExit ? viewer.exitCode() : -2;
}

// The files of the report folder and its Data folder by their path below it.
using Files = std::map<QString, QByteArray>;
Files ReadReports(const QString& out)
{
    Files files;
    for (const QString& sub : {QString(), QStringLiteral("Data/")})
        for (const QString& name :
             QDir(out + u'/' + sub).entryList(QDir::Files | QDir::Hidden | QDir::System))
            files[sub + name] = TestSupport::ReadFile(out + u'/' + sub + name);
    return files;
}

void CopyReports(const Files& files, const QString& out)
{
    QDir(out).removeRecursively();
    for (const auto& [name, bytes] : files)
        TestSupport::WriteFile(out + u'/' + name, bytes);
}
} // namespace

TEST(FeedbackReportFolder, AKilledRerunLeavesEveryReportOldOrNewAndWhole)
{
    const QString oldCard = MakeCard(0);
    const QString newCard = MakeCard(1);
    const QString reference = TestSupport::NewFolder(QStringLiteral("reference"));
    ASSERT_EQ(RunToTheEnd(oldCard, reference + "/old"), 0);
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(RunToTheEnd(newCard, reference + "/new"), 0);
    const qint64 runMs = std::max<qint64>(timer.elapsed(), 20);
    Files oldFiles = ReadReports(reference + "/old");
    Files newFiles = ReadReports(reference + "/new");
    oldFiles.erase(kLock);
    newFiles.erase(kLock);
    ASSERT_GT(oldFiles.size(), 10u);
    int differing = 0;
    for (const auto& [name, bytes] : newFiles)
        differing += oldFiles.count(name) && oldFiles[name] != bytes;
    ASSERT_GE(differing, 10) << "the two runs must give different reports";

    const QString out = TestSupport::NewFolder(QStringLiteral("reports"));
    int killedMidway = 0;
    for (unsigned seed = 1; seed <= 10; ++seed)
    {
        SCOPED_TRACE("seed " + std::to_string(seed));
        CopyReports(oldFiles, out);
        std::mt19937 random(seed);
        const int delay = int(std::uniform_int_distribution<qint64>(0, runMs)(random));
        QProcess viewer;
        viewer.setProcessEnvironment(TestSupport::EnvironmentWithoutDisplay());
        viewer.start(kViewer, {"-in", newCard, "-out", out});
        ASSERT_TRUE(viewer.waitForStarted(10000));
        QThread::msleep(static_cast<unsigned long>(delay));
        viewer.kill();
        ASSERT_TRUE(viewer.waitForFinished(10000));

        const Files left = ReadReports(out);
        int fromNewRun = 0;
        for (const auto& [name, bytes] : oldFiles)
        {
            const auto found = left.find(name);
            ASSERT_NE(found, left.end()) << name.toStdString() << " went missing";
            const bool isOld = found->second == bytes;
            const bool isNew = found->second == newFiles[name];
            EXPECT_TRUE(isOld || isNew) << name.toStdString() << " is cut";
            fromNewRun += isNew && !isOld;
        }
        for (const auto& [name, bytes] : left)
        {
            // A killed run may leave the file it was making, under its own name.
            EXPECT_TRUE(oldFiles.count(name) || name == kLock || name.contains(".new-"))
                << name.toStdString();
        }
        killedMidway += fromNewRun > 0 && fromNewRun < differing;
    }
    EXPECT_GT(killedMidway, 0) << "no kill landed between the first and the last report";

    // The lock went with the killed process: the next run finishes the reports.
    ASSERT_EQ(RunToTheEnd(newCard, out), 0);
    Files final = ReadReports(out);
    for (const auto& [name, bytes] : newFiles)
        EXPECT_EQ(final[name], bytes) << name.toStdString();
}

TEST(FeedbackReportFolder, ASecondViewerOnTheSameFolderRefusesAtOnce)
{
    const QString card = MakeCard(0);
    const QString out = TestSupport::NewFolder(QStringLiteral("reports"));
    const QByteArray inUse =
        "The folder " + QFile::encodeName(out) + " is in use by another TOVKFeedbackViewer.\n";

    // Two real viewers: the second starts while the first holds the folder.
    QProcess first;
    first.setProcessEnvironment(TestSupport::EnvironmentWithoutDisplay());
    first.start(kViewer, {"-in", card, "-out", out});
    ASSERT_TRUE(first.waitForStarted(10000));
    // The Data folder is made once the folder is held.
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(out + "/Data") && waited.elapsed() < 10000)
        QThread::usleep(200);
    QByteArray err;
    EXPECT_EQ(RunToTheEnd(card, out, &err), 1);
    EXPECT_EQ(err, inUse);
    const bool overlapped = first.state() == QProcess::Running;
    ASSERT_TRUE(first.waitForFinished(120000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    EXPECT_TRUE(overlapped) << "the first viewer ended before the second one was refused";

    // Whoever holds the lock, the viewer writes nothing beside it and does not wait.
    const QString held = TestSupport::NewFolder(QStringLiteral("held"));
    FileLock lock;
    ASSERT_TRUE(lock.Open(held + u'/' + kLock) && lock.TryLockExclusive());
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(RunToTheEnd(card, held, &err), 1);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_EQ(err, "The folder " + QFile::encodeName(held) +
                       " is in use by another TOVKFeedbackViewer.\n");
    EXPECT_EQ(QDir(held).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{kLock});
    lock.Close();
    EXPECT_EQ(RunToTheEnd(card, held), 0);
}
