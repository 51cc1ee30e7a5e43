// CWavePlayer::LoadWave on arbitrary file bytes, with and without the samples. The "fmt "
// scan runs in uninstrumented library code, so random bytes never get past it: an odd first
// byte puts "RIFF", a size, "WAVE" and "fmt " before the rest, which then drives the format
// fields and the chunk walk.
#include "TOVKContEdit/model/WavePlayer.h"

#include <QDir>
#include <QFile>
#include <cstdint>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = QDir::tempPath() + QString("/fuzz_wave_%1.wav").arg(getpid());
    const bool structured = size > 0 && (data[0] & 1) != 0;
    QByteArray bytes;
    if (structured)
    {
        bytes = QByteArray("RIFF\x10\0\0\0WAVEfmt ", 16);
        bytes.append(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    }
    else
    {
        bytes = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
    }
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(bytes);
    }
    for (bool withSamples : {false, true})
    {
        CWavePlayer player(std::make_unique<NullWaveOut>());
        if (player.LoadWave(path, withSamples) && withSamples &&
            player.GetData().size() != qsizetype(player.GetDataSize()))
            __builtin_trap();
        if (player.GetDataSize() > std::size_t(bytes.size()))
            __builtin_trap();
    }
    return 0;
}
