#include "Dib.h"

#include "base/Dib.h"

#include <QtEndian>

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

void PutColourTable(QByteArray& out, const QImage& indexed, int entries) {
    const QList<QRgb> table = indexed.colorTable();
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append('\0');
    }
}

// Pixel rows of an indexed image at 4 or 8 bits, bottom-up.
void PutIndexedRows(QByteArray& out, const QImage& indexed, int bitCount) {
    const int stride = Stride(indexed.width(), bitCount);
    for (int y = indexed.height() - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        const uchar* in = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x) {
            if (bitCount == 8)
                row[x] = char(in[x]);
            else
                row[x / 2] = char(uchar(row[x / 2]) | (x % 2 ? in[x] & 0x0f : (in[x] & 0x0f) << 4));
        }
        out.append(row);
    }
}

} // namespace

QByteArray ResourceDib8(const QImage& indexed) {
    QByteArray out;
    PutInfoHeader(out, UncompressedDibHeader(indexed.width(), indexed.height(), 8, 256));
    PutColourTable(out, indexed, 256);
    PutIndexedRows(out, indexed, 8);
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

QByteArray IcoFile(const QList<IconImage>& images) {
    QList<QByteArray> bodies;
    for (const IconImage& icon : images) {
        const int w = icon.indexed.width(), h = icon.indexed.height();
        const int maskStride = Stride(w, 1);
        QByteArray body;
        // The height counts the colour rows and the mask rows together.
        DibHeader header = UncompressedDibHeader(w, 2 * h, icon.bitCount);
        header.biSizeImage = quint32((Stride(w, icon.bitCount) + maskStride) * h);
        PutInfoHeader(body, header);
        PutColourTable(body, icon.indexed, 1 << icon.bitCount);
        PutIndexedRows(body, icon.indexed, icon.bitCount);
        for (int y = h - 1; y >= 0; --y) {
            QByteArray row(maskStride, '\0');
            for (int x = 0; x < w; ++x) {
                if (icon.mask[y][x])
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
        const IconImage& icon = images[i];
        out.append(char(icon.indexed.width() >= 256 ? 0 : icon.indexed.width()));
        out.append(char(icon.indexed.height() >= 256 ? 0 : icon.indexed.height()));
        out.append(char(icon.bitCount >= 8 ? 0 : 1 << icon.bitCount));
        out.append('\0');
        Put16(out, 1);
        Put16(out, quint16(icon.bitCount));
        Put32(out, quint32(bodies[i].size()));
        Put32(out, offset);
        offset += quint32(bodies[i].size());
    }
    for (const QByteArray& body : bodies)
        out.append(body);
    return out;
}
