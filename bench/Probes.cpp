#include "Probes.h"

#include "app/Unit1.h"
#include "base/ProcessMemory.h"
#include "toolkit/Application.h"
#include "toolkit/Graphics.h"
#include "toolkit/Timer.h"
#include "toolkit/qt/Peer.h"
#include "video/VFW.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <optional>
#include <vector>

namespace {

// A memory figure in KiB; -1 when the system does not give it.
long KiB(const std::optional<std::uint64_t>& bytes) {
    return bytes ? long(*bytes / 1024) : -1;
}

double Clock(clockid_t id) {
    timespec t{};
    clock_gettime(id, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    const auto i = std::size_t(p * double(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

// The player's main window as the program makes it, with boxes that only count.
struct Player {
    TApplication app{"/usr/bin/reelstand"};
    int boxes = 0;
    std::unique_ptr<TForm1> form;

    Player() {
        app.MessageBoxHook = [this](const String&) { ++boxes; };
        app.ErrorBoxHook = [this](const String&) { ++boxes; };
        VideoStartup();
        form = std::make_unique<TForm1>(app, std::vector<String>{});
        form->Timer1->SetEnabled(false);
    }
    ~Player() {
        form.reset();
        VideoShutdown();
    }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    void Open(const QString& file) {
        app.Guard([&] { form->OpenScene(file.toStdString()); });
    }
    int Width() const { return form->FrameCount() > 0 ? form->Frame(0)->Width() : 0; }
    int Height() const { return form->FrameCount() > 0 ? form->Frame(0)->Height() : 0; }
};

} // namespace

int LoadProbe(const QString& file) {
    Player player;
    QCoreApplication::processEvents();
    ResetPeakResident(); // the peak shows what follows
    const long rssBefore = KiB(ReadProcessMemory().resident);
    const double cpu0 = Clock(CLOCK_PROCESS_CPUTIME_ID);
    const double wall0 = Clock(CLOCK_MONOTONIC);
    player.Open(file);
    const double wall = Clock(CLOCK_MONOTONIC) - wall0;
    const double cpu = Clock(CLOCK_PROCESS_CPUTIME_ID) - cpu0;
    const ProcessMemory after = ReadProcessMemory();
    const long rssAfter = KiB(after.resident);
    const long hwm = KiB(after.peakResident);
    // Where the memory is: the heap (used and held free) and malloc's own mappings, in KiB.
    const struct mallinfo2 heap = mallinfo2();
    std::printf("frames=%d width=%d height=%d wall=%.6f cpu=%.6f rss_before=%ld rss_after=%ld "
                "hwm=%ld boxes=%d heap_used=%zu heap_free=%zu heap_mapped=%zu\n",
                player.form->FrameCount(), player.Width(), player.Height(), wall, cpu, rssBefore,
                rssAfter, hwm, player.boxes, heap.uordblks >> 10, heap.fordblks >> 10,
                heap.hblkhd >> 10);
    return player.boxes == 0 && player.form->SceneLoaded() ? 0 : 1;
}

int TickProbe(const QString& file, int ticks) {
    Player player;
    player.Open(file);
    if (player.boxes != 0 || player.form->FrameCount() == 0)
        return 1;
    QtWidget(player.form.get())->show();
    QElapsedTimer waited;
    waited.start();
    while (!(QtWidget(player.form.get())->windowHandle() &&
             QtWidget(player.form.get())->windowHandle()->isExposed())) {
        if (waited.elapsed() > 10000)
            return 1;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }

    TForm1& form = *player.form;
    std::vector<double> tick, all;
    constexpr int kWarmUp = 50;
    for (int i = 0; i < kWarmUp + ticks; ++i) {
        const double t0 = Clock(CLOCK_THREAD_CPUTIME_ID);
        form.Timer1Timer(form.Timer1);
        const double t1 = Clock(CLOCK_THREAD_CPUTIME_ID);
        QCoreApplication::processEvents();
        const double t2 = Clock(CLOCK_THREAD_CPUTIME_ID);
        if (i >= kWarmUp) {
            tick.push_back((t1 - t0) * 1e3);
            all.push_back((t2 - t0) * 1e3);
        }
    }
    std::printf("ticks=%d median=%.4f p99=%.4f median_all=%.4f p99_all=%.4f\n", ticks,
                Percentile(tick, 0.5), Percentile(tick, 0.99), Percentile(all, 0.5),
                Percentile(all, 0.99));
    return player.boxes == 0 ? 0 : 1;
}
