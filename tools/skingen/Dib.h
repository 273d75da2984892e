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

// An icon file of square images with alpha, each 32-bit; those of 256 pixels and more are
// stored as PNG, as Windows expects them.
QByteArray IcoFile(const QList<QImage>& images);
