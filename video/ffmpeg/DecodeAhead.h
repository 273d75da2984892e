#pragma once

// The video layer's one worker: it makes the next picture while the program stores the one
// before, so that decoding overlaps the first write of the program's memory. Nothing of the
// program runs on it; it only ever runs between two calls of the decompressor, and it is joined
// before the decompressor restarts or closes.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class DecodeAhead {
public:
    // `produce` makes the next item into state the caller owns, false when there is none more.
    explicit DecodeAhead(std::function<bool()> produce) : FProduce(std::move(produce)) {}
    ~DecodeAhead() { Stop(); }
    DecodeAhead(const DecodeAhead&) = delete;
    DecodeAhead& operator=(const DecodeAhead&) = delete;

    // Waits for the item being made (making it now if none is), calls `collect` with the
    // producer's state at rest, and, unless there was none, starts on the next one. Returns
    // whether there was an item.
    bool Take(const std::function<void()>& collect);
    // Lets the item being made be finished, drops it, and joins the worker: the producer's state
    // is the caller's again.
    void Stop();
    bool Running() const { return FThread.joinable(); }

private:
    void Run();

    enum class State { Working, Ready };
    std::function<bool()> FProduce;
    std::mutex FLock;
    std::condition_variable FChanged;
    State FState = State::Working;
    bool FResult = false;
    bool FStop = false;
    std::thread FThread;
};
