#include "app/Unit1.h"

#include "app/CommandLine.h"
#include "controls/ImgBtn.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Exception.h"
#include "toolkit/Graphics.h"
#include "toolkit/Image.h"
#include "toolkit/Timer.h"
#include "toolkit/TrackBar.h"
#include "video/VFW.h"
#include "video/VFWHandles.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <cmath>
#include <limits>
#include <optional>

namespace {

// Frame time of the stream, as the old floating-point unit computed it: a zero rate or scale is
// a division by zero, both zero an invalid operation.
std::uint32_t MsPerFrame(std::uint32_t rate, std::uint32_t scale) {
    if (scale == 0 && rate == 0)
        throw Exception(QStringLiteral("Ungültige Gleitkommaoperation"));
    if (scale == 0 || rate == 0)
        throw Exception(QStringLiteral("Gleitkommadivision durch Null"));
    const double ms = std::trunc(1000.0 / (static_cast<double>(rate) / scale));
    // Only a hint; clamp instead of overflowing on absurd rates.
    return static_cast<std::uint32_t>(
        std::min(ms, static_cast<double>(std::numeric_limits<std::uint32_t>::max())));
}

QFont DefinitionFont(int pixelHeight, bool bold = false, bool underline = false) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

} // namespace

TForm1::TForm1(TApplication& app, QStringList args, QString openFile)
    : FApp(app), FArgs(std::move(args)), FOpenFile(std::move(openFile)) {
    // Empty arguments do not count, as an empty quoted argument never reached the old program.
    FArgs.removeAll(QString());
    CreateDefinition();
    FApp.Guard([this] { FormCreate(this); });
}

TForm1::~TForm1() = default;

// The window definition: every control with its values, in creation order, and the bindings of
// the event handlers. Code only changes state at run time.
void TForm1::CreateDefinition() {
    const auto guarded = [this](void (TForm1::*handler)(QObject*)) {
        return [this, handler](QObject* sender) { FApp.Guard([&] { (this->*handler)(sender); }); };
    };

    // Form1
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tavrin Reelstand"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setFont(DefinitionFont(11));
    SetMinimumOuterSize(560, 660);
    SetBounds(214, 135, 560, 660);
    OnShow = [this] { FormShow(this); };
    OnResize = [this] { FApp.Guard([this] { FormResize(this); }); };
    OnCloseRequest = [this] { FApp.Terminate(); };

    // Timer1 counts from here on, before FormCreate.
    Timer1 = new TTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->SetInterval(80);
    Timer1->OnTimer = guarded(&TForm1::Timer1Timer);
    Timer1->SetEnabled(true);

    Panel1 = new TPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 529, 625);
    Panel1->SetColor(Qt::black);
    Panel1->SetBevelOuter(TBevelCut::None);

    const QFont labelFont = DefinitionFont(13, true, true);
    Label1 = new TLabel(Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(460, 600);
    Label1->SetFont(labelFont, Qt::white);
    Label1->SetCaption(QStringLiteral("schließen"));
    Label1->OnClick = guarded(&TForm1::Label1Click);

    Label2 = new TLabel(Panel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(404, 600);
    Label2->SetFont(labelFont, Qt::white);
    Label2->SetCaption(QStringLiteral("öffnen"));
    Label2->OnClick = guarded(&TForm1::Label2Click);

    Panel3 = new TPanel(Panel1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setGeometry(0, 0, 529, 589);
    Panel3->SetColor(Qt::white);
    Panel3->SetBevelOuter(TBevelCut::Raised);
    Panel3->SetBevelInner(TBevelCut::Lowered);

    Image3 = new TImage(Panel3);
    Image3->setObjectName(QStringLiteral("Image3"));
    Image3->setGeometry(9, 7, 512, 512);

    Bevel1 = new TBevel(Panel3);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setGeometry(8, 528, 513, 13);

    Panel2 = new TPanel(Panel3);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(4, 532, 521, 57);
    Panel2->SetColor(Qt::white);
    Panel2->SetBevelOuter(TBevelCut::None);

    // The buttons take their values in the stored order: bounds, automatic sizing, Enabled (which
    // shows the still empty UpPict), the displayed picture, the bindings, then the hover, pressed
    // and rest pictures; so a fresh button shows the definition's displayed picture.
    const auto defineButton = [&](const char* name, int left, void (TForm1::*click)(QObject*)) {
        auto* button = new TImgBtn(Panel2);
        const QString n = QString::fromLatin1(name);
        const auto picture = [&n](const char* kind) {
            TPicture p;
            p.LoadFromFile(QStringLiteral(":/definition/%1_%2.bmp").arg(n, QLatin1String(kind)));
            return p;
        };
        button->setObjectName(n);
        button->setGeometry(left, 16, 30, 29);
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
        return button;
    };
    ImgBtn12 = defineButton("ImgBtn12", 484, &TForm1::ImgBtn12Click);
    ImgBtn13 = defineButton("ImgBtn13", 448, &TForm1::ImgBtn13Click);
    ImgBtn14 = defineButton("ImgBtn14", 416, &TForm1::ImgBtn14Click);

    TrackBar1 = new TTrackBar(Panel2);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setGeometry(12, 19, 389, 22);
    TrackBar1->SetLineSize(0);
    TrackBar1->SetPageSize(0);
    TrackBar1->SetThumbLength(20);
    TrackBar1->OnChange = guarded(&TForm1::TrackBar1Change);
    // The slider is the only control that takes the keyboard focus.
    setFocusProxy(TrackBar1);

    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));

    setAcceptDrops(true);
}

