// Hostile and broken scene files through the open request: each ends in the program's own
// messages or loads what it can, the window stays usable, nothing grows from one open to the
// next, and an address-space limit ends a long load with the memory message.

#include "ChildProcess.h"
#include "FormFixture.h"
#include "RowName.h"
#include "TempDir.h"
#include "base/ProcessMemory.h"
#include "video/VFW.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

// Sanitizers that reserve terabytes of address space, which no address-space limit allows.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define RS_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define RS_ASAN 1
#endif
#endif

namespace {

const String kMissing = "Diese Szene ist nicht vorhanden";
const String kOpenFailed = "Fehler beim Öffnen der Datei.";
const String kFrameOpen = "Error en Frameopen.";
const String kBadFormat = "BADFORMAT";
constexpr int kFails = -1; // the load fails: nothing in the frame list, the scene not loaded

// A place in a fixture: `offset` bytes from the start of the nth occurrence of a chunk id.
struct Spot {
    const char* fourcc = nullptr;
    int nth = 0;
    int offset = 0;
};

enum class Kind { File, Folder, Unreadable };

struct HostileCase : NamedRow {
    const char* fixture;
    Spot cut;   // the copy ends here
    Spot patch; // a 32-bit little-endian value is overwritten here
    std::uint32_t value = 0;
    Kind kind = Kind::File;
    std::vector<String> messages; // message boxes, in order
    std::vector<String> errors;   // error boxes, in order
    int frames = kFails;
};

// Where the spot lies in `bytes`, or npos.
std::size_t Find(const std::string& bytes, const Spot& spot) {
    std::size_t at = std::string::npos;
    for (int i = 0; i <= spot.nth; ++i) {
        at = bytes.find(spot.fourcc, at == std::string::npos ? 0 : at + 1);
        if (at == std::string::npos)
            return at;
    }
    return at + std::size_t(spot.offset);
}

std::string Join(const std::vector<String>& texts) {
    std::string joined;
    for (const String& text : texts)
        joined += (joined.empty() ? "" : "|") + text;
    return joined;
}

std::vector<String> Split(const std::string& joined) {
    std::vector<String> texts;
    std::istringstream in(joined);
    for (String text; std::getline(in, text, '|');)
        texts.push_back(text);
    return texts;
}

// What an open request left behind, also across a process boundary.
struct Outcome {
    std::vector<String> messages;
    std::vector<String> errors;
    int frames = 0;
    bool loaded = false;
    int lastIndex = 0; // after a tick

