#include "Palette.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace {

struct Entry {
    QRgb colour;
    qint64 count;
};

int Channel(QRgb c, int axis) {
    return axis == 0 ? qRed(c) : axis == 1 ? qGreen(c) : qBlue(c);
}

qint64 Distance(QRgb a, QRgb b) {
    // Green weighs most, blue least, roughly as the eye does.
    const qint64 dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

QRgb Mean(const std::vector<Entry>& entries) {
    std::array<qint64, 3> sum{};
    qint64 n = 0;
    for (const Entry& e : entries) {
        for (int a = 0; a < 3; ++a)
            sum[a] += Channel(e.colour, a) * e.count;
        n += e.count;
    }
    if (n == 0)
        return qRgb(0, 0, 0);
    return qRgb(int((sum[0] + n / 2) / n), int((sum[1] + n / 2) / n), int((sum[2] + n / 2) / n));
}

std::vector<QRgb> MedianCut(std::vector<Entry> colours, int wanted) {
    std::vector<std::vector<Entry>> boxes;
    boxes.push_back(std::move(colours));
    while (int(boxes.size()) < wanted) {
        // Split the box with the widest channel range that still holds two colours.
        int best = -1, bestAxis = 0, bestRange = 0;
        for (int i = 0; i < int(boxes.size()); ++i) {
            if (boxes[i].size() < 2)
                continue;
            for (int a = 0; a < 3; ++a) {
                const auto [lo, hi] = std::minmax_element(
                    boxes[i].begin(), boxes[i].end(), [a](const Entry& x, const Entry& y) {
                        return Channel(x.colour, a) < Channel(y.colour, a);
                    });
                const int range = Channel(hi->colour, a) - Channel(lo->colour, a);
                if (range > bestRange) {
                    best = i;
                    bestAxis = a;
                    bestRange = range;
                }
            }
        }
        if (best < 0)
            break;
        std::vector<Entry>& box = boxes[best];
        std::sort(box.begin(), box.end(), [bestAxis](const Entry& x, const Entry& y) {
            return Channel(x.colour, bestAxis) < Channel(y.colour, bestAxis);
        });
        qint64 total = 0;
        for (const Entry& e : box)
            total += e.count;
        qint64 running = 0;
        size_t cut = 1;
        for (; cut < box.size() - 1; ++cut) {
            running += box[cut - 1].count;
            if (running * 2 >= total)
                break;
        }
        std::vector<Entry> upper(box.begin() + qsizetype(cut), box.end());
        box.resize(cut);
        boxes.push_back(std::move(upper));
    }
    std::vector<QRgb> palette;
    for (const auto& box : boxes)
        palette.push_back(Mean(box));
    return palette;
}

int Nearest(QRgb c, const std::vector<QRgb>& palette) {
    int best = 0;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (int i = 0; i < int(palette.size()); ++i) {
        const qint64 d = Distance(c, palette[size_t(i)]);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

} // namespace

QImage ToIndexed(const QImage& image, int size, const QList<QRgb>& fixed) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, qint64> histogram;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = line[x] | 0xff000000u;
            if (!fixed.contains(c))
                ++histogram[c];
        }
    }
    std::vector<Entry> colours;
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
        colours.push_back({it.key(), it.value()});
    // Deterministic output regardless of hash order.
    std::sort(colours.begin(), colours.end(),
              [](const Entry& a, const Entry& b) { return a.colour < b.colour; });

    const int available = size - int(fixed.size());
    std::vector<QRgb> chosen;
    if (int(colours.size()) <= available) {
        for (const Entry& e : colours)
            chosen.push_back(e.colour);
    } else {
        chosen = MedianCut(colours, available);
        for (int round = 0; round < 8; ++round) {
            std::vector<std::vector<Entry>> members(chosen.size());
            for (const Entry& e : colours)
                members[size_t(Nearest(e.colour, chosen))].push_back(e);
            for (size_t i = 0; i < chosen.size(); ++i) {
                if (!members[i].empty())
                    chosen[i] = Mean(members[i]);
            }
        }
    }

    std::vector<QRgb> palette(fixed.begin(), fixed.end());
    palette.insert(palette.end(), chosen.begin(), chosen.end());
    QList<QRgb> table(palette.begin(), palette.end());
    while (table.size() < size)
        table.append(qRgb(0, 0, 0));

    QImage indexed(rgb.size(), QImage::Format_Indexed8);
    indexed.setColorTable(table);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = in[x] | 0xff000000u;
            const qsizetype exact = fixed.indexOf(c);
            out[x] = uchar(exact >= 0 ? exact : Nearest(c, palette));
        }
    }
    return indexed;
}
