#include "TOVKContEdit/model/WavePlayer.h"

#include "platform/Path.h"
#include "platform/RegularFileDevice.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr int WaveFormatPcm = 1;
constexpr int WaveFormatExtensible = 0xFFFE;

std::uint32_t U32At(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t(b[3]) << 24);
}

int U16At(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | (b[1] << 8);
}

// Reads exactly count bytes at offset; false when the file holds fewer.
bool ReadAt(QIODevice& file, std::int64_t offset, char* out, std::int64_t count)
{
    return file.seek(offset) && file.read(out, count) == count;
}

// First offset >= 4 where "fmt " starts, -1 when none; scans in blocks, the first a small
// one, so that a file with the chunk at its usual place is read no further than its head.
std::int64_t FindFormatChunk(QIODevice& file, std::int64_t size)
{
    QByteArray buffer;
    std::int64_t block = 4 * 1024;
    for (std::int64_t start = 4; start + 4 <= size; start += block, block = 64 * 1024)
    {
        // Three bytes of overlap so that a tag across two blocks is found.
        const std::int64_t count = std::min(block + 3, size - start);
        buffer.resize(count);
        if (!ReadAt(file, start, buffer.data(), count))
            return -1;
        const auto at = buffer.indexOf("fmt ");
        if (at >= 0)
            return start + at;
    }
    return -1;
}
} // namespace

WaveParseResult ParseWave(QIODevice& file, WaveFileInfo& info)
{
    info = WaveFileInfo{};
    const std::int64_t size = file.size();
    if (size <= 0)
        return WaveParseResult::EmptyFile;
    char head[8];
    if (size < 4 || !ReadAt(file, 0, head, 4) || std::memcmp(head, "RIFF", 4) != 0)
        return WaveParseResult::NotRiff;
    if (size < 5)
        return WaveParseResult::NoFormat;
    const std::int64_t fmt = FindFormatChunk(file, size);
    char format[24];
    if (fmt < 0 || !ReadAt(file, fmt, format, 24))
        return WaveParseResult::NoFormat;
    info.formatTag = U16At(format + 8);
    if (info.formatTag == WaveFormatExtensible)
    {
        // The sub-format GUID begins with the code of the plain form.
        char subFormat[2];
        info.formatTag = ReadAt(file, fmt + 8 + 24, subFormat, 2) ? U16At(subFormat) : 0;
    }
    info.channels = U16At(format + 8 + 2);
    info.samplesPerSec = U32At(format + 8 + 4);
    info.bitsPerSample = U16At(format + 8 + 14);

    // Chunks follow without pad bytes; offsets are 64-bit and grow by at least 8 each
    // step, so the walk ends whatever the sizes claim.
    std::int64_t q = fmt + 8 + std::int64_t(U32At(format + 4));
    while (q + 8 <= size && ReadAt(file, q, head, 8))
    {
        const std::uint32_t chunkSize = U32At(head + 4);
        if (std::memcmp(head, "data", 4) == 0)
        {
            info.hasDataChunk = true;
            if (chunkSize == 0)
                return WaveParseResult::EmptyData;
            info.dataOffset = q + 8;
            info.dataSize =
                static_cast<std::uint32_t>(std::min<std::int64_t>(chunkSize, size - (q + 8)));
            return WaveParseResult::Ok;
        }
        q += 8 + std::int64_t(chunkSize);
    }
    return WaveParseResult::Ok;
}

CWavePlayer::CWavePlayer(std::unique_ptr<WaveOut> output) : m_output(std::move(output))
{
    Reset();
}

CWavePlayer::~CWavePlayer()
{
    Reset();
}

void CWavePlayer::ClearFormat()
{
    m_data.clear();
    m_formatTag = 0;
    m_samplesPerSec = 0;
    m_channels = 0;
    m_bitsPerSample = 0;
    m_dataSize = 0;
    m_loadedPath.clear();
    m_samplesLoaded = false;
}

bool CWavePlayer::LoadWave(const QString& path, bool withSamples)
{
    RegularFileDevice file(path);
    if (!file.isOpen())
        return false;
    if (!m_loadedPath.isEmpty() && path == m_loadedPath && (m_samplesLoaded || !withSamples))
        return true;

    ClearFormat();
    ++m_fileReads;
    WaveFileInfo info;
    const WaveParseResult result = ParseWave(file, info);
    if (result != WaveParseResult::Ok)
        return false;
    if (info.hasDataChunk && withSamples)
    {
        m_data.resize(info.dataSize);
        if (!ReadAt(file, info.dataOffset, m_data.data(), info.dataSize))
        {
            m_data.clear();
            return false;
        }
    }
    m_formatTag = info.formatTag;
    m_samplesPerSec = info.samplesPerSec;
    m_channels = info.channels;
    m_bitsPerSample = info.bitsPerSample;
    m_dataSize = info.dataSize;
    m_loadedPath = path;
    m_samplesLoaded = withSamples;
    return true;
}

PlayOutcome CWavePlayer::Play(const QString& path)
{
    if (!LoadWave(path))
        return PlayOutcome::NotPlayable;

    if (!m_output)
        m_output = WaveOut::CreateDefault();
    if (m_output->IsOpen())
    {
        m_output->Pause();
        m_output->Reset();
        m_output->Close();
    }
    if (m_formatTag != WaveFormatPcm || m_bitsPerSample != 16)
        return PlayOutcome::NotPlayable;
    if (m_output->DeviceCount() == 0)
        return PlayOutcome::NoDevice;

    m_format = WaveFormat{};
    m_format.formatTag = WaveFormatPcm;
    m_format.channels = m_channels;
    m_format.samplesPerSecond = m_samplesPerSec;
    m_format.bitsPerSample = m_bitsPerSample;
    m_format.blockAlign = m_channels * (m_bitsPerSample / 8);
    m_format.averageBytesPerSecond = m_samplesPerSec * std::uint32_t(m_format.blockAlign);

    // The desktop's default output, wherever it stands in the device list.
    if (!m_output->Open(-1, m_format))
        return PlayOutcome::DeviceFailed;
    if (!m_data.isEmpty() && !m_output->Write(m_data))
    {
        m_output->Close();
        return PlayOutcome::DeviceFailed;
    }
    const std::uint32_t level = static_cast<std::uint32_t>(m_volume * 65535.0f);
    m_output->SetVolume(level | (level << 16));
    m_output->Restart();
    return PlayOutcome::Playing;
}

void CWavePlayer::Stop()
{
    if (m_output && m_output->IsOpen())
    {
        m_output->Pause();
        m_output->Reset();
    }
}

void CWavePlayer::Reset()
{
    if (m_output && m_output->IsOpen())
    {
        m_output->Reset();
        m_output->Close();
    }
    ClearFormat();
    m_format = WaveFormat{};
    m_volume = 0.05f;
}
