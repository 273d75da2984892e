#include "app/Unit1.h"

#include "app/CommandLine.h"
#include "controls/ImgBtn.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Exception.h"
#include "toolkit/Graphics.h"
#include "toolkit/Image.h"
#include "toolkit/SysUtils.h"
#include "toolkit/Timer.h"
#include "toolkit/TrackBar.h"
#include "video/VFW.h"
#include "video/VFWHandles.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

namespace {

// Frame time of the stream, as the old floating-point unit computed it: a zero rate or scale is
// a division by zero, both zero an invalid operation.
std::uint32_t MsPerFrame(std::uint32_t rate, std::uint32_t scale) {
    if (scale == 0 && rate == 0)
        throw Exception("Ungültige Gleitkommaoperation");
    if (scale == 0 || rate == 0)
        throw Exception("Gleitkommadivision durch Null");
    const double ms = std::trunc(1000.0 / (static_cast<double>(rate) / scale));
    // Only a hint; clamp instead of overflowing on absurd rates.
    return static_cast<std::uint32_t>(
        std::min(ms, static_cast<double>(std::numeric_limits<std::uint32_t>::max())));
}

TFont DefinitionFont(int pixelHeight, TColor color, bool bold = false, bool underline = false) {
    return TFont{"Liberation Sans", pixelHeight, color, bold, underline};
}

} // namespace

TForm1::TForm1(TApplication& app, std::vector<String> args, String openFile)
    : FApp(app), FArgs(std::move(args)), FOpenFile(std::move(openFile)) {
    // Empty arguments do not count, as an empty quoted argument never reached the old program.
    FArgs.erase(std::remove(FArgs.begin(), FArgs.end(), String()), FArgs.end());
    CreateDefinition();
    FApp.Guard([this] { FormCreate(this); });
}

TForm1::~TForm1() = default;

