// CWavePlayer: the WAV reader's rules and the calls it makes on the wave output.
#include "TOVKContEdit/checks_fixtures.h"
#include "TOVKContEdit/model/WavePlayer.h"
#include "common/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace ChecksFixtures;

namespace
{
class Player : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = TestSupport::NewFolder();
        auto output = std::make_unique<RecordingWaveOut>();
        m_output = output.get();
        m_player = std::make_unique<CWavePlayer>(std::move(output));
    }
    QString Write(const QString& name, const QByteArray& bytes)
    {
        return TestSupport::WriteFile(m_folder + "/" + name, bytes);
    }

    QString m_folder;
    RecordingWaveOut* m_output = nullptr;
    std::unique_ptr<CWavePlayer> m_player;
};

TEST_F(Player, ReaderQuirks)
{
    struct Case
    {
        const char* name;
        QByteArray bytes;
        bool loads;
        int channels;
        std::uint32_t rate;
        int bits;
        std::uint32_t dataSize;
    };
    const QByteArray fmt = Chunk("fmt ", 16, FormatBody(1, 16000, 16));
    const QByteArray s = Samples(10);
    // "fmt " starting at the offset, after junk: the head is searched in blocks.
    const auto fmtAt = [&](int offset)
    { return QByteArray("RIFF") + QByteArray(offset - 4, 'x') + fmt + Chunk("data", 10, s); };
    const Case cases[] = {
        {"plain", MakeWav(1, 16000, 16, s), true, 1, 16000, 16, 10},
        {"fmt across the end of the first block", fmtAt(4099), true, 1, 16000, 16, 10},
        {"fmt just after the first block", fmtAt(4100), true, 1, 16000, 16, 10},
        {"fmt across the end of a later block", fmtAt(4100 + 65536 - 2), true, 1, 16000, 16, 10},
        // "fmt " at an odd offset, after junk that is no chunk at all.
        {"fmt anywhere", QByteArray("RIFF\x01\x02\x03", 7) + fmt + Chunk("data", 10, s), true, 1,
         16000, 16, 10},
        // An odd-sized chunk is skipped by its size alone, with no pad byte.
        {"no pad byte", Riff(fmt + Chunk("LIST", 3, "abc") + Chunk("data", 10, s)), true, 1, 16000,
         16, 10},
        {"larger fmt chunk",
         Riff(Chunk("fmt ", 18, FormatBody(2, 22050, 8) + QByteArray(2, '\0')) +
              Chunk("data", 10, s)),
         true, 2, 22050, 8, 10},
        {"size cut to the bytes present", Riff(fmt + Chunk("data", 1000, s)), true, 1, 16000, 16,
         10},
        {"no data chunk", Riff(fmt), true, 1, 16000, 16, 0},
        {"chunk size 0xFFFFFFF8", Riff(fmt + Chunk("JUNK", 0xFFFFFFF8, s)), true, 1, 16000, 16, 0},
        {"chunk size 0xFFFFFFFF", Riff(fmt + Chunk("JUNK", 0xFFFFFFFF, s)), true, 1, 16000, 16, 0},
        {"empty data chunk", Riff(fmt + Chunk("data", 0, {})), false, 0, 0, 0, 0},
        {"3 bytes", "RIF", false, 0, 0, 0, 0},
        {"text", "Just some words in a file.", false, 0, 0, 0, 0},
        {"no fmt", Riff(Chunk("data", 10, s)), false, 0, 0, 0, 0},
        {"fmt cut short", QByteArray("RIFF....WAVEfmt \x10\0\0\0\x01\0", 22), false, 0, 0, 0, 0},
        {"empty file", "", false, 0, 0, 0, 0},
    };
    for (const Case& c : cases)
    {
        CWavePlayer player;
        const QString path = Write(QString::fromLatin1(c.name) + ".wav", c.bytes);
        EXPECT_EQ(player.LoadWave(path), c.loads) << c.name;
        EXPECT_EQ(player.GetChannels(), c.channels) << c.name;
        EXPECT_EQ(player.GetSamplesPerSec(), c.rate) << c.name;
        EXPECT_EQ(player.GetBitsPerSample(), c.bits) << c.name;
        EXPECT_EQ(player.GetDataSize(), c.dataSize) << c.name;
        EXPECT_EQ(player.GetData().size(), qsizetype(c.dataSize)) << c.name;
        EXPECT_EQ(player.GetLoadedPath(), c.loads ? path : QString()) << c.name;
    }
}

