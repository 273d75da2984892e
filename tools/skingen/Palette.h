#pragma once

#include <QImage>
#include <QList>

// Reduces an opaque image to an indexed one with exactly `size` colour-table entries. Pixels
// whose colour is in `fixed` keep that exact colour (white corners must stay white); the rest
// share the remaining entries, chosen by median cut and refined by a few k-means rounds.
QImage ToIndexed(const QImage& image, int size, const QList<QRgb>& fixed);
