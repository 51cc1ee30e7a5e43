#pragma once
// A loaded bitmap with the check-flags word that the picture checks leave behind.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>

class CImageEx
{
public:
    // Flags of the last check.
    static constexpr std::uint16_t FlagNoBitmap = 0x02;
    static constexpr std::uint16_t FlagWrongSize = 0x04;
    static constexpr std::uint16_t FlagWrongDepth = 0x08;
    static constexpr std::uint16_t FlagTooManyColors = 0x10;

    static constexpr int GuideWidth = 256;
    static constexpr int GuideHeight = 192;
    static constexpr int MaxGuideColors = 255;
    static constexpr int TitleWidth = 256;
    static constexpr int TitleHeight = 64;
    // Two palette entries of the title data are fixed, so a title may use 254 colours.
    static constexpr int MaxTitleColors = 254;

    CImageEx() = default;

    // Loads a picture file; false (and nothing loaded) when it cannot be decoded.
    bool Load(const QString& path);
    bool LoadFromBytes(const QByteArray& bytes);
    // Loads a file that starts with "BM": an uncompressed 8-bit one (the guide pictures)
    // through the platform's own reader, any other through the decoder as Load does.
    bool LoadBmp(const QString& path);
    void Destroy();

    bool IsNull() const { return m_image.isNull(); }
    int GetWidth() const { return m_image.width(); }
    int GetHeight() const { return m_image.height(); }
    // Bits per pixel as the file stores them (the BMP header for BMP files).
    int GetBPP() const { return m_bitsPerPixel; }
    const QImage& Image() const { return m_image; }

    std::uint16_t Flags() const { return m_flags; }

    // A guide picture: 256 x 192, 8 bits per pixel, at most 255 distinct pixel colours
    // (two palette entries of one RGB value count once). Sets the flags; true when 0.
    bool IsValidGuideImage();

    // A title picture: 256 x 64, 8 bits per pixel, at most 254 distinct pixel colours.
    // Sets the flags; true when 0.
    bool IsValidTitleImage();
    // Loads the file (nothing when the path is empty, a folder or missing) and checks it as
    // a title picture; the picture stays loaded for drawing.
    bool LoadAndCheck(const QString& path);

    // Distinct RGB values of the pixels, counted up to limit + 1 (the count stops there).
    int CountDistinctColors(int limit) const;

private:
    // The size, 8 bits per pixel and at most maxColors distinct colours; sets the flags.
    bool IsValidPicture(int width, int height, int maxColors);

    QImage m_image;
    int m_bitsPerPixel = 0;
    std::uint16_t m_flags = 1;
};
