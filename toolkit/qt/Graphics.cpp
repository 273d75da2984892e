// Bitmaps on QImage: the pixels DrawDib draws into (or hands over finished) and the controls paint.

#include "toolkit/qt/Pixels.h"

#include "base/Dib.h"
#include "toolkit/Exception.h"
#include "toolkit/qt/Convert.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QtEndian>
#include <limits>
#include <memory>
#include <new>
#include <sys/mman.h>

// Pixels in Format_RGB32, the display's format. DrawDib reaches them through the canvas's handle,
// which is this object as a drawing target.
struct TBitmap::Pixels final : TDrawTarget {
    explicit Pixels(TBitmap& owner) : FOwner(owner) {}

    int TargetWidth() const override { return FOwner.FWidth; }
    int TargetHeight() const override { return FOwner.FHeight; }
    TDrawPixels TargetPixels() override;
    bool TargetAdopt(const TDrawPicture& picture) override;

    // The image, its white written first if it is still owed.
    QImage& Get();
    void Set(const QImage& image);

    TBitmap& FOwner;
    QImage FImage;
    // The white of a new bitmap is written when it is first looked at.
    bool FWhitePending = false;

    static Pixels& Of(const TBitmap& bitmap) { return *bitmap.FPixels; }
};

namespace {

// From this size on, pixels get pages of their own (see NewPixels).
constexpr std::uint64_t kOwnPagesBytes = std::uint64_t{256} << 10;

void ReleaseShared(void* info) {
    delete static_cast<std::shared_ptr<void>*>(info);
}

// An RGB32 image on memory that `owner` keeps alive for as long as the image's last copy; a null
// image when it cannot be had (QImage takes no ownership of pixels it refuses).
QImage SharedImage(std::uint8_t* bits, int w, int h, std::int64_t stride,
                   const std::shared_ptr<void>& owner) {
    auto* share = new (std::nothrow) std::shared_ptr<void>(owner);
    if (!share)
        return {};
    QImage image;
    try {
        image = QImage(bits, w, h, qsizetype(stride), QImage::Format_RGB32, ReleaseShared, share);
    } catch (const std::bad_alloc&) {
        image = QImage();
    }
    if (image.isNull())
        delete share;
    return image;
}

// An RGB32 image, null when it cannot be had. A scene keeps hundreds of large frames: in the
// heap they would sit between the decoder's short-lived buffers and pin freed space (the heap
// grew by the file's size on raw scenes), and every 4 KiB page would fault on first write. So
// large pixels are mapped on their own, returned to the system when the last sharer lets go,
// and faulted in with one call (Populate), unless they are left untouched for now.
void Populate(QImage& image) {
    const auto bytes = std::uint64_t(image.sizeInBytes());
    if (bytes >= kOwnPagesBytes)
        madvise(image.bits(), bytes, MADV_POPULATE_WRITE);
}

QImage NewPixels(int w, int h, bool populate) {
    const std::uint64_t stride = std::uint64_t(w) * 4;
    const std::uint64_t bytes = stride * std::uint64_t(h);
    if (bytes < kOwnPagesBytes)
        return QImage(w, h, QImage::Format_RGB32);
    void* address =
        mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (address == MAP_FAILED)
        return {};
    // Unmapped by the owner's last copy (also when making the owner fails).
    const std::shared_ptr<void> mapping(address, [bytes](void* a) { munmap(a, bytes); });
    QImage image =
        SharedImage(static_cast<std::uint8_t*>(address), w, h, std::int64_t(stride), mapping);
    if (image.isNull())
        return {};
    // Best effort: without it (older kernels) the first write faults the pages in as usual.
    if (populate)
        madvise(address, bytes, MADV_POPULATE_WRITE);
    return image;
}

// A bitmap resource is a DIB without the file header Qt's reader expects; that header only has
// to say where the pixels begin (after the info header and the colour table or bit masks). A
// DIB whose rows are not all there is no bitmap.
QImage DibToImage(const QByteArray& dib) {
    constexpr quint32 kFileHeader = 14;
    if (dib.size() < qsizetype(kDibHeaderSize) ||
        dib.size() > std::numeric_limits<qint32>::max() - kFileHeader)
        return {};
    const auto layout =
        DibDescribe(DibHeaderFromBytes(reinterpret_cast<const uchar*>(dib.constData())));
    if (!layout || layout->bitsOffset + layout->imageSize > dib.size())
        return {};
    const std::uint64_t offset = kFileHeader + std::uint64_t(layout->bitsOffset);
    const std::uint64_t fileSize = std::uint64_t{kFileHeader} + quint64(dib.size());

    QByteArray file(kFileHeader, '\0');
    auto* h = reinterpret_cast<uchar*>(file.data());
    h[0] = 'B';
    h[1] = 'M';
    qToLittleEndian<quint32>(static_cast<quint32>(fileSize), h + 2);
    qToLittleEndian<quint32>(static_cast<quint32>(offset), h + 10);
    file.append(dib);
    return QImage::fromData(file, "BMP");
}

} // namespace