TEST_F(Player, PlaysTheWholeVoiceOnTheDefaultDevice)
{
    m_output->devices = 2;
    const QByteArray samples = Samples(4000);
    m_player->Play(Write("v.wav", MakeWav(1, 16000, 16, samples)));

    ASSERT_EQ(m_output->written.size(), 1);
    EXPECT_EQ(m_output->written[0], samples);
    WaveFormat expected;
    expected.formatTag = 1;
    expected.channels = 1;
    expected.samplesPerSecond = 16000;
    expected.averageBytesPerSecond = 32000;
    expected.blockAlign = 2;
    expected.bitsPerSample = 16;
    EXPECT_EQ(m_output->format, expected);
    EXPECT_EQ(m_output->volume, 3276u | (3276u << 16));
    EXPECT_EQ(m_output->calls.first(), "Open -1") << "not the last of the two devices";
    EXPECT_EQ(m_output->calls.last(), "Restart");
}

TEST_F(Player, OnlySixteenBitPcmIsPlayed)
{
    // The extensible form: the plain format data, 22 more bytes, the sub-format GUID.
    auto extensible = [](int subFormat, int bits)
    {
        QByteArray body = FormatBody(1, 16000, bits, 0xFFFE);
        PutU16(body, 22);
        PutU16(body, bits);
        PutU32(body, 4);
        PutU16(body, subFormat);
        body += QByteArray("\0\0\0\0\x10\0\x80\0\0\xaa\0\x38\x9b\x71", 14);
        return Riff(Chunk("fmt ", body.size(), body) + Chunk("data", 64, Samples(64)));
    };
    struct Case
    {
        const char* name;
        QByteArray bytes;
        bool plays;
    } cases[] = {
        {"16-bit PCM", MakeWav(1, 16000, 16, Samples(64)), true},
        {"extensible 16-bit PCM", extensible(1, 16), true},
        {"32-bit float",
         Riff(Chunk("fmt ", 16, FormatBody(1, 16000, 32, 3)) + Chunk("data", 64, Samples(64))),
         false},
        {"extensible float", extensible(3, 32), false},
        {"ADPCM",
         Riff(Chunk("fmt ", 16, FormatBody(1, 16000, 4, 2)) + Chunk("data", 64, Samples(64))),
         false},
        {"8-bit PCM", MakeWav(1, 16000, 8, Samples(64)), false},
    };
    const QString before = Write("before.wav", MakeWav(1, 16000, 16, Samples(10)));
    for (const Case& c : cases)
    {
        m_player->Play(before);
        m_output->calls.clear();
        m_output->written.clear();
        m_player->Play(Write(QString::fromLatin1(c.name) + ".wav", c.bytes));
        EXPECT_EQ(m_output->written.size(), c.plays ? 1 : 0) << c.name;
        // Either way the voice that was playing stops.
        EXPECT_TRUE(m_output->calls.contains("Close")) << c.name;
        EXPECT_EQ(m_output->IsOpen(), c.plays) << c.name;
    }
}

TEST_F(Player, SamePathIsReadOnce)
{
    const QString path = Write("v.wav", MakeWav(1, 16000, 16, Samples(100, 1)));
    m_player->Play(path);
    // The file changes on disk: the player keeps what it read.
    Write("v.wav", MakeWav(1, 16000, 16, Samples(100, 9)));
    m_player->Play(path);
    EXPECT_EQ(m_player->FileReads(), 1);
    ASSERT_EQ(m_output->written.size(), 2);
    EXPECT_EQ(m_output->written[1], Samples(100, 1));
    // The second play closed the first output before opening again.
    EXPECT_EQ(m_output->calls.count("Close"), 1);
}

