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
