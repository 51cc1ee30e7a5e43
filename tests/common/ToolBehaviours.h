#pragma once
// The ways a real tool can behave, as control lines of the stand-ins, for the tables that run
// each starting point through all of them under fake time, and the check that nothing of the
// tool is left afterwards. Every stand-in writes its process id (the id of its group) first.
#include "common/FakeClock.h"
#include "common/TestSupport.h"

#include <QFile>
#include <QStringList>
#include <QThread>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

struct ToolBehaviour
{
    const char* name;
    QStringList control; // the stand-in's lines after the one that writes its process id
    bool releaseAt40s;   // it runs until released at 40 s of fake time
    bool stopAt40s;      // the author's Cancel (or a termination request) comes at 40 s
};

class ToolBehaviours
{
public:
    ToolBehaviours() : m_folder(TestSupport::NewFolder(QStringLiteral("behaviour"))) {}

    QList<ToolBehaviour> All() const
    {
        // Released only when the wait missed its stop for minutes: the tool then ends.
        const QString hang = QStringLiteral("waitfor ") + File("give-up");
        return {
            {"ends at once", {}, false, false},
            {"runs past the bar's end, then ends",
             {QStringLiteral("waitfor ") + File("release")},
             true,
             false},
            {"hangs, stopped at 40 s", {hang}, false, true},
            {"a helper keeps writing, stopped at 40 s",
             {QStringLiteral("helper ") + File("helper-log"), hang},
             false,
             true},
            {"ignores the polite request, stopped at 40 s",
             {QStringLiteral("ignoreterm"), hang},
             false,
             true},
        };
    }

    // The control lines of the behaviour; the files of the case before are gone.
    QStringList Control(const ToolBehaviour& behaviour) const
    {
        for (const char* name : {"release", "give-up", "helper-log", "pid"})
            QFile::remove(File(name));
        return QStringList{QStringLiteral("pid ") + File("pid")} + behaviour.control;
    }

    // The release, the stop and the give-up on the clock.
    void Schedule(FakeClock& clock, const ToolBehaviour& behaviour,
                  std::function<void()> stop) const
    {
        if (behaviour.releaseAt40s)
            clock.At(40000, [this] { TestSupport::WriteFile(File("release"), "go"); });
        if (behaviour.stopAt40s)
            clock.At(40000, std::move(stop));
        clock.At(300000, [this] { TestSupport::WriteFile(File("give-up"), "go"); });
    }

    // The stop was seen at 40 s, long before the tool would have ended by itself.
    static void ExpectStoppedAt40s(const FakeClock& clock)
    {
        EXPECT_GE(clock.Now(), 40000);
        EXPECT_LT(clock.Now(), 300000);
    }

    // No process of the tool is left, and its helper writes no more.
    void ExpectNothingLeft() const
    {
        const qint64 group = TestSupport::ReadFile(File("pid")).toLongLong();
        ASSERT_GT(group, 0);
        EXPECT_EQ(TestSupport::LiveProcessesOfGroup(group), 0);
        // A failed case leaves nothing behind for the next.
        ::kill(-pid_t(group), SIGKILL);
        const QByteArray wrote = TestSupport::ReadFile(File("helper-log"));
        QThread::msleep(60);
        EXPECT_EQ(TestSupport::ReadFile(File("helper-log")), wrote);
    }

private:
    QString File(const char* name) const { return m_folder + u'/' + QString::fromLatin1(name); }

    QString m_folder;
};
