// The voice check of ValidateContentFile: its order of tests and messages.
#include "TOVKContEdit/checks_fixtures.h"
#include "TOVKContEdit/model/ContentValidation.h"
#include "checks_file_fixture.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace ChecksFixtures;

namespace
{
const QString NotRate = QStringLiteral("This WAV file is not 16KHz.");
const QString NotMono = QStringLiteral("This WAV file is not monaural.");
const QString Over5MB = QStringLiteral("This WAV file is more than 5 MB.");
const QString Not16 = QStringLiteral("The sampling rate of this WAV file is not 16 bits.");
const QString Empty = QStringLiteral("This WAV file is empty.");

class VoiceCheck : public FileCheck
{
};

TEST_F(VoiceCheck, FormatRulesInOrder)
{
    struct Case
    {
        const char* name;
        QByteArray bytes;
        QString message; // empty: passes
    };
    const QByteArray s = Samples(64);
    const Case cases[] = {
        {"16 kHz", MakeWav(1, 16000, 16, s), {}},
        {"15000 Hz", MakeWav(1, 15000, 16, s), {}},
        {"17000 Hz", MakeWav(1, 17000, 16, s), {}},
        {"14999 Hz", MakeWav(1, 14999, 16, s), NotRate},
        {"17001 Hz", MakeWav(1, 17001, 16, s), NotRate},
        {"stereo", MakeWav(2, 16000, 16, s), NotMono},
        {"stereo at a bad rate", MakeWav(2, 44100, 8, s), NotRate},
        {"8 bits", MakeWav(1, 16000, 8, s), Not16},
        {"no data chunk", Riff(Chunk("fmt ", 16, FormatBody(1, 16000, 16))), Empty},
        {"empty data chunk", MakeWav(1, 16000, 16, {}), Empty},
        {"not RIFF", "This is a text file, not a WAV file.", Empty},
        {"3 bytes", "RIF", Empty},
        {"chunk size 0xFFFFFFFF",
         Riff(Chunk("fmt ", 16, FormatBody(1, 16000, 16)) + Chunk("LIST", 0xFFFFFFFF, s)), Empty},
    };
    for (const Case& c : cases)
    {
        m_messages.Clear();
        const QString path = Write(QString::fromLatin1(c.name) + ".wav", c.bytes);
        EXPECT_EQ(ValidateContentFile(path, 6, true), c.message.isEmpty()) << c.name;
        const QStringList expected = c.message.isEmpty() ? QStringList() : QStringList{c.message};
        EXPECT_EQ(m_messages.texts(), expected) << c.name;
    }
}

TEST_F(VoiceCheck, DataSizeLimit)
{
    const QString below = Write("below.wav", MakeWav(1, 16000, 16, Samples(5242879)));
    const QString at = Write("at.wav", MakeWav(1, 16000, 16, Samples(5242880)));
    EXPECT_TRUE(ValidateContentFile(below, 6, true));
    EXPECT_TRUE(m_messages.shown().isEmpty());
    EXPECT_FALSE(ValidateContentFile(at, 6, true));
    EXPECT_EQ(m_messages.texts(), QStringList{Over5MB});
}

TEST_F(VoiceCheck, ClaimedSizeCountsOnlyTheBytesPresent)
{
    // The header claims 6 MB, the file holds 100 bytes of samples.
    const QByteArray bytes =
        Riff(Chunk("fmt ", 16, FormatBody(1, 16000, 16)) + Chunk("data", 6000000, Samples(100)));
    EXPECT_TRUE(ValidateContentFile(Write("short.wav", bytes), 6, false));
}

TEST_F(VoiceCheck, RelativePathStillRunsTheLaterTests)
{
    Write("empty.wav", MakeWav(1, 16000, 16, {}));
    Write("good.wav", MakeWav(1, 16000, 16, Samples(32)));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(m_folder);
    const QString fullPath =
        QStringLiteral("Please designate full paths for voice files. \r\n\r\n");

    EXPECT_FALSE(ValidateContentFile("empty.wav", 6, true));
    EXPECT_EQ(m_messages.texts(), (QStringList{fullPath + "empty.wav", Empty}));

    m_messages.Clear();
    EXPECT_FALSE(ValidateContentFile("good.wav", 6, true));
    EXPECT_EQ(m_messages.texts(), QStringList{fullPath + "good.wav"});
    QDir::setCurrent(previous);
}

TEST_F(VoiceCheck, QuietCheckShowsNothing)
{
    EXPECT_FALSE(ValidateContentFile(Write("bad.wav", MakeWav(2, 8000, 8, Samples(8))), 6, false));
    EXPECT_FALSE(ValidateContentFile(m_folder + "/missing.wav", 6, false));
    EXPECT_TRUE(m_messages.shown().isEmpty());
}
} // namespace
