#pragma once

#include "Fixtures.h"
#include "Scenes.h"
#include "VideoEnvironment.h"
#include "app/Unit1.h"
#include "controls/ImgBtn.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Graphics.h"
#include "toolkit/Image.h"
#include "toolkit/Timer.h"
#include "toolkit/TrackBar.h"

#include "BoxLines.h"
#include "Ui.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// A main window with recorded message and error boxes and its timer stopped: tests call the tick.
class FormTest : public ::testing::Test {
protected:
    TApplication app{"/usr/bin/reelstand"};
    std::vector<String> messages;
    std::vector<String> errors;
    std::unique_ptr<TForm1> form;

    void SetUp() override {
        app.MessageBoxHook = [this](const String& t) { messages.push_back(t); };
        app.ErrorBoxHook = [this](const String& t) { errors.push_back(t); };
    }

    TForm1& Make(const std::vector<String>& args = {}) {
        form = std::make_unique<TForm1>(app, args);
        form->Timer1->SetEnabled(false);
        return *form;
    }

    // Brings the window on screen the way the application's run does.
    void ShowMain() {
        form->ShowMainForm([this](const std::function<void()>& handler) { app.Guard(handler); });
    }

    // Opens a scene the way the program does, through the guard that shows failures.
    void Open(const String& path) {
        app.Guard([&] { form->OpenScene(path); });
    }

    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i)
            form->Timer1Timer(form->Timer1);
    }

    // What the picture area shows, rendered over its white panel.
    ui::TPixels Rendered() const { return ui::Rendered(*form->Panel3, *form->Image3); }

    // The index of the frame on screen (the frame whose centre colour the rendered centre has),
    // or -1 when none is (a hidden or empty picture area shows the panel's white).
    int Shown() const {
        const ui::TPixels shot = Rendered();
        int best = -1;
        long bestDistance = 0;
        for (int i = 0; i < form->FrameCount(); ++i) {
            const TBitmap& f = *form->Frame(i);
            const int cx = f.Width() / 2, cy = f.Height() / 2;
            if (cx >= shot.Width || cy >= shot.Height)
                continue;
            const std::uint32_t a = ui::PixelAt(f, cx, cy), b = shot.At(cx, cy);
            long d = 0;
            for (int shift : {16, 8, 0})
                d += std::labs(long((a >> shift) & 0xFF) - long((b >> shift) & 0xFF));
            if (best < 0 || d < bestDistance) {
                best = i;
                bestDistance = d;
            }
        }
        return bestDistance <= 6 ? best : -1;
    }
};

// Runs `action` on each pass of the event loop while a decode runs, so on each of its yields.
inline void DuringDecode(TForm1& form, std::function<void()> action) {
    ui::EveryLoopPass(form, [&form, action = std::move(action)] {
        if (form.Decoding())
            action();
    });
}