void TForm1::FormCreate(QObject*) {
    FFrames.clear();
    for (const QString& arg : FArgs) {
        if (arg == QLatin1String("-vollbild"))
            SetBorderStyleNone();
    }
}

void TForm1::FormShow(QObject*) {
    for (const QString& arg : FArgs) {
        if (arg == QLatin1String("-vollbild"))
            setfullscreen(true);
        if (ExtractFileExt(arg) == QLatin1String(".avi"))
            FSceneFile = arg;
    }
    // A scene named with --open opens whatever its name, like a choice in the dialog.
    if (!FOpenFile.isEmpty())
        FSceneFile = FOpenFile;
    if (!FSceneFile.isEmpty())
        OpenScene(FSceneFile);
}

void TForm1::FormResize(QObject*) {
    Panel1->move(OuterWidth() / 2 - Panel1->width() / 2 - 5,
                 OuterHeight() / 2 - Panel1->height() / 2 - 10);
}

void TForm1::Label1Click(QObject*) {
    close();
}

void TForm1::Label2Click(QObject*) {
    if (OpenDialog1->Execute())
        OpenScene(OpenDialog1->FileName());
}

namespace {
// The first URL of a drag, if it carries any: file managers drag files as URLs.
std::optional<QUrl> DraggedUrl(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty())
        return std::nullopt;
    return data->urls().constFirst();
}

// The file is only read: the answer is a copy (or a link), never the move a source may
// propose, which would make a file manager delete its original. Nothing when neither is offered.
bool TakeAsCopy(QDropEvent* event) {
    const Qt::DropActions offered = event->possibleActions();
    const Qt::DropAction taken = (offered & Qt::CopyAction)   ? Qt::CopyAction
                                 : (offered & Qt::LinkAction) ? Qt::LinkAction
                                                              : Qt::IgnoreAction;
    if (taken == Qt::IgnoreAction)
        return false;
    event->setDropAction(taken);
    event->accept();
    return true;
}
} // namespace

// Every drag of a URL is taken, so that its drop always ends in an open or in a box saying why
// not; refusing it here would leave the user with a no-drop cursor and no word.
void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (DraggedUrl(event->mimeData()))
        TakeAsCopy(event);
}

void TForm1::dropEvent(QDropEvent* event) {
    const std::optional<QUrl> url = DraggedUrl(event->mimeData());
    if (!url || !TakeAsCopy(event))
        return;
    // The decode and its boxes run from the event loop, after the drop has returned: inside the
    // drop the platform keeps the drag source waiting for the whole decode.
    const bool local = url->isLocalFile();
    const QString path = local ? url->toLocalFile() : QString();
    QTimer::singleShot(0, this, [this, local, path] {
        FApp.Guard([&] {
            if (local)
                OpenScene(path);
            else
                FApp.MessageBox(QStringLiteral("Nur lokale Dateien lassen sich öffnen"));
        });
    });
}

void TForm1::setfullscreen(bool Value) {
    if (Value == FFullScreen)
        return;
    FFullScreen = Value;
    if (Value) {
        FSavedStyle = static_cast<std::uint32_t>(windowFlags().toInt());
        SetBorderStyleNone();
        FSavedHeight = OuterHeight();
        FSavedWidth = OuterWidth();
        FSavedLeft = OuterLeft();
        FSavedTop = OuterTop();
        FSavedWindowState = WindowState();
        SetWindowState(Qt::WindowMaximized);
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            // Without a window manager maximising changes nothing: cover the screen ourselves,
            // then make the client area as tall as the screen (the minimum size still holds).
            const QRect s = screen->geometry();
            move(s.topLeft());
            resize(s.width(), height());
            SetClientHeight(s.height());
        }
    } else {
        const bool wasVisible = isVisible();
        setWindowFlags(Qt::WindowFlags::fromInt(static_cast<int>(FSavedStyle)));
        if (wasVisible)
            show(); // new window flags hide the window
        SetBounds(FSavedLeft, FSavedTop, FSavedWidth, FSavedHeight);
        SetWindowState(FSavedWindowState);
    }
    repaint();
}

