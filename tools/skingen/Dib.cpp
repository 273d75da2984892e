#include "Dib.h"

#include "base/Dib.h"

#include <QBuffer>
#include <QtEndian>
#include <cstring>

namespace {

void Put16(QByteArray& out, quint16 v) {
    uchar b[2];
    qToLittleEndian(v, b);
    out.append(reinterpret_cast<const char*>(b), 2);
}

void Put32(QByteArray& out, quint32 v) {
    uchar b[4];
    qToLittleEndian(v, b);
    out.append(reinterpret_cast<const char*>(b), 4);
}

int Stride(int width, int bitCount) {
    return int(DibStride(width, bitCount));
}

void PutInfoHeader(QByteArray& out, const DibHeader& header) {
    const auto bytes = DibHeaderBytes(header);
    out.append(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// The full table of an 8-bit image: 256 entries.
void PutColourTable(QByteArray& out, const QImage& indexed) {
    const QList<QRgb> table = indexed.colorTable();
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append('\0');
    }
}

// Pixel rows of an 8-bit indexed image, bottom-up.
void PutIndexedRows(QByteArray& out, const QImage& indexed) {
    const int stride = Stride(indexed.width(), 8);
    for (int y = indexed.height() - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        std::memcpy(row.data(), indexed.constScanLine(y), std::size_t(indexed.width()));
        out.append(row);
    }
}

} // namespace

QByteArray ResourceDib8(const QImage& indexed) {
    QByteArray out;
    PutInfoHeader(out, UncompressedDibHeader(indexed.width(), indexed.height(), 8, 256));
    PutColourTable(out, indexed);
    PutIndexedRows(out, indexed);
    return out;
}

QByteArray BmpFile24(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int stride = Stride(rgb.width(), 24);
    const quint32 pixels = quint32(stride * rgb.height());
    QByteArray out;
    out.append("BM");
    Put32(out, 14 + kDibHeaderSize + pixels);
    Put32(out, 0);
    Put32(out, 14 + kDibHeaderSize);
    PutInfoHeader(out, UncompressedDibHeader(rgb.width(), rgb.height(), 24));
    for (int y = rgb.height() - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            row[3 * x] = char(qBlue(in[x]));
            row[3 * x + 1] = char(qGreen(in[x]));
            row[3 * x + 2] = char(qRed(in[x]));
        }
        out.append(row);
    }
    return out;
}

QByteArray IcoFile(const QList<QImage>& images) {
    QList<QByteArray> bodies;
    for (const QImage& image : images) {
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        const int w = argb.width(), h = argb.height();
        QByteArray body;
        if (w >= 256) {
            QBuffer buffer(&body);
            buffer.open(QIODevice::WriteOnly);
            argb.save(&buffer, "PNG");
            bodies.append(body);
            continue;
        }
        // Straight (not premultiplied) BGRA rows, bottom-up, then the 1-bit mask that systems
        // without alpha use: set where the pixel is fully transparent. The height counts the
        // colour rows and the mask rows together.
        const int maskStride = Stride(w, 1);
        DibHeader header = UncompressedDibHeader(w, 2 * h, 32);
        header.biSizeImage = quint32((Stride(w, 32) + maskStride) * h);
        PutInfoHeader(body, header);
        for (int y = h - 1; y >= 0; --y) {
            const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                body.append(char(qBlue(in[x])));
                body.append(char(qGreen(in[x])));
                body.append(char(qRed(in[x])));
                body.append(char(qAlpha(in[x])));
            }
        }
        for (int y = h - 1; y >= 0; --y) {
            const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            QByteArray row(maskStride, '\0');
            for (int x = 0; x < w; ++x) {
                if (qAlpha(in[x]) == 0)
                    row[x / 8] = char(uchar(row[x / 8]) | (0x80 >> (x % 8)));
            }
            body.append(row);
        }
        bodies.append(body);
    }

    QByteArray out;
    Put16(out, 0);
    Put16(out, 1); // icon
    Put16(out, quint16(images.size()));
    quint32 offset = quint32(6 + 16 * images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const QImage& image = images[i];
        // 0 stands for 256.
        out.append(char(image.width() >= 256 ? 0 : image.width()));
        out.append(char(image.height() >= 256 ? 0 : image.height()));
        out.append('\0'); // no colour table
        out.append('\0');
        Put16(out, 1);  // planes
        Put16(out, 32); // bits per pixel
        Put32(out, quint32(bodies[i].size()));
        Put32(out, offset);
        offset += quint32(bodies[i].size());
    }
    for (const QByteArray& body : bodies)
        out.append(body);
    return out;
}