// The window definition: every control with its values, in creation order, and the bindings of
// the event handlers. Code only changes state at run time.
void TForm1::CreateDefinition() {
    const auto guarded = [this](void (TForm1::*handler)(TObject*)) {
        return [this, handler](TObject* sender) { FApp.Guard([&] { (this->*handler)(sender); }); };
    };

    // Form1
    Name = "Form1";
    SetCaption("Tavrin Reelstand");
    SetColor(clBlack);
    SetFont(DefinitionFont(11, clBlack));
    SetMinimumOuterSize(560, 660);
    SetBounds(214, 135, 560, 660);
    OnShow = [this] { FormShow(this); };
    OnResize = [this] { FApp.Guard([this] { FormResize(this); }); };
    OnCloseRequest = [this] { FApp.Terminate(); };
    // A file dropped on the window is an open request, like a choice in the file dialog.
    OnDropFiles = [this](const std::vector<String>& files) {
        FApp.Guard([&] { FormDropFiles(files); });
    };

    // Timer1 counts from here on, before FormCreate.
    Timer1 = new TTimer(this);
    Timer1->Name = "Timer1";
    Timer1->SetInterval(80);
    Timer1->OnTimer = guarded(&TForm1::Timer1Timer);
    Timer1->SetEnabled(true);

    Panel1 = new TPanel(this);
    Panel1->Name = "Panel1";
    Panel1->SetBounds(0, 0, 529, 625);
    Panel1->SetColor(clBlack);
    Panel1->SetBevelOuter(TBevelCut::None);

    const TFont labelFont = DefinitionFont(13, clWhite, true, true);
    Label1 = new TLabel(Panel1);
    Label1->Name = "Label1";
    Label1->SetLeft(460);
    Label1->SetTop(600);
    Label1->SetFont(labelFont);
    Label1->SetCaption("schließen");
    Label1->OnClick = guarded(&TForm1::Label1Click);
    Label1->SetAccessibleRole(TAccessibleRole::Link);

    Label2 = new TLabel(Panel1);
    Label2->Name = "Label2";
    Label2->SetLeft(404);
    Label2->SetTop(600);
    Label2->SetFont(labelFont);
    Label2->SetCaption("öffnen");
    Label2->OnClick = guarded(&TForm1::Label2Click);
    Label2->SetAccessibleRole(TAccessibleRole::Link);

    Panel3 = new TPanel(Panel1);
    Panel3->Name = "Panel3";
    Panel3->SetBounds(0, 0, 529, 589);
    Panel3->SetColor(clWhite);
    Panel3->SetBevelOuter(TBevelCut::Raised);
    Panel3->SetBevelInner(TBevelCut::Lowered);

    Image3 = new TImage(Panel3);
    Image3->Name = "Image3";
    Image3->SetBounds(9, 7, 512, 512);
    Image3->SetAccessibleRole(TAccessibleRole::Picture);
    // Read when asked, never announced: the frame changes with every tick.
    Image3->OnAccessibleName = [this] { return PictureName(); };

    Bevel1 = new TBevel(Panel3);
    Bevel1->Name = "Bevel1";
    Bevel1->SetBounds(8, 528, 513, 13);

    Panel2 = new TPanel(Panel3);
    Panel2->Name = "Panel2";
    Panel2->SetBounds(4, 532, 521, 57);
    Panel2->SetColor(clWhite);
    Panel2->SetBevelOuter(TBevelCut::None);

    // The buttons take their values in the stored order: bounds, automatic sizing, Enabled (which
    // shows the still empty UpPict), the displayed picture, the bindings, then the hover, pressed
    // and rest pictures; so a fresh button shows the definition's displayed picture.
    const auto defineButton = [&](const char* name, int left, void (TForm1::*click)(TObject*),
                                  const char* does) {
        auto* button = new TImgBtn(Panel2);
        const String n = name;
        const auto picture = [&n](const char* kind) {
            TPicture p;
            p.LoadFromDefinition(n + "_" + kind);
            return p;
        };
        button->Name = n;
        button->SetBounds(left, 16, 30, 29);
        button->SetAutoSize(true);
        button->SetEnabled(true);
        const TPicture shown = picture("Picture");
        button->Picture()->Assign(&shown);
        button->OnClick = guarded(click);
        button->OnDblClick = guarded(click);
        const TPicture over = picture("OverPict");
        button->SetOverPict(&over);
        const TPicture down = picture("DownPict");
        button->SetDownPict(&down);
        const TPicture up = picture("UpPict");
        button->SetUpPict(&up);
        button->SetAccessibleRole(TAccessibleRole::Button);
        button->SetAccessibleName(does);
        return button;
    };
    ImgBtn12 = defineButton("ImgBtn12", 484, &TForm1::ImgBtn12Click, PlayButtonName());
    ImgBtn13 = defineButton("ImgBtn13", 448, &TForm1::ImgBtn13Click, "Bild vor");
    ImgBtn14 = defineButton("ImgBtn14", 416, &TForm1::ImgBtn14Click, "Bild zurück");

    TrackBar1 = new TTrackBar(Panel2);
    TrackBar1->Name = "TrackBar1";
    TrackBar1->SetBounds(12, 19, 389, 22);
    TrackBar1->SetLineSize(0);
    TrackBar1->SetPageSize(0);
    TrackBar1->SetThumbLength(20);
    TrackBar1->OnChange = guarded(&TForm1::TrackBar1Change);
    TrackBar1->SetAccessibleRole(TAccessibleRole::Slider);
    TrackBar1->SetAccessibleName("Bildposition");
    // The slider takes the keyboard focus when the window is activated; Tab goes on in the order
    // the controls are seen, left to right, and the labels are reached last.
    SetActiveControl(TrackBar1);
    SetTabOrder({TrackBar1, ImgBtn14, ImgBtn13, ImgBtn12, Label2, Label1});

    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->Name = "OpenDialog1";
}

void TForm1::FormCreate(TObject*) {
    FFrames.clear();
    for (const String& arg : FArgs) {
        if (arg == "-vollbild")
            SetBorderStyleNone();
    }
}

void TForm1::FormShow(TObject*) {
    for (const String& arg : FArgs) {
        if (arg == "-vollbild")
            setfullscreen(true);
        if (IsSceneArgument(arg))
            FSceneFile = arg;
    }
    // A scene named with --open opens whatever its name, like a choice in the dialog.
    if (!FOpenFile.empty())
        FSceneFile = FOpenFile;
    if (!FSceneFile.empty())
        OpenScene(FSceneFile);
}

void TForm1::FormResize(TObject*) {
    Panel1->SetLeft(OuterWidth() / 2 - Panel1->Width() / 2 - 5);
    Panel1->SetTop(OuterHeight() / 2 - Panel1->Height() / 2 - 10);
}

void TForm1::Label1Click(TObject*) {
    Close();
}

void TForm1::Label2Click(TObject*) {
    if (OpenDialog1->Execute())
        OpenScene(OpenDialog1->FileName());
}

