// Where the Win32 back end answers otherwise than the tables expect, and why (under Wine, whose
// common controls and window messages these are). Each entry skips its test or row with the
// reason; where its answer is given, the row still runs and must give it, so that a change shows.
// Everything not listed runs as on Linux.
#include "Ui.h"

#include <map>
#include <string>
#include <utility>

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

struct TDifference {
    const char* reason = nullptr;
    const char* answer = nullptr; // what the row gives here, as GoogleTest prints it
};

const std::map<std::string, TDifference>& Differences() {
    static const std::map<std::string, TDifference> differences = [] {
        std::map<std::string, TDifference> d;
        const std::string keys = "TrackBarGestures.KeysRaiseOnEveryActionAndOnRelease/";
        d[keys + "Home and End"] = {kKeyAtTheEnd, "{ 0, 0, 0, 10, 10 }"};
        d[keys + "keys on an empty range"] = {kKeyAtTheEnd, "{ 0, 0 }"};
        d["TrackBarGestures.WheelRaisesOnEveryStep/a huge delta clamps in one step"] = {
            "a wheel message carries its turn in 16 bits"};
        const std::string mouse = "TrackBarGestures.MouseRaisesOnEveryStepAndOnRelease/";
        const std::pair<const char*, const char*> releases[] = {
            {"drag: each step that moves, then the release", "{ 5, 7, 7, 7, 7 }"},
            {"press and release on the thumb", "{ 2, 2, 2 }"},
            {"drag past the end clamps", "{ 10, 10, 10, 10 }"},
            {"drag on an empty range still ends with a change", "{ 0, 0, 0 }"},
            {"click right of the thumb, page size 0: no jump", "{ 2, 2, 2 }"},
            {"click left of the thumb, page size 0: no jump", "{ 5, 5, 5 }"},
            {"click pages towards the pointer", "{ 5, 5, 5, 2, 2, 2 }"},
            {"held click repeats until the thumb reaches the pointer", "{ 5, 8, 8, 8 }"},
            {"held click with page size 0 repeats without moving", "{ 2, 2, 2, 2, 2 }"},
            {"a held click follows the pointer", "{ 5, 8, 10, 10, 10 }"},
            {"a release lost during a drag does not block the next gesture",
             "{ 4, 4, 4, 4, 4, 4 }"}};
        for (const auto& [row, answer] : releases)
            d[mouse + row] = {kReleaseNotifications, answer};
        d[mouse + "losing the focus ends a held click without a change"] = {
            "the system's trackbar notifies the end of a gesture whose capture it loses, and the "
            "notification is a change",
            "{ 2, 2 }"};
        const std::string handlers = "TrackBarGestures.HandlersMaySetPositionAndMaximum/";
        d[handlers + "inside a drag step"] = {kReleaseNotifications, "{ 5, 1, 7, 7, 7, 7 }"};
        d[handlers + "maximum shrunk inside a page step"] = {kReleaseNotifications,
                                                             "{ 5, 4, 4, 4 }"};
        d[handlers + "same position from inside"] = {kReleaseNotifications, "{ 2, 2, 2 }"};
        const std::string button = "ImgBtn.PointerSequences/";
        d[button + "leave while the cursor still reads inside"] = {
            "the system sends no leave to a window that holds the capture: the button, which "
            "holds it while hovered, hears of the pointer only by its moves"};
        d[button + "leaving onto the right edge line does not leave the hover stuck"] = {
            "with the system's capture the button gets the move onto its right edge line, which "
            "counts as inside: the next pixel out leaves, as with the old platform"};
        return d;
    }();
    return differences;
}

} // namespace

const char* KnownDifference(const std::string& name) {
    const auto found = Differences().find(name);
    return found == Differences().end() ? nullptr : found->second.reason;
}

const char* KnownAnswer(const std::string& name) {
    const auto found = Differences().find(name);
    return found == Differences().end() ? nullptr : found->second.answer;
}

} // namespace ui
