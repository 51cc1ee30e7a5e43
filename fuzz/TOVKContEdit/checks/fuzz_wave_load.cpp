// CWavePlayer::LoadWave on arbitrary file bytes, with and without the samples.
#include "TOVKContEdit/model/WavePlayer.h"

#include <QDir>
#include <QFile>
#include <cstdint>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = QDir::tempPath() + QString("/fuzz_wave_%1.wav").arg(getpid());
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    for (bool withSamples : {false, true})
    {
        CWavePlayer player(std::make_unique<NullWaveOut>());
        if (player.LoadWave(path, withSamples) && withSamples &&
            player.GetData().size() != qsizetype(player.GetDataSize()))
            __builtin_trap();
        if (player.GetDataSize() > size)
            __builtin_trap();
    }
    return 0;
}
