#include "DecodeAhead.h"

bool DecodeAhead::Take(const std::function<void()>& collect) {
    if (!FThread.joinable()) {
        FState = State::Working;
        FStop = false;
        FThread = std::thread([this] { Run(); });
    }
    std::unique_lock lock(FLock);
    FChanged.wait(lock, [this] { return FState == State::Ready; });
    const bool made = FResult;
    collect();
    if (made) {
        FState = State::Working;
        lock.unlock();
        FChanged.notify_all();
    }
    return made;
}

void DecodeAhead::Stop() {
    if (!FThread.joinable())
        return;
    {
        const std::lock_guard lock(FLock);
        FStop = true;
    }
    FChanged.notify_all();
    FThread.join();
}

void DecodeAhead::Run() {
    for (;;) {
        {
            std::unique_lock lock(FLock);
            FChanged.wait(lock, [this] { return FStop || FState == State::Working; });
            if (FStop)
                return;
        }
        bool made = false;
        try {
            made = FProduce();
        } catch (...) {
            made = false; // a worker must not end the process: treat it as the end of the items
        }
        {
            const std::lock_guard lock(FLock);
            FResult = made;
            FState = State::Ready;
        }
        FChanged.notify_all();
    }
}
