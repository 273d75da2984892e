// Where the Win32 back end answers otherwise than the tables expect, and why. Each entry skips
// its test or row with the reason; everything not listed runs as on Linux.
#include "Ui.h"

#include <map>
#include <string>

namespace ui {
namespace {

// The common-controls trackbar ends a gesture with more than one notification: at the release
// the thumb's position (after a drag) and the end of the scroll, and the end again when it lets
// the capture go. Each notification is a change.
constexpr const char* kReleaseNotifications =
    "the system's trackbar notifies the end of a pointer gesture more than once (thumb position, "
    "end of scroll, end again when it lets the capture go), and each notification is a change";
constexpr const char* kKeyAtTheEnd =
    "the system's trackbar sends no notification for a key that cannot move the thumb past the "
    "end of its range, only the one of the key's release";

const std::map<std::string, const char*>& Differences() {
    static const std::map<std::string, const char*> differences = [] {
        std::map<std::string, const char*> d;
        const std::string keys = "TrackBarGestures.KeysRaiseOnEveryActionAndOnRelease/";
        d[keys + "Home and End"] = kKeyAtTheEnd;
        d[keys + "keys on an empty range"] = kKeyAtTheEnd;
        d["TrackBarGestures.WheelRaisesOnEveryStep/a huge delta clamps in one step"] =
            "a wheel message carries its turn in 16 bits";
        const std::string mouse = "TrackBarGestures.MouseRaisesOnEveryStepAndOnRelease/";
        for (const char* row :
             {"drag: each step that moves, then the release", "press and release on the thumb",
              "drag past the end clamps", "drag on an empty range still ends with a change",
              "click right of the thumb, page size 0: no jump",
              "click left of the thumb, page size 0: no jump", "click pages towards the pointer",
              "held click repeats until the thumb reaches the pointer",
              "held click with page size 0 repeats without moving",
              "a held click follows the pointer",
              "a release lost during a drag does not block the next gesture"})
            d[mouse + row] = kReleaseNotifications;
        d[mouse + "losing the focus ends a held click without a change"] =
            "the system's trackbar notifies the end of a gesture whose capture it loses, and the "
            "notification is a change";
        const std::string handlers = "TrackBarGestures.HandlersMaySetPositionAndMaximum/";
        for (const char* row : {"inside a drag step", "maximum shrunk inside a page step",
                                "same position from inside"})
            d[handlers + row] = kReleaseNotifications;
        const std::string button = "ImgBtn.PointerSequences/";
        d[button + "leave while the cursor still reads inside"] =
            "the system sends no leave to a window that holds the capture: the button, which "
            "holds it while hovered, hears of the pointer only by its moves";
        d[button + "leaving onto the right edge line does not leave the hover stuck"] =
            "with the system's capture the button gets the move onto its right edge line, which "
            "counts as inside: the next pixel out leaves, as with the old platform";
        return d;
    }();
    return differences;
}

} // namespace

const char* KnownDifference(const std::string& name) {
    const auto found = Differences().find(name);
    return found == Differences().end() ? nullptr : found->second;
}

} // namespace ui
