#pragma once

#include "toolkit/Form.h"

#include <cstdint>
#include <memory>
#include <vector>

class TApplication;
class TBevel;
class TBitmap;
class TImage;
class TImgBtn;
class TLabel;
class TOpenDialog;
class TPanel;
class TTimer;
class TTrackBar;

// The player's one window: start-up, full screen, the scene loader, the playback clock and the
// transport controls all act on the state held here.
class TForm1 : public TForm {
public:
    // `args` are the command-line arguments 1 ... N (without the program itself) for the
    // argument walks; `openFile` is a scene named with --open after every scene argument.
    TForm1(TApplication& app, std::vector<String> args, String openFile = {});
    ~TForm1() override;

    // Controls, named as in the window definition.
    TPanel* Panel1 = nullptr;           // the black frame that holds everything, kept centred
    TLabel* Label1 = nullptr;           // "schließen": ends the program
    TLabel* Label2 = nullptr;           // "öffnen": opens a scene through the file dialog
    TPanel* Panel3 = nullptr;           // the white panel around the picture area and transport bar
    TImage* Image3 = nullptr;           // the picture area: the current frame, 1:1
    TBevel* Bevel1 = nullptr;           // the etched line above the transport bar
    TPanel* Panel2 = nullptr;           // the transport bar: slider and buttons
    TImgBtn* ImgBtn12 = nullptr;        // play / pause
    TImgBtn* ImgBtn13 = nullptr;        // one frame forward
    TImgBtn* ImgBtn14 = nullptr;        // one frame back
    TTrackBar* TrackBar1 = nullptr;     // the position slider
    TOpenDialog* OpenDialog1 = nullptr; // the file dialog behind "öffnen"
    TTimer* Timer1 = nullptr;           // the playback clock, every 80 ms

    // Event handlers, bound by the window definition.
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormResize(TObject* Sender);
    void Label1Click(TObject* Sender);
    void Label2Click(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void ImgBtn12Click(TObject* Sender);
    void ImgBtn13Click(TObject* Sender);
    void ImgBtn14Click(TObject* Sender);
    void TrackBar1Change(TObject* Sender);

    void setfullscreen(bool Value);
    void OpenScene(const String& Path);
    void UpdatePlayButton();

    // Read access for tests and benchmarks.
    int FrameCount() const { return static_cast<int>(FFrames.size()); }
    const TBitmap* Frame(int i) const { return FFrames[static_cast<std::size_t>(i)].get(); }
    int Current() const { return FCurrent; }
    int LastIndex() const { return FLastIndex; }
    bool Paused() const { return FPaused; }
    bool SceneLoaded() const { return FSceneLoaded; }
    bool FullScreen() const { return FFullScreen; }
    bool OpenRequested() const { return FOpenRequested; }
    const String& SceneFile() const { return FSceneFile; }
    bool Decoding() const { return FDecoding; }

private:
    void CreateDefinition();
    void ReadFrames(const String& Path);
    void FormDropFiles(const std::vector<String>& Files);
    void ShowFrame(int i);
    void RunPendingOpen();
    const char* PlayButtonName() const;
    String PictureName() const;

    TApplication& FApp;
    std::vector<String> FArgs;
    String FOpenFile;

    bool FFullScreen = false;
    std::uint32_t FSavedStyle = 0;
    std::int32_t FSavedHeight = 0;
    std::int32_t FSavedWidth = 0;
    std::int32_t FSavedLeft = 0;
    std::int32_t FSavedTop = 0;
    TWindowState FSavedWindowState = TWindowState::Normal;
    String FSceneFile;
    std::vector<std::unique_ptr<TBitmap>> FFrames;
    bool FOpenRequested = false;
    bool FTrackByUser = false;
    std::int32_t FLastIndex = 0;
    std::int32_t FCurrent = 0;
    bool FPaused = false;
    bool FSceneLoaded = false;
    // The frame the picture area shows; -1 before the first.
    std::int32_t FShown = -1;

    // A request that arrives while a decode runs waits here (the latest wins) and is carried out
    // once that decode has returned, so that no decode ever starts inside another.
    bool FDecoding = false;
    String FPendingScene;
    bool FHasPendingScene = false;
};
