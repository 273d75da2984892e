#include "toolkit/win32/Peer.h"

namespace win32peer {

TTopWindow::TTopWindow()
    : Main("", CW_USEDEFAULT, CW_USEDEFAULT, 0, 0), Client(Main.Handle(), 0, 0, 0, 0) {
    FollowClient();
}

void TTopWindow::FollowClient() {
    Client.SetBounds(0, 0, Main.ClientWidth(), Main.ClientHeight());
}

void TTopWindow::Fit(int width, int height) {
    Main.SetBounds(Main.OuterLeft(), Main.OuterTop(),
                   width + Main.OuterWidth() - Main.ClientWidth(),
                   height + Main.OuterHeight() - Main.ClientHeight());
    FollowClient();
}

win32::Panel& ContainerFor(TWinControl* parent, std::unique_ptr<TTopWindow>& host) {
    if (parent != nullptr && parent->Handle() != nullptr && parent->Handle()->Container())
        return *parent->Handle()->Container();
    host = std::make_unique<TTopWindow>();
    return host->Client;
}

} // namespace win32peer
