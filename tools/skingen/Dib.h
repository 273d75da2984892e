#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// Device-independent bitmaps as the old platform stores them: little-endian, rows bottom-up and
// padded to 4 bytes.

// A bitmap resource: info header, the full colour table of an 8-bit image, pixels; no file header.
QByteArray ResourceDib8(const QImage& indexed);

// A 24-bit .bmp file.
QByteArray BmpFile24(const QImage& image);

// One icon image: `indexed` holds 16 or 256 colours (4 or 8 bits); `mask` marks transparent
// pixels (true = transparent).
struct IconImage {
    QImage indexed;
    int bitCount;
    QList<QList<bool>> mask;
};
QByteArray IcoFile(const QList<IconImage>& images);