    std::string Serialise() const {
        return Join(messages) + "\n" + Join(errors) + "\n" + std::to_string(frames) + "\n" +
               std::to_string(loaded) + "\n" + std::to_string(lastIndex);
    }
    static Outcome Parse(const std::string& text) {
        std::vector<std::string> f;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            f.push_back(line);
        Outcome o;
        if (f.size() != 5)
            return o;
        o.messages = Split(f[0]);
        o.errors = Split(f[1]);
        o.frames = std::stoi(f[2]);
        o.loaded = f[3] == "1";
        o.lastIndex = std::stoi(f[4]);
        return o;
    }
};

class Hostile : public FormTest, public ::testing::WithParamInterface<HostileCase> {
protected:
    Outcome OpenAndTick(const String& path) {
        Make();
        Open(path);
        Outcome o{messages, errors, form->FrameCount(), form->SceneLoaded(), 0};
        Tick(); // the window goes on
        o.lastIndex = form->LastIndex();
        return o;
    }
};

TEST_P(Hostile, EndsInItsMessagesOrLoadsWhatItCan) {
    const HostileCase& c = GetParam();
    TempDir tmp;
    const String path = tmp.File("x.avi");
    if (c.kind == Kind::Folder) {
        ASSERT_TRUE(std::filesystem::create_directory(path));
    } else {
        std::ifstream source(Fixture(c.fixture), std::ios::binary);
        ASSERT_TRUE(source.good());
        std::string bytes{std::istreambuf_iterator<char>(source), {}};
        if (c.patch.fourcc) {
            const std::size_t at = Find(bytes, c.patch);
            ASSERT_TRUE(at != std::string::npos && at + 4 <= bytes.size())
                << "no " << c.patch.fourcc;
            for (std::size_t i = 0; i < 4; ++i)
                bytes[at + i] = char(c.value >> (8 * i));
        }
        if (c.cut.fourcc) {
            const std::size_t at = Find(bytes, c.cut);
            ASSERT_TRUE(at != std::string::npos && at < bytes.size()) << "no " << c.cut.fourcc;
            bytes.resize(at);
        }
        std::ofstream copy(path, std::ios::binary);
        copy.write(bytes.data(), std::streamsize(bytes.size()));
        ASSERT_TRUE(copy.good());
    }

    Outcome o;
    if (c.kind == Kind::Unreadable) {
        // Root reads every file: the open runs in a child that becomes an unprivileged user.
        ASSERT_EQ(chmod(tmp.Path().c_str(), 0755), 0);
        ASSERT_EQ(chmod(path.c_str(), 0), 0);
        const ChildResult child = RunInChild([&](std::string& out) {
            if (!DropRoot())
                return 2;
            out = OpenAndTick(path).Serialise();
            return 0;
        });
        ASSERT_TRUE(child.exited && child.code == 0) << "child ended with " << child.code;
        o = Outcome::Parse(child.output);
    } else {
        o = OpenAndTick(path);
    }

    EXPECT_EQ(o.messages, c.messages);
    EXPECT_EQ(o.errors, c.errors);
    if (c.frames == kFails) {
        EXPECT_EQ(o.frames, 0);
        EXPECT_FALSE(o.loaded);
        EXPECT_EQ(o.lastIndex, -1);
    } else {
        EXPECT_EQ(o.frames, c.frames);
        EXPECT_TRUE(o.loaded);
        EXPECT_EQ(o.lastIndex, c.frames - 1);
    }
}

// mjpeg_10.avi: RIFF 'AVI ' { LIST 'hdrl' { avih, LIST 'strl' { strh, strf } },
// LIST 'movi' { ten 00dc }, idx1 }.
const char* const kScene = "mjpeg_10.avi";

INSTANTIATE_TEST_SUITE_P(
    Table, Hostile,
    ::testing::Values(
        HostileCase{"zeroBytes", "empty.avi", {}, {}, 0, Kind::File, {kBadFormat}, {kOpenFailed}},
        HostileCase{"cutInRiffHeader",
                    kScene,
                    {"RIFF", 0, 8},
                    {},
                    0,
                    Kind::File,
                    {kBadFormat},
                    {kOpenFailed}},
        HostileCase{"cutInMainHeader",
                    kScene,
                    {"avih", 0, 20},
                    {},
                    0,
                    Kind::File,
                    {kBadFormat},
                    {kOpenFailed}},
        HostileCase{"cutInStreamFormat",
                    kScene,
                    {"strf", 0, 20},
                    {},
                    0,
                    Kind::File,
                    {kBadFormat},
                    {kOpenFailed}},
        HostileCase{"cutAfterTheHeaders", kScene, {"movi", 0, 4}, {}, 0, Kind::File, {}, {}, 0},
        HostileCase{"cutBeforeFrame5", kScene, {"00dc", 5, 0}, {}, 0, Kind::File, {}, {}, 5},
        HostileCase{"cutInFrame5", kScene, {"00dc", 5, 100}, {}, 0, Kind::File, {}, {}, 5},
        HostileCase{"cutBeforeTheIndex", kScene, {"idx1", 0, 0}, {}, 0, Kind::File, {}, {}, 10},
        HostileCase{"cutInTheIndex", kScene, {"idx1", 0, 40}, {}, 0, Kind::File, {}, {}, 10},
        HostileCase{"lengthFFFFFFFF", "length_ffffffff.avi", {}, {}, 0, Kind::File, {}, {}, 10},
        HostileCase{
            "riffSizeFFFFFFFF", kScene, {}, {"RIFF", 0, 4}, 0xFFFFFFFF, Kind::File, {}, {}, 10},
        // An index that claims hundreds of millions of entries ends with the file.
        HostileCase{
            "indexSizeFFFFFFF0", kScene, {}, {"idx1", 0, 4}, 0xFFFFFFF0, Kind::File, {}, {}, 10},
        HostileCase{"indexPastTheEnd", "index_past_end.avi", {}, {}, 0, Kind::File, {}, {}, 10},
        HostileCase{
            "strfClaims100000x100000", "huge_strf.avi", {}, {}, 0, Kind::File, {}, {kFrameOpen}},
        HostileCase{"picturesBeyondThePixelLimit",
                    "over_pixel_limit.avi",
                    {},
                    {},
                    0,
                    Kind::File,
                    {},
                    {kFrameOpen}},
        // FFmpeg takes a 20000 x 20000 picture in a few hundred bytes for broken data.
        HostileCase{
            "picturesTooBigForTheirData", "huge_jpeg.avi", {}, {}, 0, Kind::File, {}, {}, 0},
        HostileCase{"bitCount0", "bitcount0.avi", {}, {}, 0, Kind::File, {}, {kFrameOpen}},
        HostileCase{"bitCount7", "bitcount7.avi", {}, {}, 0, Kind::File, {}, {kFrameOpen}},
        HostileCase{
            "noMoviData", "no_movi.avi", {}, {}, 0, Kind::File, {kBadFormat}, {kOpenFailed}},
        HostileCase{
            "garbageAfterTheHeader", "garbage_after_header.avi", {}, {}, 0, Kind::File, {}, {}, 0},
        HostileCase{"packetsThatNeverDecode", "junk_packets.avi", {}, {}, 0, Kind::File, {}, {}, 0},
        HostileCase{"randomBytes", "noise.avi", {}, {}, 0, Kind::File, {kBadFormat}, {kOpenFailed}},
        // Found by the fuzzer: an MP4 key-frame table whose count asks for 1.8 GB.
        HostileCase{"fuzzMp4StssCount",
                    "data/fuzz_mp4_stss_count.mp4",
                    {},
                    {},
                    0,
                    Kind::File,
                    {"MEMORY"},
                    {kOpenFailed}},
        HostileCase{"folderNamedXAvi", nullptr, {}, {}, 0, Kind::Folder, {kMissing}, {}},
        HostileCase{"withoutReadPermission",
                    kScene,
                    {},
                    {},
                    0,
                    Kind::Unreadable,
                    {"FILEOPEN"},
                    {kOpenFailed}}),
    RowName());

std::int64_t ResidentBytes() {
    return std::int64_t(ReadProcessMemory().resident.value_or(0));
}
std::int64_t VirtualBytes() {
    return std::int64_t(ReadProcessMemory().addressSpace.value_or(0));
}

TEST_F(FormTest, RepeatedOpensDoNotGrowResidentMemory) {
#ifdef RS_ASAN
    GTEST_SKIP() << "the sanitizer's quarantine holds freed memory on purpose";
#endif
    // Later requests replace the scene; heap-sized and page-mapped frames, and two failures.
    const char* const cycle[] = {"large_600x520.avi", "mjpeg_10.avi", "text.avi",
                                 "over_pixel_limit.avi"};
    constexpr int kCycle = 4;
    constexpr int kRequests = 100;
    Make();
    std::int64_t afterFirstCycle = 0;
    for (int i = 0; i < kRequests; ++i) {
        Open(Fixture(cycle[i % kCycle]));
        Tick();
        if (i == kCycle - 1)
            afterFirstCycle = ResidentBytes();
    }
    const std::int64_t afterLast = ResidentBytes();
    ASSERT_GT(afterFirstCycle, 0);
    EXPECT_EQ(form->FrameCount(), 0); // the last request failed and left nothing
    EXPECT_EQ(errors.size(), std::size_t{2 * kRequests / kCycle});
    RecordProperty("VmRSSAfterFirstCycleKiB", int(afterFirstCycle / 1024));
    RecordProperty("VmRSSAfterLastKiB", int(afterLast / 1024));
    EXPECT_LT(afterLast - afterFirstCycle, std::int64_t{4} << 20)
        << "after the first cycle " << afterFirstCycle / 1024 << " KiB, after the last "
        << afterLast / 1024 << " KiB";
}

TEST_F(FormTest, AddressSpaceLimitEndsALongLoadWithTheMemoryMessage) {
#ifdef RS_ASAN
    GTEST_SKIP() << "the sanitizer reserves terabytes of address space";
#endif
    const ChildResult child = RunInChild([&](std::string& out) {
        // A first load starts the decoder's threads and their heaps, which stay reserved.
        Make();
        Open(Fixture("mjpeg_10.avi"));
        if (form->FrameCount() != 10)
            return 3;
        Make();
        // Earlier tests left free room in the heap where frames would fit without growing the
        // address space: fill it with blocks of a frame's size, held until the child ends.
        constexpr std::size_t kFrameBytes = 64 * 48 * 4;
        std::vector<std::unique_ptr<char[]>> ballast;
        for (int i = 0; i < 4096; ++i)
            ballast.emplace_back(new char[kFrameBytes]);
        // Room for the reserve the memory check keeps, and for about half the scene.
        constexpr std::int64_t kReserve = std::int64_t{64} << 20;
        const std::int64_t halfScene = 150 * std::int64_t{kFrameBytes};
        const rlim_t cap = rlim_t(VirtualBytes() + kReserve + halfScene);
        const rlimit limit{cap, cap};
        if (setrlimit(RLIMIT_AS, &limit) != 0)
            return 4;
        Open(Fixture("long_300.avi"));
        Outcome o{messages, errors, form->FrameCount(), form->SceneLoaded(), 0};
        // The frames decoded so far play.
        const int before = form->Current();
        Tick(3);
        o.lastIndex = form->LastIndex();
        out = o.Serialise() + "\n" + std::to_string(form->Current() - before);
        return 0;
    });
    ASSERT_TRUE(child.exited && child.code == 0) << "child ended with " << child.code;
    const std::string text = child.output;
    const std::size_t split = text.rfind('\n');
    ASSERT_NE(split, std::string::npos);
    const Outcome o = Outcome::Parse(text.substr(0, split));
    RecordProperty("FramesUnderTheLimit", o.frames);
    EXPECT_EQ(o.messages, std::vector<String>{});
    EXPECT_EQ(o.errors, std::vector<String>{"Zu wenig Arbeitsspeicher."});
    EXPECT_GT(o.frames, 10);
    EXPECT_LT(o.frames, 300);
    EXPECT_FALSE(o.loaded); // the first scene: the picture area stays hidden
    EXPECT_EQ(o.lastIndex, o.frames - 1);
    EXPECT_EQ(text.substr(split + 1), "3"); // three ticks, three frames on
}

} // namespace
