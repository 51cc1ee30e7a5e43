#pragma once
// The handheld's palette file (".vcl", magic "VCCL") and tile graphics file (".vcg", magic
// "VCCG"): a file header and tagged blocks, little-endian throughout.
#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>

using VccPalette = std::array<quint16, 256>;

namespace VccFile
{
// Every palette file has this length.
constexpr int PaletteFileSize = 556;

// The whole palette file.
QByteArray PaletteFile(const VccPalette& palette);

// The link block's data for the palette file's encoded name: the name and zero bytes up to
// the next multiple of 4, plus four more.
QByteArray LinkData(const QByteArray& encodedName);

// The tile file's length for tile data of the given length; -1 when it does not fit the
// file's 32-bit size field.
qint64 TileFileSize(qint64 tileBytes, quint32 tilesPerRow, quint32 tileRows, qint64 linkDataBytes);

// The tile file around its tile data: what comes before it and what follows it.
// TileFileSize must have accepted the sizes.
QByteArray TileFileHead(qint64 tileBytes, quint32 tilesPerRow, quint32 tileRows,
                        qint64 linkDataBytes);
QByteArray TileFileTail(quint32 tilesPerRow, quint32 tileRows, const QByteArray& linkData);
} // namespace VccFile
