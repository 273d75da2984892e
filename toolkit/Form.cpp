#include "toolkit/Form.h"

TForm::~TForm() {
    // The controls go first, while the window they lie on still stands.
    DestroyComponents();
}

void TForm::SetMinimumOuterSize(int width, int height) {
    FMinWidth = width;
    FMinHeight = height;
    ShowMinimumSize();
}

void TForm::SetWindowState(TWindowState state) {
    ShowWindowState(state);
    // Already counts as shown once the main window is being shown: a state change then shows it.
    if (FShowing && !Visible())
        SetVisible(true);
}

void TForm::ShowMainForm(const THandlerGuard& guard) {
    FShowing = true;
    if (OnShow)
        guard(OnShow);
    if (WindowState() != TWindowState::Maximized)
        CenterOnPrimaryScreen();
    SetVisible(true);
}

void TForm::DoResize() {
    if (OnResize)
        OnResize();
}

void TForm::DoClose() {
    if (OnCloseRequest)
        OnCloseRequest();
}

void TForm::DoDropFiles(const std::vector<String>& files) {
    if (OnDropFiles)
        OnDropFiles(files);
}

void TForm::DoTab(bool forward) {
    const int count = static_cast<int>(FTabOrder.size());
    int at = -1;
    for (int i = 0; i < count; ++i) {
        if (FTabOrder[static_cast<std::size_t>(i)]->Focused())
            at = i;
    }
    // From outside the order, Tab starts at its first control and Shift+Tab at its last.
    if (at < 0)
        at = forward ? -1 : count;
    for (int step = 1; step <= count; ++step) {
        const int i = ((at + (forward ? step : -step)) % count + count) % count;
        TControl* next = FTabOrder[static_cast<std::size_t>(i)];
        if (next->Visible()) {
            next->SetFocus();
            return;
        }
    }
}
