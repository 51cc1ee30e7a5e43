#include "platform/WaveOut.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>

WaveOut::~WaveOut() = default;

std::unique_ptr<WaveOut> WaveOut::CreateDefault()
{
    if (QMediaDevices::audioOutputs().isEmpty())
        return std::make_unique<NullWaveOut>();
    return std::make_unique<QtWaveOut>();
}

bool RecordingWaveOut::Open(int device, const WaveFormat& f)
{
    calls << QStringLiteral("Open %1").arg(device);
    if (failOpen)
        return false;
    format = f;
    m_open = true;
    return true;
}

bool RecordingWaveOut::Write(const QByteArray& buffer)
{
    calls << QStringLiteral("Write %1").arg(buffer.size());
    if (!m_open)
        return false;
    written << buffer;
    return true;
}

void RecordingWaveOut::SetVolume(std::uint32_t v)
{
    calls << QStringLiteral("SetVolume 0x%1").arg(v, 8, 16, QLatin1Char('0'));
    volume = v;
}

void RecordingWaveOut::Pause()
{
    calls << QStringLiteral("Pause");
}

void RecordingWaveOut::Restart()
{
    calls << QStringLiteral("Restart");
}

void RecordingWaveOut::Reset()
{
    calls << QStringLiteral("Reset");
}

void RecordingWaveOut::Close()
{
    calls << QStringLiteral("Close");
    m_open = false;
}

struct QtWaveOut::Impl
{
    std::unique_ptr<QAudioSink> sink;
    QBuffer buffer;
    QByteArray data;
    qreal volume = 1.0;
    bool paused = false;
};

QtWaveOut::QtWaveOut() : m_impl(std::make_unique<Impl>()) {}

QtWaveOut::~QtWaveOut()
{
    Close();
}

int QtWaveOut::DeviceCount()
{
    return int(QMediaDevices::audioOutputs().size());
}

bool QtWaveOut::Open(int device, const WaveFormat& format)
{
    Close();
    const QList<QAudioDevice> devices = QMediaDevices::audioOutputs();
    if (devices.isEmpty())
        return false;
    const QAudioDevice chosen = device >= 0 && device < devices.size()
                                    ? devices[device]
                                    : QMediaDevices::defaultAudioOutput();
    QAudioFormat audio;
    audio.setSampleRate(int(format.samplesPerSecond));
    audio.setChannelCount(format.channels);
    switch (format.bitsPerSample)
    {
    case 8:
        audio.setSampleFormat(QAudioFormat::UInt8);
        break;
    case 16:
        audio.setSampleFormat(QAudioFormat::Int16);
        break;
    case 32:
        audio.setSampleFormat(QAudioFormat::Int32);
        break;
    default:
        return false;
    }
    if (format.formatTag != 1 || !audio.isValid() || !chosen.isFormatSupported(audio))
        return false;
    m_impl->sink = std::make_unique<QAudioSink>(chosen, audio);
    m_impl->sink->setVolume(m_impl->volume);
    QObject::connect(m_impl->sink.get(), &QAudioSink::stateChanged, m_impl->sink.get(),
                     [this](QAudio::State state)
                     {
                         if (state == QAudio::IdleState && m_impl->sink &&
                             m_impl->sink->error() == QAudio::NoError)
                             NotifyDone();
                     });
    m_impl->paused = false;
    return true;
}

bool QtWaveOut::IsOpen() const
{
    return m_impl->sink != nullptr;
}

bool QtWaveOut::Write(const QByteArray& buffer)
{
    if (!m_impl->sink)
        return false;
    m_impl->sink->stop();
    m_impl->buffer.close();
    m_impl->data = buffer;
    m_impl->buffer.setBuffer(&m_impl->data);
    m_impl->buffer.open(QIODevice::ReadOnly);
    m_impl->sink->start(&m_impl->buffer);
    if (m_impl->paused)
        m_impl->sink->suspend();
    return m_impl->sink->error() == QAudio::NoError;
}

void QtWaveOut::SetVolume(std::uint32_t volume)
{
    // One level for both channels: the louder of the two words.
    const std::uint32_t left = volume & 0xFFFF;
    const std::uint32_t right = volume >> 16;
    m_impl->volume = qreal(std::max(left, right)) / 65535.0;
    if (m_impl->sink)
        m_impl->sink->setVolume(m_impl->volume);
}

void QtWaveOut::Pause()
{
    m_impl->paused = true;
    if (m_impl->sink)
        m_impl->sink->suspend();
}

void QtWaveOut::Restart()
{
    m_impl->paused = false;
    if (m_impl->sink && m_impl->sink->state() == QAudio::SuspendedState)
        m_impl->sink->resume();
}

void QtWaveOut::Reset()
{
    if (m_impl->sink)
        m_impl->sink->stop();
    m_impl->buffer.close();
    m_impl->data.clear();
}

void QtWaveOut::Close()
{
    Reset();
    m_impl->sink.reset();
    m_impl->paused = false;
}
