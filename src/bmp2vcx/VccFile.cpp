#include "bmp2vcx/VccFile.h"

#include <QtEndian>
#include <limits>

namespace
{
constexpr quint16 ByteOrderMark = 0xFEFF;
constexpr quint16 Version = 0x0100;
constexpr quint16 FileHeaderSize = 16;
constexpr int BlockHeaderSize = 8;
constexpr int CommentBlockSize = BlockHeaderSize + 4;

// Everything of the tile file but its tile data, attribute bytes and link data: the file
// header, the "CHAR" (20), "ATTR" (16) and "LINK" (8) block headers and the comment block.
constexpr qint64 TileFileFixedBytes = 16 + 20 + 16 + 8 + CommentBlockSize;

void PutU16(QByteArray& bytes, quint16 value)
{
    char raw[2];
    qToLittleEndian(value, raw);
    bytes.append(raw, 2);
}

void PutU32(QByteArray& bytes, quint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

void PutFileHeader(QByteArray& bytes, const char* magic, quint32 size, quint16 blocks)
{
    bytes.append(magic, 4);
    PutU16(bytes, ByteOrderMark);
    PutU16(bytes, Version);
    PutU32(bytes, size);
    PutU16(bytes, FileHeaderSize);
    PutU16(bytes, blocks);
}

void PutBlockHeader(QByteArray& bytes, const char* tag, quint32 size)
{
    bytes.append(tag, 4);
    PutU32(bytes, size);
}

void PutComment(QByteArray& bytes)
{
    PutBlockHeader(bytes, "CMNT", CommentBlockSize);
    PutU32(bytes, 0);
}
} // namespace

namespace VccFile
{
QByteArray PaletteFile(const VccPalette& palette)
{
    constexpr quint32 paltBlockSize = 16 + 2 * 256;
    // The size field leaves out the four comment bytes; the handheld's tools know the
    // files this way.
    constexpr quint32 sizeField = FileHeaderSize + paltBlockSize + BlockHeaderSize;

    QByteArray bytes;
    bytes.reserve(PaletteFileSize);
    PutFileHeader(bytes, "VCCL", sizeField, 2);
    PutBlockHeader(bytes, "PALT", paltBlockSize);
    PutU32(bytes, 256);
    PutU32(bytes, 1);
    for (quint16 entry : palette)
        PutU16(bytes, entry);
    PutComment(bytes);
    return bytes;
}

QByteArray LinkData(const QByteArray& encodedName)
{
    const qsizetype padded = (encodedName.size() + 3) / 4 * 4 + 4;
    QByteArray data = encodedName;
    data.append(padded - encodedName.size(), '\0');
    return data;
}

qint64 TileFileSize(qint64 tileBytes, quint32 tilesPerRow, quint32 tileRows, qint64 linkDataBytes)
{
    const qint64 attributes = qint64(tilesPerRow) * tileRows;
    if (tileBytes < 0 || linkDataBytes < 0)
        return -1;
    const qint64 limit = std::numeric_limits<quint32>::max();
    if (tileBytes > limit || attributes > limit || linkDataBytes > limit)
        return -1;
    const qint64 size = tileBytes + attributes + linkDataBytes + TileFileFixedBytes;
    return size > limit ? -1 : size;
}

QByteArray TileFileHead(qint64 tileBytes, quint32 tilesPerRow, quint32 tileRows,
                        qint64 linkDataBytes)
{
    const qint64 size = TileFileSize(tileBytes, tilesPerRow, tileRows, linkDataBytes);
    QByteArray bytes;
    PutFileHeader(bytes, "VCCG", quint32(size), 4);
    PutBlockHeader(bytes, "CHAR", quint32(tileBytes + 20));
    PutU32(bytes, tilesPerRow);
    PutU32(bytes, tileRows);
    PutU32(bytes, 1);
    return bytes;
}

QByteArray TileFileTail(quint32 tilesPerRow, quint32 tileRows, const QByteArray& linkData)
{
    const qint64 attributes = qint64(tilesPerRow) * tileRows;
    QByteArray bytes;
    bytes.reserve(16 + attributes + 8 + linkData.size() + CommentBlockSize);
    PutBlockHeader(bytes, "ATTR", quint32(attributes + 16));
    PutU32(bytes, tilesPerRow);
    PutU32(bytes, tileRows);
    bytes.append(attributes, '\0');
    PutBlockHeader(bytes, "LINK", quint32(linkData.size() + BlockHeaderSize));
    bytes.append(linkData);
    PutComment(bytes);
    return bytes;
}
} // namespace VccFile