// Runs from the event loop after the drop has returned. A drop without a local file says why
// nothing opens.
void TForm1::FormDropFiles(const std::vector<String>& Files) {
    if (Files.empty())
        FApp.MessageBox("Nur lokale Dateien lassen sich öffnen");
    else
        OpenScene(Files.front());
}

void TForm1::setfullscreen(bool Value) {
    if (Value == FFullScreen)
        return;
    FFullScreen = Value;
    if (Value) {
        FSavedStyle = WindowStyle();
        // Clears the caption bits (WS_CAPTION) and keeps every other one.
        SetWindowStyle(WindowStyle() & 0xFF3FFFFFu);
        FSavedHeight = OuterHeight();
        FSavedWidth = OuterWidth();
        FSavedLeft = OuterLeft();
        FSavedTop = OuterTop();
        FSavedWindowState = WindowState();
        SetWindowState(TWindowState::Maximized);
        SetClientHeight(ScreenHeight());
    } else {
        SetWindowStyle(FSavedStyle);
        SetBounds(FSavedLeft, FSavedTop, FSavedWidth, FSavedHeight);
        SetWindowState(FSavedWindowState);
    }
    Repaint();
}

void TForm1::OpenScene(const String& Path) {
    if (FDecoding) {
        FPendingScene = Path;
        FHasPendingScene = true;
        return;
    }
    FOpenRequested = true;
    FApp.SetMessageFile(Path);
    if (!FileExists(Path)) {
        FApp.MessageBox("Diese Szene ist nicht vorhanden");
        return;
    }
    FCurrent = 0;
    FPaused = false;
    UpdatePlayButton();
    FTrackByUser = false;
    TrackBar1->SetPosition(0);
    ReadFrames(Path);
    FSceneLoaded = true;
}

void TForm1::RunPendingOpen() {
    if (!FHasPendingScene || FDecoding)
        return;
    FHasPendingScene = false;
    OpenScene(std::exchange(FPendingScene, String()));
}

void TForm1::ReadFrames(const String& Path) {
    FDecoding = true;
    // Whatever way the decode ends, a request that waited for it runs next, from the event loop.
    struct DecodeEnd {
        TForm1* form;
        ~DecodeEnd() {
            form->FDecoding = false;
            if (form->FHasPendingScene)
                form->Post([f = form] { f->FApp.Guard([f] { f->RunPendingOpen(); }); });
        }
    } decodeEnd{this};

    FFrames.clear();

    PAVIFILE rawFile = nullptr;
    const HRESULT hr = AVIFileOpenPath(&rawFile, Path.c_str());
    AviFilePtr file(rawFile);
    if (hr != AVIERR_OK) {
        FApp.MessageBox(AVIResultText(hr));
        throw Exception("Fehler beim Öffnen der Datei");
    }

    PAVISTREAM rawStream = nullptr;
    const HRESULT streamResult = AVIFileGetStream(file.get(), &rawStream, streamtypeVIDEO, 0);
    AviStreamPtr stream(rawStream);
    if (streamResult == AVIERR_NODATA)
        throw Exception("Fehler beim Öffnen der Datei (Audio)");
    // Any other refusal leaves no stream to read: report it as the file failing to open.
    if (!stream)
        throw Exception("Fehler beim Öffnen der Datei");

    const LONG start = AVIStreamStart(stream.get());
    const LONG end = AVIStreamEnd(stream.get());

    GetFramePtr getFrame(AVIStreamGetFrameOpen(stream.get(), nullptr));
    // The program's own text, odd as it looks: do not correct it.
    if (!getFrame)
        throw Exception("Error en Frameopen");

    DrawDibPtr drawDib(DrawDibOpen());

    AVISTREAMINFOA info{};
    AVIStreamInfoA(stream.get(), &info, sizeof info);
    DrawDibStart(drawDib.get(), MsPerFrame(info.dwRate, info.dwScale));

    // The program's own text, odd as it looks: do not correct it.
    if (AVIStreamBeginStreaming(stream.get(), start, end, 1000) != AVIERR_OK)
        throw Exception("Error n AVIBegin");

    for (LONG n = 0;; ++n) {
        const auto* header =
            static_cast<const BITMAPINFOHEADER*>(AVIStreamGetFrame(getFrame.get(), n));
        if (header == nullptr)
            break;
        // Pixels follow the header and, for palettised or bit-field formats, the table or masks.
        const std::int64_t bitsOffset = DibBitsOffset(*header);
        if (bitsOffset < 0)
            continue; // never draw a frame whose layout cannot be trusted
        const void* bits = reinterpret_cast<const char*>(header) + bitsOffset;
        const int width = header->biWidth;
        const int height = std::abs(header->biHeight);

        auto bitmap = std::make_unique<TBitmap>();
        TDrawTarget* dc = bitmap->Canvas()->Handle();
        DrawDibBegin(drawDib.get(), dc, 0, 0, header, width, height, DDF_ANIMATE);
        DrawDibRealize(drawDib.get(), dc, false);
        bitmap->SetWidth(width);
        bitmap->SetHeight(height);
        dc = bitmap->Canvas()->Handle();
        // A frame that cannot be drawn would show as the bitmap's blank: end with a message, the
        // frames so far stay.
        if (!DrawDibDraw(drawDib.get(), dc, 0, 0, width, height, header, bits, 0, 0, width, height,
                         0))
            throw Exception("Systemressourcen erschöpft.");
        DrawDibEnd(drawDib.get());
        FFrames.push_back(std::move(bitmap));

        FApp.ProcessMessages();
    }

    AVIStreamEndStreaming(stream.get());
    DrawDibStop(drawDib.get());
}

