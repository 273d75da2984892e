// scenegen: writes the test scenes, the sample scene, or one scene described on the command line.
//
//   scenegen --fixtures DIR
//   scenegen --sample OUT.avi [--codec mjpeg|cinepak] [--preview DIR]
//   scenegen --codec mjpeg|mpeg4|h264|raw24|pal8|hevc|prores|ffv1|vp8|vp9|h263|cinepak
//            --size 640x480 --frames 250 [--rate 25 --scale 1] [--picture sample|fixture]
//            OUT.avi|OUT.mp4|OUT.mov|OUT.mkv|OUT.webm|OUT.3gp

#include "Fixtures.h"
#include "Pictures.h"
#include "Scene.h"
#include "WindowsFixtures.h"

extern "C" {
#include <libavutil/log.h>
}

#include <QGuiApplication>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

constexpr int kSampleSide = 512;
constexpr int kSampleFrames = 75; // six seconds at 12.5 frames per second

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

void WriteScene(const std::string& path, const SceneRecipe& scene) {
    if (EndsWith(path, ".avi"))
        WriteFile(path, BuildAvi(SceneAvi(scene)).data);
    else
        WriteContainer(path, scene);
}

void MakeParent(const std::string& path) {
    const auto parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent);
}

int Usage() {
    std::fputs("usage: scenegen --fixtures DIR\n"
               "       scenegen --sample OUT.avi [--codec mjpeg|cinepak] [--preview DIR]\n"
               "       scenegen --codec mjpeg|mpeg4|h264|raw24|pal8|hevc|prores|ffv1|vp8|vp9|h263\n"
               "                        |cinepak\n"
               "                --size WxH --frames N\n"
               "                [--rate R] [--scale S] [--picture sample|fixture] OUT\n",
               stderr);
    return 2;
}

int Run(int argc, char** argv) {
    std::string fixtures, sample, preview, out;
    SceneRecipe scene;
    scene.picture = Picture::Sample;
    bool codecGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw std::runtime_error(a + " needs a value");
            return argv[++i];
        };
        if (a == "--fixtures") {
            fixtures = value();
        } else if (a == "--sample") {
            sample = value();
        } else if (a == "--preview") {
            preview = value();
        } else if (a == "--codec") {
            scene.codec = CodecNamed(value());
            codecGiven = true;
        } else if (a == "--size") {
            const std::string v = value();
            if (std::sscanf(v.c_str(), "%dx%d", &scene.width, &scene.height) != 2 ||
                scene.width <= 0 || scene.height <= 0 || scene.width > 8192 || scene.height > 8192)
                throw std::runtime_error("bad --size " + v);
        } else if (a == "--frames") {
            scene.frames = std::stoi(value());
        } else if (a == "--rate") {
            scene.rate = std::uint32_t(std::stoul(value()));
        } else if (a == "--scale") {
            scene.scale = std::uint32_t(std::stoul(value()));
        } else if (a == "--picture") {
            const std::string v = value();
            scene.picture = v == "fixture" ? Picture::Fixture : Picture::Sample;
        } else if (!a.empty() && a[0] != '-' && out.empty()) {
            out = a;
        } else {
            return Usage();
        }
    }
    if (fixtures.empty() && sample.empty() && out.empty())
        return Usage();

    if (!fixtures.empty()) {
        std::filesystem::create_directories(fixtures);
        WriteFixtures(fixtures);
        WriteWindowsFixtures(fixtures);
    }
    if (!sample.empty()) {
        // MJPEG on Linux; Windows decodes Cinepak without a codec pack.
        SceneRecipe s;
        s.codec = codecGiven ? scene.codec : Codec::Mjpeg;
        s.width = s.height = kSampleSide;
        s.frames = kSampleFrames;
        s.rate = 25;
        s.scale = 2;
        s.picture = Picture::Sample;
        MakeParent(sample);
        WriteScene(sample, s);
        if (!preview.empty()) {
            std::filesystem::create_directories(preview);
            for (int i : {0, 37, 74})
                SamplePicture(i, s.frames, s.width, s.height)
                    .save(
                        QString::fromStdString(preview + "/sample-" + std::to_string(i) + ".png"));
        }
    }
    if (!out.empty()) {
        if (scene.frames < 0 || scene.rate == 0 || scene.scale == 0)
            throw std::runtime_error("frames, rate and scale must be positive");
        MakeParent(out);
        WriteScene(out, scene);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // Text needs fonts, fonts need a GUI application; no display is needed for that.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    av_log_set_level(AV_LOG_ERROR);
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "scenegen: %s\n", e.what());
        return 1;
    }
}
