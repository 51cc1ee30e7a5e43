#pragma once
// Wave output: one PCM buffer played through a device, behind an interface so that the
// programs run without a sound device and tests record what would be played.
#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

struct WaveFormat
{
    int formatTag = 1; // PCM
    int channels = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint32_t averageBytesPerSecond = 0;
    int blockAlign = 0;
    int bitsPerSample = 0;

    bool operator==(const WaveFormat&) const = default;
};

class WaveOut
{
public:
    virtual ~WaveOut();

    // Number of output devices (0: none).
    virtual int DeviceCount() = 0;
    // Opens the device (-1: the default one) with the format; false on failure.
    virtual bool Open(int device, const WaveFormat& format) = 0;
    virtual bool IsOpen() const = 0;
    // Queues the buffer (copied); playback starts unless paused.
    virtual bool Write(const QByteArray& buffer) = 0;
    // Left volume in the low word, right in the high word (0..0xFFFF each).
    virtual void SetVolume(std::uint32_t volume) = 0;
    virtual void Pause() = 0;
    virtual void Restart() = 0;
    // Stops and drops what is queued; the device stays open.
    virtual void Reset() = 0;
    virtual void Close() = 0;
    // Called (on the UI thread) when a written buffer has been played to its end.
    void SetDoneCallback(std::function<void()> callback) { m_done = std::move(callback); }

    // A backend on the system's audio when a device exists, else a NullWaveOut.
    static std::unique_ptr<WaveOut> CreateDefault();

protected:
    void NotifyDone()
    {
        if (m_done)
            m_done();
    }

private:
    std::function<void()> m_done;
};

// No device: opens nothing, plays nothing.
class NullWaveOut : public WaveOut
{
public:
    int DeviceCount() override { return 0; }
    bool Open(int, const WaveFormat&) override { return false; }
    bool IsOpen() const override { return false; }
    bool Write(const QByteArray&) override { return false; }
    void SetVolume(std::uint32_t) override {}
    void Pause() override {}
    void Restart() override {}
    void Reset() override {}
    void Close() override {}
};

// Records every call for tests; opening always succeeds unless failOpen is set.
class RecordingWaveOut : public WaveOut
{
public:
    int DeviceCount() override { return devices; }
    bool Open(int device, const WaveFormat& format) override;
    bool IsOpen() const override { return m_open; }
    bool Write(const QByteArray& buffer) override;
    void SetVolume(std::uint32_t volume) override;
    void Pause() override;
    void Restart() override;
    void Reset() override;
    void Close() override;
    // Reports the written buffer as played.
    void FinishPlaying() { NotifyDone(); }

    int devices = 1;
    bool failOpen = false;
    QStringList calls; // "Open 0", "Write 1024", "SetVolume 0x0ccc0ccc", "Pause", ...
    WaveFormat format;
    QList<QByteArray> written;
    std::uint32_t volume = 0;

private:
    bool m_open = false;
};

// The system's audio output (QAudioSink).
class QtWaveOut : public WaveOut
{
public:
    QtWaveOut();
    ~QtWaveOut() override;
    int DeviceCount() override;
    bool Open(int device, const WaveFormat& format) override;
    bool IsOpen() const override;
    bool Write(const QByteArray& buffer) override;
    void SetVolume(std::uint32_t volume) override;
    void Pause() override;
    void Restart() override;
    void Reset() override;
    void Close() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