QImage& TBitmap::Pixels::Get() {
    if (FWhitePending) {
        FWhitePending = false;
        Populate(FImage);
        FImage.fill(Qt::white);
    }
    return FImage;
}

void TBitmap::Pixels::Set(const QImage& image) {
    FWhitePending = false;
    FImage = image.format() == QImage::Format_RGB32 || image.isNull()
                 ? image
                 : image.convertToFormat(QImage::Format_RGB32);
    FOwner.FWidth = FImage.width();
    FOwner.FHeight = FImage.height();
    FOwner.Changed();
}

// bits() copies pixels that another image shares before anything is written into them.
TDrawPixels TBitmap::Pixels::TargetPixels() {
    QImage& image = Get();
    std::uint8_t* bits = image.isNull() ? nullptr : image.bits();
    if (!bits)
        return {};
    return {bits, image.bytesPerLine()};
}

// Like a drawing, it does not notify: the drawer does.
bool TBitmap::Pixels::TargetAdopt(const TDrawPicture& picture) {
    if (picture.width != FOwner.FWidth || picture.height != FOwner.FHeight)
        return false;
    QImage image =
        SharedImage(picture.bits, picture.width, picture.height, picture.stride, picture.owner);
    if (image.isNull())
        return false;
    FImage = std::move(image);
    FWhitePending = false;
    return true;
}

const QImage& BitmapImage(const TBitmap& bitmap) {
    return TBitmap::Pixels::Of(bitmap).Get();
}

void SetBitmapImage(TBitmap& bitmap, const QImage& image) {
    TBitmap::Pixels::Of(bitmap).Set(image);
}

TBitmap::TBitmap() : FPixels(std::make_unique<Pixels>(*this)) {}

TBitmap::~TBitmap() = default;

TDrawTarget* TCanvas::Handle() {
    return FBitmap.FPixels.get();
}

void TBitmap::Reallocate(int w, int h) {
    Pixels& p = *FPixels;
    QImage image;
    bool whitePending = false;
    if (w > 0 && h > 0) {
        const bool fresh = p.FImage.isNull();
        try {
            image = NewPixels(w, h, !fresh);
        } catch (const std::bad_alloc&) {
            image = QImage();
        }
        if (image.isNull())
            throw Exception("Systemressourcen erschöpft.");
        if (!fresh) {
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(0, 0, p.Get());
        }
        whitePending = fresh;
    }
    p.FImage = std::move(image);
    p.FWhitePending = whitePending;
}

void TBitmap::Assign(const TBitmap* source) {
    if (source == this)
        return;
    Pixels& p = *FPixels;
    p.FWhitePending = false;
    p.FImage = source ? source->FPixels->Get() : QImage();
    FWidth = source ? source->FWidth : 0;
    FHeight = source ? source->FHeight : 0;
    Changed();
}

void TBitmap::LoadFromResourceName(const String& resourceName) {
    const QString name = ToQ(resourceName);
    const QDir dir(QStringLiteral(":/bitmaps"));
    QString found;
    for (const QString& entry : dir.entryList(QDir::Files)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) {
            found = entry;
            break;
        }
    }
    if (found.isEmpty())
        throw Exception("Resource " + resourceName + " not found");

    QFile file(dir.filePath(found));
    const QImage image = file.open(QIODevice::ReadOnly) ? DibToImage(file.readAll()) : QImage();
    if (image.isNull())
        throw Exception("Resource " + resourceName + " is not a valid bitmap");
    FPixels->Set(image);
}

void TPicture::LoadFromFile(const String& path) {
    const QImage image(PathToQ(path));
    if (image.isNull())
        throw Exception("Picture " + path + " could not be loaded");
    auto bitmap = std::make_unique<TBitmap>();
    SetBitmapImage(*bitmap, image);
    Adopt(std::move(bitmap));
}

void TPicture::LoadFromDefinition(const String& name) {
    LoadFromFile(":/definition/" + name + ".bmp");
}
