#pragma once

#include "toolkit/Classes.h"

#include <memory>

// A periodic timer. Ticks that fall due while the thread is busy are not queued up: at most one
// is delivered when the thread is free again.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner = nullptr);
    ~TTimer() override;

    void SetInterval(int ms);
    int Interval() const { return FInterval; }
    void SetEnabled(bool enabled);
    bool Enabled() const { return FEnabled; }

    TNotifyEvent OnTimer;

    // The platform reports each tick here.
    void DoTimer();

    struct Peer;

private:
    int FInterval = 1000;
    bool FEnabled = false;
    std::unique_ptr<Peer> FPeer;
};
