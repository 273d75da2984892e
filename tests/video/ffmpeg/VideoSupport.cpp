#include "VideoSupport.h"

QImage DrawDib(const BITMAPINFOHEADER* dib, bool* drawn) {
    const DrawDibPtr dd(DrawDibOpen());
    return DrawSceneFrame(dd.get(), *dib, drawn);
}

Scene LoadScene(const std::string& path) {
    Scene s;
    static_cast<SceneRead&>(s) = ReadScene(
        path.c_str(), [&](LONG, const BITMAPINFOHEADER& dib, const QImage& picture, bool drawn) {
            s.frames.push_back(picture);
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