void TForm1::OpenScene(const QString& Path) {
    if (FDecoding) {
        FPendingScene = Path;
        FHasPendingScene = true;
        return;
    }
    FOpenRequested = true;
    FApp.SetMessageFile(Path);
    const QFileInfo info(Path);
    if (Path.isEmpty() || !info.isFile()) {
        FApp.MessageBox(QStringLiteral("Diese Szene ist nicht vorhanden"));
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
    OpenScene(std::exchange(FPendingScene, QString()));
}

void TForm1::ReadFrames(const QString& Path) {
    FDecoding = true;
    // Whatever way the decode ends, a request that waited for it runs next, from the event loop.
    struct DecodeEnd {
        TForm1* form;
        ~DecodeEnd() {
            form->FDecoding = false;
            if (form->FHasPendingScene)
                QTimer::singleShot(0, form,
                                   [f = form] { f->FApp.Guard([f] { f->RunPendingOpen(); }); });
        }
    } decodeEnd{this};

    FFrames.clear();

    PAVIFILE rawFile = nullptr;
    const QByteArray path = QFile::encodeName(Path);
    const HRESULT hr = AVIFileOpenPath(&rawFile, path.constData());
    AviFilePtr file(rawFile);
    if (hr != AVIERR_OK) {
        FApp.MessageBox(QString::fromLatin1(AVIResultText(hr)));
        throw Exception(QStringLiteral("Fehler beim Öffnen der Datei"));
    }

    PAVISTREAM rawStream = nullptr;
    const HRESULT streamResult = AVIFileGetStream(file.get(), &rawStream, streamtypeVIDEO, 0);
    AviStreamPtr stream(rawStream);
    if (streamResult == AVIERR_NODATA)
        throw Exception(QStringLiteral("Fehler beim Öffnen der Datei (Audio)"));
    // Any other refusal leaves no stream to read: report it as the file failing to open.
    if (!stream)
        throw Exception(QStringLiteral("Fehler beim Öffnen der Datei"));

    const LONG start = AVIStreamStart(stream.get());
    const LONG end = AVIStreamEnd(stream.get());

    GetFramePtr getFrame(AVIStreamGetFrameOpen(stream.get(), nullptr));
    // The program's own text, odd as it looks: do not correct it.
    if (!getFrame)
        throw Exception(QStringLiteral("Error en Frameopen"));

    DrawDibPtr drawDib(DrawDibOpen());

    AVISTREAMINFOA info{};
    AVIStreamInfoA(stream.get(), &info, sizeof info);
    DrawDibStart(drawDib.get(), MsPerFrame(info.dwRate, info.dwScale));

    // The program's own text, odd as it looks: do not correct it.
    if (AVIStreamBeginStreaming(stream.get(), start, end, 1000) != AVIERR_OK)
        throw Exception(QStringLiteral("Error n AVIBegin"));

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
        HDC dc = bitmap->Canvas()->Handle();
        DrawDibBegin(drawDib.get(), dc, 0, 0, header, width, height, DDF_ANIMATE);
        DrawDibRealize(drawDib.get(), dc, false);
        bitmap->SetWidth(width);
        bitmap->SetHeight(height);
        dc = bitmap->Canvas()->Handle();
        DrawDibDraw(drawDib.get(), dc, 0, 0, width, height, header, bits, 0, 0, width, height, 0);
        DrawDibEnd(drawDib.get());
        FFrames.push_back(std::move(bitmap));

        FApp.ProcessMessages();
    }

    AVIStreamEndStreaming(stream.get());
    DrawDibStop(drawDib.get());
}

void TForm1::ShowFrame(int i) {
    if (i >= 0 && i < FrameCount() && FFrames[static_cast<std::size_t>(i)])
        Image3->Picture()->Assign(FFrames[static_cast<std::size_t>(i)].get());
    Image3->setVisible(FSceneLoaded);
    // Painted with the slider's move in one pass of the window, before the next tick: the tick
    // runs from an event loop (the program's, a box's or the loader's yield), which paints.
    Image3->Invalidate();
}

void TForm1::Timer1Timer(QObject*) {
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

void TForm1::ImgBtn12Click(QObject*) {
    FPaused = !FPaused;
    UpdatePlayButton();
}

void TForm1::ImgBtn13Click(QObject*) {
    FPaused = true;
    if (FCurrent < FLastIndex)
        ++FCurrent;
    else
        FCurrent = 0;
    UpdatePlayButton();
}

void TForm1::ImgBtn14Click(QObject*) {
    FPaused = true;
    if (FCurrent <= 0)
        FCurrent = FLastIndex;
    else
        --FCurrent;
    UpdatePlayButton();
}

void TForm1::TrackBar1Change(QObject*) {
    if (FTrackByUser) {
        FPaused = true;
        UpdatePlayButton();
    }
    FTrackByUser = true;
    FCurrent = TrackBar1->Position();
}

void TForm1::UpdatePlayButton() {
    const bool paused = FPaused;
    ImgBtn12->Picture()->Bitmap()->LoadFromResourceName(paused ? QStringLiteral("play_unpressed")
                                                               : QStringLiteral("PAUSE_UNPRESSED"));
    ImgBtn12->OverPict()->Bitmap()->LoadFromResourceName(
        paused ? QStringLiteral("play_highlight") : QStringLiteral("pause_highlight"));
    ImgBtn12->UpPict()->Bitmap()->LoadFromResourceName(paused ? QStringLiteral("play_unpressed")
                                                              : QStringLiteral("PAUSE_UNPRESSED"));
    ImgBtn12->DownPict()->Bitmap()->LoadFromResourceName(paused ? QStringLiteral("play_pressed")
                                                                : QStringLiteral("pause_pressed"));
}
