#pragma once
// Test doubles for suites that drive effect runs: source images made in code, a per-pixel and a
// whole-image effect whose hooks the test supplies, and a recorder of the run notifications.
// Header only.

#include "engine/PostProcess.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Thread.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

struct Rgb {
    uint8_t r, g, b;
};

inline bool operator==(const Rgb& a, const Rgb& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << '(' << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ')';
}

// An opaque R,G,B,A image whose pixel (x, y) (row 0 on top) is colour(x, y).
inline graphics::ImagePtr makeSourceImage(int width, int height,
                                          const std::function<Rgb(int x, int y)>& colour) {
    std::vector<uint8_t> bytes(size_t(width) * size_t(height) * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            uint8_t* p = &bytes[(size_t(y) * size_t(width) + size_t(x)) * 4];
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
            p[3] = 255;
        }
    return graphics::Image::copy(bytes.data(), width, height, size_t(width) * 4, graphics::PixelFormat{});
}

// A colour that differs from its neighbours, so misplaced reads and writes show.
inline Rgb patternColour(int x, int y) {
    return {uint8_t(x * 7 + y), uint8_t(y * 13 + 3), uint8_t((x ^ y) * 5)};
}

// Frees the shared working image when a test ends.
struct WorkingImageGuard {
    ~WorkingImageGuard() { PostProcess::global_clean(); }
};

// A per-pixel effect whose hooks are the test's functions; unset hooks keep the base answers.
class StubPixelEffect : public PostProcess {
  public:
    std::function<pixel_t(int32_t x, int32_t y, int32_t pass)> pixel;
    std::function<void()> onPrepare;
    std::function<void(int32_t pass)> onBeforePass;
    std::function<void(int32_t pass)> onAfterPass;
    std::function<void()> onEnded;
    uint64_t passCount = 1;
    bool independent = false;
    bool failsPreparation = false;

    std::string class_name() const override { return "StubPixelEffect"; }
    bool pixels_are_independent() override { return independent; }
    pixel_t process_pixel_x(int32_t x, int32_t y, int32_t pass) override {
        return pixel ? pixel(x, y, pass) : PostProcess::process_pixel_x(x, y, pass);
    }
    void prepare_for_process() override {
        if (onPrepare) onPrepare();
        if (failsPreparation) preparation_failed();
    }
    void before_pass(int32_t pass) override {
        if (onBeforePass) onBeforePass(pass);
    }
    void after_pass(int32_t pass) override {
        if (onAfterPass) onAfterPass(pass);
    }
    void process_ended() override {
        if (onEnded) onEnded();
    }
    uint64_t passes() override { return passCount; }

    const graphics::ImagePtr& source() const { return m_img; }
    bool previewMode() const { return m_preview_mode; }
};

// An effect that makes its whole result in one call from its source.
class StubWholeImageEffect : public PostProcess {
  public:
    std::function<graphics::ImagePtr(const graphics::ImagePtr& source)> make;

    std::string class_name() const override { return "StubWholeImageEffect"; }
    bool has_custom_process_function() override { return true; }
    graphics::ImagePtr custom_process_function() override { return make ? make(m_img) : m_img; }

    const graphics::ImagePtr& source() const { return m_img; }
};

// Records the run notifications, from whichever thread they are delivered on.
class RunRecorder {
  public:
    struct Entry {
        std::string name;
        foundation::Value object;
        foundation::Value userInfo;
        bool onMainThread;
        const foundation::Thread* thread;
    };

    RunRecorder() {
        for (const char* name : {"EndProcess", "ProcessCancelled", "ProcessFailed", "progressChanged"})
            foundation::NotificationCenter::defaultCenter().addObserver(
                this, name, nullptr, [this](const foundation::Notification& n) {
                    std::lock_guard lock(mutex_);
                    entries_.push_back({n.name, n.object, n.userInfo, foundation::MainQueue::isMainThread(),
                                        &foundation::Thread::current()});
                });
    }
    ~RunRecorder() { foundation::NotificationCenter::defaultCenter().removeObserver(this); }
    RunRecorder(const RunRecorder&) = delete;
    RunRecorder& operator=(const RunRecorder&) = delete;

    std::vector<Entry> entries() const {
        std::lock_guard lock(mutex_);
        return entries_;
    }
    std::vector<Entry> named(const std::string& name) const {
        std::vector<Entry> out;
        for (Entry& e : entries())
            if (e.name == name) out.push_back(std::move(e));
        return out;
    }
    // The percentages reported, in order.
    std::vector<int64_t> progress() const {
        std::vector<int64_t> out;
        for (const Entry& e : named("progressChanged"))
            out.push_back(e.object.getInt64().value_or(-1));
        return out;
    }
    size_t ends() const {
        return named("EndProcess").size() + named("ProcessCancelled").size() + named("ProcessFailed").size();
    }

  private:
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};
