#include "toolkit/Graphics.h"

#include "base/Dib.h"
#include "base/ProcessMemory.h"
#include "toolkit/Exception.h"
#include "toolkit/MemoryBudget.h"
#include "toolkit/qt/Convert.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QtEndian>
#include <limits>
#include <new>
#include <sys/mman.h>

namespace {

// Left free after any pixel allocation, so the program can still paint and report the failure.
constexpr std::uint64_t kMemoryReserve = std::uint64_t{64} << 20;
// From this size on, pixels get pages of their own (see NewPixels).
constexpr std::uint64_t kOwnPagesBytes = std::uint64_t{256} << 10;

struct Mapping {
    void* address;
    std::size_t length;
};

void Unmap(void* info) {
    const auto* m = static_cast<Mapping*>(info);
    munmap(m->address, m->length);
    delete m;
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
    auto* mapping = new (std::nothrow) Mapping{address, bytes};
    QImage image;
    try {
        // QImage checks the size itself and takes no ownership of pixels it refuses.
        if (mapping)
            image = QImage(static_cast<uchar*>(address), w, h, qsizetype(stride),
                           QImage::Format_RGB32, Unmap, mapping);
    } catch (const std::bad_alloc&) {
        image = QImage();
    }
    if (image.isNull()) {
        delete mapping;
        munmap(address, bytes);
        return {};
    }
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

bool MemoryFits(std::uint64_t bytes) {
    const std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t need = bytes > max - kMemoryReserve ? max : bytes + kMemoryReserve;
    if (const auto left = AddressSpaceLeft(); left && need > *left)
        return false;
    if (const auto available = AvailableMemory(); available && need > *available)
        return false;
    return true;
}

void TBitmap::SetSize(int w, int h) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (w == FWidth && h == FHeight)
        return;

    QImage image;
    if (w > 0 && h > 0) {
        // 64-bit: the 32-bit product wraps for large frames and would pass the check.
        const std::uint64_t bytes = std::uint64_t(w) * std::uint64_t(h) * 4;
        if (!PixelMemory().Fits(bytes))
            throw Exception("Zu wenig Arbeitsspeicher");
        const bool fresh = FImage.isNull();
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
            painter.drawImage(0, 0, *Pixels());
        }
        FWhitePending = fresh;
    } else {
        FWhitePending = false;
    }
    FImage = std::move(image);
    FWidth = w;
    FHeight = h;
    Changed();
}

const QImage& TBitmap::Image() const {
    return *Pixels();
}

QImage* TBitmap::Pixels() const {
    if (FWhitePending) {
        FWhitePending = false;
        Populate(FImage);
        FImage.fill(Qt::white);
    }
    return &FImage;
}

int TCanvas::TargetWidth() const {
    return FBitmap.FWidth;
}

int TCanvas::TargetHeight() const {
    return FBitmap.FHeight;
}

QImage* TCanvas::TargetPixels() {
    return FBitmap.Pixels();
}

// Like a drawing, it does not notify: the drawer does.
void TCanvas::TargetAdopt(const QImage& picture) {
    if (picture.width() != FBitmap.FWidth || picture.height() != FBitmap.FHeight ||
        picture.format() != QImage::Format_RGB32)
        return;
    FBitmap.FImage = picture;
    FBitmap.FWhitePending = false;
}

void TBitmap::SetImage(const QImage& image) {
    FWhitePending = false;
    FImage = image.format() == QImage::Format_RGB32 || image.isNull()
                 ? image
                 : image.convertToFormat(QImage::Format_RGB32);
    FWidth = FImage.width();
    FHeight = FImage.height();
    Changed();
}

void TBitmap::Assign(const TBitmap* source) {
    if (source == this)
        return;
    FWhitePending = false;
    FImage = source ? *source->Pixels() : QImage();
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
    SetImage(image);
}

void TBitmap::Changed() {
    if (OnChange)
        OnChange();
}

TPicture::TPicture() : FBitmap(std::make_unique<TBitmap>()) {
    Hook();
}

TPicture::TPicture(TPicture&& other) : TPicture() {
    std::swap(FBitmap, other.FBitmap);
    Hook();
    other.Hook();
}

// Only the pixels move: a listener belongs to the object's owner and stays where it is.
TPicture& TPicture::operator=(TPicture&& other) {
    if (this != &other) {
        std::swap(FBitmap, other.FBitmap);
        Hook();
        other.Hook();
        Changed();
    }
    return *this;
}

TPicture::~TPicture() = default;

void TPicture::Assign(const TPicture* source) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Assign(source ? source->FBitmap.get() : nullptr);
    Adopt(std::move(bitmap));
}

void TPicture::Assign(const TBitmap* source) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Assign(source);
    Adopt(std::move(bitmap));
}

void TPicture::LoadFromFile(const String& path) {
    const QImage image(PathToQ(path));
    if (image.isNull())
        throw Exception("Picture " + path + " could not be loaded");
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetImage(image);
    Adopt(std::move(bitmap));
}

void TPicture::LoadFromDefinition(const String& name) {
    LoadFromFile(":/definition/" + name + ".bmp");
}

void TPicture::Adopt(std::unique_ptr<TBitmap> bitmap) {
    FBitmap = std::move(bitmap);
    Hook();
    Changed();
}

void TPicture::Hook() {
    FBitmap->OnChange = [this] { Changed(); };
}

void TPicture::Changed() {
    if (OnChange)
        OnChange();
}
