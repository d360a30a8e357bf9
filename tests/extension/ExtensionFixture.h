#pragma once
// A host window on a photo written in code, with the extension build on and the program's end
// recorded instead of taken. Header only, for the extension's suites.
#include "editor/RivorezIduvivViewController.h"
#include "extension/PhotoEditingViewController.h"
#include "extension/PhotosHostWindow.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/services/ExtensionBuild.h"
#include "support/EventLoop.h"
#include "support/ShownAlert.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <OpenImageIO/imageio.h>
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

inline std::string writeTestPhoto(const std::string& path, int width, int height) {
    auto out = OIIO::ImageOutput::create(path);
    OIIO::ImageSpec spec(width, height, 3, OIIO::TypeDesc::UINT8);
    std::vector<unsigned char> pixels(size_t(width) * size_t(height) * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &pixels[(size_t(y) * size_t(width) + size_t(x)) * 3];
            p[0] = (unsigned char)(40 + x * 160 / width);
            p[1] = (unsigned char)(60 + y * 120 / height);
            p[2] = 90;
        }
    EXPECT_TRUE(out && out->open(path, spec) && out->write_image(OIIO::TypeDesc::UINT8, pixels.data()) &&
                out->close());
    return path;
}

// Pixels of a picture file as 8-bit RGB, empty when it cannot be read.
struct FilePixels {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    std::string format;
};

inline FilePixels readTestPhoto(const std::string& path) {
    FilePixels result;
    auto in = OIIO::ImageInput::open(path);
    if (!in) return result;
    const OIIO::ImageSpec& spec = in->spec();
    result.width = spec.width;
    result.height = spec.height;
    result.format = in->format_name();
    std::vector<unsigned char> all(size_t(spec.width) * size_t(spec.height) * size_t(spec.nchannels));
    if (!in->read_image(0, 0, 0, spec.nchannels, OIIO::TypeDesc::UINT8, all.data())) return FilePixels{};
    result.rgb.reserve(size_t(spec.width) * size_t(spec.height) * 3);
    for (size_t i = 0; i < all.size(); i += size_t(spec.nchannels))
        for (int c = 0; c < 3; ++c)
            result.rgb.push_back(all[i + size_t(std::min(c, spec.nchannels - 1))]);
    return result;
}

inline double meanDifference(const FilePixels& a, const FilePixels& b) {
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return -1;
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i)
        sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return sum / double(a.rgb.size());
}

struct ExtensionHost : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    TemporaryDirectory dir;
    std::vector<int> endings;
    std::unique_ptr<PhotosHostWindow> host;

    ExtensionHost() { services::ExtensionBuild::setOn(true); }
    ~ExtensionHost() override {
        // The worker that writes the output must be done before the window goes.
        runEventLoopFor(0.05);
        host.reset();
    }

    std::string path(const std::string& name) const { return dir.file(name); }
    void makeHost(const std::string& photo, const std::string& output,
                  std::optional<std::string> record = std::nullopt) {
        host = std::make_unique<PhotosHostWindow>(photo, output, std::move(record));
        host->terminate = [this](int status) { endings.push_back(status); };
        host->resize(1100, 760);
        host->show();
        host->start();
    }
    RivorezIduvivViewController* editor() const { return host->extension()->editor(); }
    bool opened() {
        return runEventLoopUntil([&] { return editor() && editor()->image(); }, 10.0);
    }
    bool ended(double seconds = 6.0) {
        return runEventLoopUntil([&] { return !endings.empty(); }, seconds);
    }
    bool outputCame(double seconds = 20.0) {
        return runEventLoopUntil([&] { return host->output() != nullptr || !host->warnings().empty(); },
                                 seconds);
    }
};
