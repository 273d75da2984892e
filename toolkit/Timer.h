#pragma once

#include "toolkit/Classes.h"

#include <memory>

// A periodic timer: it ticks every Interval() milliseconds while it is enabled. An interval of 0
// (or less) never ticks, enabled or not, as on the old platform; the interval and the enabled flag
// still read back as set. Ticks that fall due while the thread is busy are not queued up: at most
// one is delivered when the thread is free again.
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
    bool Ticking() const { return FEnabled && FInterval > 0; }
    // The platform's part: tick every FInterval milliseconds while Ticking(), else not at all.
    void Schedule();

    int FInterval = 1000;
    bool FEnabled = false;
    std::unique_ptr<Peer> FPeer;
};
