#include "VideoSupport.h"

QImage DrawDib(const BITMAPINFOHEADER* dib, bool* drawn) {
    const DrawDibPtr dd(DrawDibOpen());
    return ToImage(DrawSceneFrame(dd.get(), *dib, drawn));
}

QImage ToImage(const std::uint8_t* bits, int width, int height, std::int64_t stride) {
    if (!bits)
        return {};
    return QImage(bits, width, height, qsizetype(stride), QImage::Format_RGB32).copy();
}

QImage ToImage(const TDrawImage& image) {
    if (image.Null())
        return {};
    return ToImage(reinterpret_cast<const std::uint8_t*>(image.Row(0)), image.Width(),
                   image.Height(), std::int64_t{image.Width()} * 4);
}

Scene LoadScene(const std::string& path) {
    Scene s;
    static_cast<SceneRead&>(s) =
        ReadScene(path.c_str(),
                  [&](LONG, const BITMAPINFOHEADER& dib, const TDrawImage& picture, bool drawn) {
                      s.frames.push_back(ToImage(picture));
                      s.bitCounts.push_back(dib.biBitCount);
                      s.allDrawn = s.allDrawn && drawn;
                      return true;
                  });
    return s;
}

OpenedFile OpenFile(const std::string& path) {
    PAVIFILE file = nullptr;
    const HRESULT result = AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr);
    return {result, AviFilePtr(file)};
}

OpenedStream GetStream(PAVIFILE file, DWORD type, LONG index) {
    PAVISTREAM stream = nullptr;
    const HRESULT result = AVIFileGetStream(file, &stream, type, index);
    return {result, AviStreamPtr(stream)};
}

OpenedVideo OpenVideo(const std::string& path) {
    OpenedVideo v;
    v.file = OpenFile(path).file;
    if (v.file)
        v.stream = GetStream(v.file.get()).stream;
    return v;
}