void TForm1::ShowFrame(int i) {
    if (i >= 0 && i < FrameCount() && FFrames[static_cast<std::size_t>(i)]) {
        Image3->Picture()->Assign(FFrames[static_cast<std::size_t>(i)].get());
        FShown = i;
    }
    Image3->SetVisible(FSceneLoaded);
    // Painted with the slider's move in one pass of the window, before the next tick: the tick
    // runs from an event loop (the program's, a box's or the loader's yield), which paints.
    Image3->Invalidate();
}

void TForm1::Timer1Timer(TObject*) {
    FLastIndex = FrameCount() - 1;
    TrackBar1->SetMax(FLastIndex - 1);
    if (FLastIndex < 0)
        return;
    if (FPaused) {
        ShowFrame(FCurrent);
        FTrackByUser = false;
        TrackBar1->SetPosition(FCurrent);
        return;
    }
    if (FCurrent < FLastIndex) {
        ShowFrame(FCurrent);
        FTrackByUser = false;
        TrackBar1->SetPosition(FCurrent);
    } else {
        FCurrent = 0;
        ShowFrame(0);
    }
    ++FCurrent;
}

void TForm1::ImgBtn12Click(TObject*) {
    FPaused = !FPaused;
    UpdatePlayButton();
}

void TForm1::ImgBtn13Click(TObject*) {
    FPaused = true;
    if (FCurrent < FLastIndex)
        ++FCurrent;
    else
        FCurrent = 0;
    UpdatePlayButton();
}

void TForm1::ImgBtn14Click(TObject*) {
    FPaused = true;
    if (FCurrent <= 0)
        FCurrent = FLastIndex;
    else
        --FCurrent;
    UpdatePlayButton();
}

void TForm1::TrackBar1Change(TObject*) {
    if (FTrackByUser) {
        FPaused = true;
        UpdatePlayButton();
    }
    FTrackByUser = true;
    FCurrent = TrackBar1->Position();
}

// What the play/pause button does now: it offers play while paused.
const char* TForm1::PlayButtonName() const {
    return FPaused ? "Wiedergabe" : "Pause";
}

// Counted from 1, as a user counts.
String TForm1::PictureName() const {
    if (FShown < 0 || FShown >= FrameCount())
        return "Kein Bild";
    return "Bild " + std::to_string(FShown + 1) + " von " + std::to_string(FrameCount());
}

void TForm1::UpdatePlayButton() {
    ImgBtn12->SetAccessibleName(PlayButtonName());
    const bool paused = FPaused;
    ImgBtn12->Picture()->Bitmap()->LoadFromResourceName(paused ? "play_unpressed"
                                                               : "PAUSE_UNPRESSED");
    ImgBtn12->OverPict()->Bitmap()->LoadFromResourceName(paused ? "play_highlight"
                                                                : "pause_highlight");
    ImgBtn12->UpPict()->Bitmap()->LoadFromResourceName(paused ? "play_unpressed"
                                                              : "PAUSE_UNPRESSED");
    ImgBtn12->DownPict()->Bitmap()->LoadFromResourceName(paused ? "play_pressed" : "pause_pressed");
}
