// Draws the transport buttons' skins and the program icon, and writes them in the formats the
// program embeds: 8-bit resource DIBs, 24-bit window-definition pictures, an icon with alpha at
// every size Windows asks for. The desktop's PNG icons (icons/hicolor/) and the Windows
// installer's picture (installer/) come from the same artwork.
//
// Usage: skingen <output dir> [--preview <dir>]   (the preview is a PNG sheet at 1:1 and 8x)

#include "Artwork.h"
#include "Dib.h"
#include "Palette.h"

#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QStringList>
#include <cstdio>
#include <utility>

namespace {

bool Write(const QString& path, const QByteArray& data) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

const QList<std::pair<const char*, Look>> kLooks = {
    {"UNPRESSED", Look::Rest}, {"HIGHLIGHT", Look::Highlight}, {"PRESSED", Look::Pressed}};

// The window definition's pictures: displayed and UpPict at rest, OverPict bright, DownPict
// bright on the pressed ball.
const QList<std::pair<const char*, Look>> kDefinitionPictures = {{"Picture", Look::Rest},
                                                                 {"OverPict", Look::Highlight},
                                                                 {"DownPict", Look::Pressed},
                                                                 {"UpPict", Look::Rest}};

const QList<std::pair<const char*, Symbol>> kButtons = {
    {"ImgBtn12", Symbol::Play}, {"ImgBtn13", Symbol::StepForward}, {"ImgBtn14", Symbol::StepBack}};

// Windows picks among these for every view and scale: 16 to 48 for lists and the title bar
// (up to 200 %), 64 and 256 for Explorer's large icons.
constexpr int kWindowsIconSizes[] = {16, 20, 24, 32, 40, 48, 64, 256};
// The hicolor theme's sizes that desktops ask for: panels (22, 24), menus and lists, the software
// centre (64, 128) and high-resolution screens (256).
constexpr int kDesktopIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

QImage Sheet(const QList<QList<QImage>>& rows, int scale, QColor background) {
    int w = 0, h = 0;
    for (const auto& row : rows) {
        int rw = 0, rh = 0;
        for (const QImage& img : row) {
            rw += img.width() * scale + 4 * scale;
            rh = std::max(rh, img.height() * scale);
        }
        w = std::max(w, rw);
        h += rh + 4 * scale;
    }
    QImage sheet(w + 4 * scale, h + 4 * scale, QImage::Format_RGB32);
    sheet.fill(background);
    QPainter p(&sheet);
    int y = 4 * scale;
    for (const auto& row : rows) {
        int x = 4 * scale, rh = 0;
        for (const QImage& img : row) {
            p.drawImage(QRect(x, y, img.width() * scale, img.height() * scale), img);
            x += img.width() * scale + 4 * scale;
            rh = std::max(rh, img.height() * scale);
        }
        y += rh + 4 * scale;
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QString previewDir;
    if (const qsizetype at = args.indexOf(QStringLiteral("--preview")); at >= 0) {
        if (at + 1 >= args.size()) {
            std::fprintf(stderr, "usage: skingen <output dir> [--preview <dir>]\n");
            return 2;
        }
        previewDir = args[at + 1];
        args.remove(at, 2);
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: skingen <output dir> [--preview <dir>]\n");
        return 2;
    }
    const QDir out(args[0]);
    for (const char* sub : {"bitmaps", "definition", "icons", "installer"}) {
        if (!out.mkpath(QLatin1String(sub))) {
            std::fprintf(stderr, "skingen: cannot create %s\n", qPrintable(out.filePath(sub)));
            return 1;
        }
    }

    bool ok = true;
    QList<QList<QImage>> preview;
    const QList<QRgb> white = {qRgb(255, 255, 255)};
    for (const auto& [name, symbol] : {std::pair{"PLAY", Symbol::Play}, {"PAUSE", Symbol::Pause}}) {
        QList<QImage> row;
        for (const auto& [state, look] : kLooks) {
            const QImage indexed = ToIndexed(DrawSkin(symbol, look), 256, white);
            const QString file = QStringLiteral("bitmaps/%1_%2").arg(name, state);
            ok = Write(out.filePath(file), ResourceDib8(indexed)) && ok;
            row << indexed.convertToFormat(QImage::Format_RGB32);
        }
        preview << row;
    }
    for (const auto& [button, symbol] : kButtons) {
        QList<QImage> row;
        for (const auto& [kind, look] : kDefinitionPictures) {
            const QImage image = DrawSkin(symbol, look);
            const QString file = QStringLiteral("definition/%1_%2.bmp").arg(button, kind);
            ok = Write(out.filePath(file), BmpFile24(image)) && ok;
            row << image;
        }
        preview << row;
    }

    QList<QImage> icons;
    for (int size : kWindowsIconSizes)
        icons << DrawIcon(size);
    ok = Write(out.filePath(QStringLiteral("icons/reelstand.ico")), IcoFile(icons)) && ok;
    for (int size : kDesktopIconSizes) {
        const QString dir = QStringLiteral("icons/hicolor/%1x%1").arg(size);
        const QString file = out.filePath(dir + QStringLiteral("/reelstand.png"));
        if (!out.mkpath(dir) || !DrawIcon(size).save(file)) {
            std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(file));
            ok = false;
        }
    }

    // The Windows installer's welcome and finish pages: the icon's ball on a pale sky, at the
    // size the pages are laid out for (164 x 314 at 100 %).
    QImage wizard(164, 314, QImage::Format_RGB32);
    {
        QPainter p(&wizard);
        QLinearGradient sky(0, 0, 0, wizard.height());
        sky.setColorAt(0.0, Qt::white);
        sky.setColorAt(1.0, QColor(196, 222, 250));
        p.fillRect(wizard.rect(), sky);
        p.drawImage(QPoint(18, 40), DrawIcon(128));
    }
    ok = Write(out.filePath(QStringLiteral("installer/wizard.bmp")), BmpFile24(wizard)) && ok;

    if (!previewDir.isEmpty() && ok) {
        QDir(previewDir).mkpath(QStringLiteral("."));
        const QList<QList<QImage>> iconRows = {icons};
        for (int scale : {1, 8}) {
            const QString suffix = QStringLiteral("_%1x.png").arg(scale);
            ok = Sheet(preview, scale, Qt::white)
                     .save(QDir(previewDir).filePath(QStringLiteral("skins") + suffix)) &&
                 ok;
            ok = Sheet(iconRows, scale, QColor(90, 90, 90))
                     .save(QDir(previewDir).filePath(QStringLiteral("icons") + suffix)) &&
                 ok;
        }
    }
    return ok ? 0 : 1;
}