TEST_F(Player, HeadersOnlyReadThenPlayReadsTheSamples)
{
    const QString path = Write("v.wav", MakeWav(1, 16000, 16, Samples(50)));
    ASSERT_TRUE(m_player->LoadWave(path, false));
    EXPECT_TRUE(m_player->GetData().isEmpty());
    EXPECT_EQ(m_player->GetDataSize(), 50u);
    m_player->Play(path);
    ASSERT_EQ(m_output->written.size(), 1);
    EXPECT_EQ(m_output->written[0], Samples(50));
}

TEST_F(Player, NoDataChunkPlaysNothing)
{
    m_player->Play(Write("v.wav", Riff(Chunk("fmt ", 16, FormatBody(1, 16000, 16)))));
    EXPECT_TRUE(m_output->written.isEmpty());
}

TEST_F(Player, UnloadableFilesAndStopWithoutPlay)
{
    m_player->Stop();
    m_player->Play(Write("t.wav", "RIF"));
    m_player->Play(m_folder + "/missing.wav");
    EXPECT_TRUE(m_output->calls.isEmpty());
}

TEST_F(Player, StopPausesAndResetsResetCloses)
{
    const QString path = Write("v.wav", MakeWav(1, 16000, 16, Samples(10)));
    m_player->Play(path);
    m_output->calls.clear();
    m_player->Stop();
    EXPECT_EQ(m_output->calls, (QStringList{"Pause", "Reset"}));
    EXPECT_TRUE(m_output->IsOpen());
    m_player->Reset();
    EXPECT_FALSE(m_output->IsOpen());
    EXPECT_TRUE(m_player->GetLoadedPath().isEmpty());
    EXPECT_EQ(m_player->GetDataSize(), 0u);
    EXPECT_FLOAT_EQ(m_player->GetVolume(), 0.05f);
}

TEST_F(Player, MissingFileKeepsWhatWasHeld)
{
    const QString path = Write("v.wav", MakeWav(1, 16000, 16, Samples(10)));
    ASSERT_TRUE(m_player->LoadWave(path));
    EXPECT_FALSE(m_player->LoadWave(m_folder + "/gone.wav"));
    EXPECT_EQ(m_player->GetLoadedPath(), path);
    EXPECT_EQ(m_player->GetDataSize(), 10u);
}

TEST_F(Player, WithoutDeviceNothingHappens)
{
    CWavePlayer player(std::make_unique<NullWaveOut>());
    EXPECT_EQ(player.Play(Write("v.wav", MakeWav(1, 16000, 16, Samples(10)))),
              PlayOutcome::NoDevice);
    player.Stop();
    EXPECT_EQ(player.GetDataSize(), 10u);
}

// Only a voice that went to a device counts as playing.
TEST_F(Player, TheOutcomeSaysWhetherTheVoiceIsHeard)
{
    const struct
    {
        const char* name;
        QByteArray bytes;
        int devices;
        bool failOpen;
        PlayOutcome outcome;
        bool written;
    } cases[] = {
        {"played", MakeWav(1, 16000, 16, Samples(10)), 1, false, PlayOutcome::Playing, true},
        {"not a wave", "text", 1, false, PlayOutcome::NotPlayable, false},
        {"8-bit samples", MakeWav(1, 16000, 8, Samples(10)), 1, false, PlayOutcome::NotPlayable,
         false},
        {"no device", MakeWav(1, 16000, 16, Samples(10)), 0, false, PlayOutcome::NoDevice, false},
        {"device refuses", MakeWav(1, 16000, 16, Samples(10)), 1, true, PlayOutcome::DeviceFailed,
         false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto output = std::make_unique<RecordingWaveOut>();
        RecordingWaveOut& recorded = *output;
        recorded.devices = c.devices;
        recorded.failOpen = c.failOpen;
        CWavePlayer player(std::move(output));
        EXPECT_EQ(player.Play(Write(QString::fromLatin1(c.name) + ".wav", c.bytes)), c.outcome);
        EXPECT_EQ(!recorded.written.isEmpty(), c.written);
        EXPECT_FALSE(c.outcome != PlayOutcome::Playing && recorded.calls.contains("Restart"));
    }
}
} // namespace
