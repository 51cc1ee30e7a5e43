#pragma once
// Reads a PCM WAV file and plays it once through the wave output.
#include "platform/WaveOut.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

// What a Play came to; only Playing means the voice is heard.
enum class PlayOutcome
{
    Playing,
    NotPlayable,  // the file cannot be loaded or holds other than 16-bit PCM
    NoDevice,     // there is no sound output device
    DeviceFailed, // the device did not take the format or the samples
};

class CWavePlayer
{
public:
    // Without a backend, the system's wave output is opened on the first Play.
    explicit CWavePlayer(std::unique_ptr<WaveOut> output = nullptr);
    ~CWavePlayer();
    CWavePlayer(const CWavePlayer&) = delete;
    CWavePlayer& operator=(const CWavePlayer&) = delete;

    // Reads the format and the "data" chunk; the path now held is not read again. With
    // withSamples false only the chunk headers are read (for a check of the file).
    bool LoadWave(const QString& path, bool withSamples = true);
    // Loads (or reuses) the file and plays it from the start; nothing when it cannot load
    // or holds anything but 16-bit PCM (other samples would only sound as noise), or when
    // no device plays it.
    PlayOutcome Play(const QString& path);
    // Pauses and resets an open output; the device stays open.
    void Stop();
    // Closes the output, frees the samples and forgets the file.
    void Reset();

    int GetChannels() const { return m_channels; }
    std::uint32_t GetSamplesPerSec() const { return m_samplesPerSec; }
    int GetBitsPerSample() const { return m_bitsPerSample; }
    std::uint32_t GetDataSize() const { return m_dataSize; }
    const QByteArray& GetData() const { return m_data; }
    QString GetLoadedPath() const { return m_loadedPath; }
    float GetVolume() const { return m_volume; }

    // Reads of the file contents so far (a reused file is not read again).
    int FileReads() const { return m_fileReads; }

private:
    void ClearFormat();

    std::unique_ptr<WaveOut> m_output;
    QByteArray m_data;
    int m_formatTag = 0;
    std::uint32_t m_samplesPerSec = 0;
    int m_channels = 0;
    int m_bitsPerSample = 0;
    std::uint32_t m_dataSize = 0;
    WaveFormat m_format;
    float m_volume = 0.05f;
    QString m_loadedPath;
    bool m_samplesLoaded = false;
    int m_fileReads = 0;
};

// The parts of a WAV file the player uses, read from an open file without reading more
// than the chunk headers (and, when asked, the samples).
struct WaveFileInfo
{
    // 1 for PCM; for the extensible form, the code of its sub-format.
    int formatTag = 0;
    int channels = 0;
    std::uint32_t samplesPerSec = 0;
    int bitsPerSample = 0;
    bool hasDataChunk = false;
    std::uint32_t dataSize = 0;   // limited to the bytes the file holds
    std::int64_t dataOffset = -1; // of the first sample
};

enum class WaveParseResult
{
    Ok,        // format read; hasDataChunk tells whether a data chunk was found
    EmptyFile, // no bytes at all
    NotRiff,   // no "RIFF" at offset 0
    NoFormat,  // no "fmt " chunk, or its format data runs past the end
    EmptyData, // a data chunk of size 0
};

class QIODevice;
WaveParseResult ParseWave(QIODevice& file, WaveFileInfo& info);
