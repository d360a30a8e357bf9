#include "editor/RivorezIduvivViewController.h"

#include "controls/ImageAdditional.h"
#include "controls/KXButton.h"
#include "controls/KXJRVSlider.h"
#include "editor/FilterToolbarViewController.h"
#include "editor/ImagePasteboard.h"
#include "editor/SelectPostProcessViewController.h"
#include "engine/CustomPreset.h"
#include "engine/PostProcessesManager.h"
#include "imageview/CIMicroPaintView.h"
#include "imageview/DrawingToolbarController.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/Thread.h"
#include "platform/foundation/UndoManager.h"
#include "support/EventLoop.h"
#include "support/StubEffects.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QMainWindow>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

using Result = ApplyWait::Result;

graphics::ImagePtr picture(QColor colour, int width = 40, int height = 30) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return ImageAdditional::fromQImage(image);
}

QColor centre(const graphics::ImagePtr& image) {
    const QImage q = ImageAdditional::toQImage(image);
    return q.pixelColor(q.width() / 2, q.height() / 2);
}

// An effect whose full-size run paints the picture green once the test opens its gate; previews
// paint blue at once. A cancelled run stops waiting.
struct GatedEffect : StubWholeImageEffect {
    std::atomic<bool> open{false}, fullSizeStarted{false}, fails{false};
    std::string class_name() const override { return "GatedEffect"; }
    graphics::ImagePtr custom_process_function() override {
        if (m_preview_mode) return picture(Qt::blue, m_img->width(), m_img->height());
        fullSizeStarted = true;
        while (!open && !foundation::Thread::current().isCancelled())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (fails) return nullptr;
        return picture(Qt::green, m_img->width(), m_img->height());
    }
};

struct ApplyAndWait : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    GatedEffect effect; // outlives the editor, which may still name it to the engine
    foundation::UndoManager undo;
    RivorezIduvivViewController editor{&undo};
    graphics::ImagePtr opened = picture(Qt::red);
    std::atomic<bool> returned{false};
    Result result = Result::Failed;
    std::thread caller;

    ApplyAndWait() {
        editor.terminate = [](int) {};
        editor.openNewImage(opened, "Untitled");
    }
    ~ApplyAndWait() override {
        effect.open = true;
        if (caller.joinable()) {
            runEventLoopUntil([&] { return returned.load(); }, 10.0);
            caller.join();
        }
        PostProcessesManager::sharedPostProcessesManager().cancelGeneratingImage();
    }
    void callFromWorker() {
        caller = std::thread([this] {
            result = editor.applyCurrentToolAndWait();
            returned = true;
        });
    }
    void chooseGatedEffect() {
        editor.selectPostProcess(&effect);
        ASSERT_TRUE(runEventLoopUntil([&] { return editor.imageView()->previewImage() != nullptr; }, 10.0));
    }
};

// What may happen while the caller waits, and how the wait must end.
struct WaitCase {
    const char* name;
    bool chooseEffect;
    std::function<void(ApplyAndWait&)> whileWaiting;
    Result expected;
    QColor finalCentre; // of the working image
    int32_t finalTool = RivorezIduvivViewController::kBrowser;
};

TEST_F(ApplyAndWait, EachEndOfTheApplyWakesTheCallerWithItsResult) {
    const WaitCase cases[] = {
        {"no tool open", false, nullptr, Result::NothingToApply, Qt::red},
        {"effect applied", true, [](ApplyAndWait& t) { t.effect.open = true; }, Result::Applied, Qt::green},
        {"a preview finishing first does not release the wait", true,
         [](ApplyAndWait& t) {
             auto& manager = PostProcessesManager::sharedPostProcessesManager();
             t.editor.finishPostProcess(manager, &t.effect, picture(Qt::blue), nullptr, true);
             runEventLoopFor(0.05);
             EXPECT_FALSE(t.returned) << "woken by a preview";
             t.effect.open = true;
         },
         Result::Applied, Qt::green},
        {"sliders moved during the apply do not replace it", true,
         [](ApplyAndWait& t) {
             t.editor.slidersDidChange(t.editor.filterToolbarController());
             t.effect.open = true;
         },
         Result::Applied, Qt::green},
        {"apply failed", true,
         [](ApplyAndWait& t) {
             t.effect.fails = true;
             t.effect.open = true;
         },
         Result::Failed, Qt::red, RivorezIduvivViewController::kParameters},
        {"cancelled by leaving the tool", true,
         [](ApplyAndWait& t) { t.editor.cancelButtonDidClick(t.editor.filterToolbarController()); },
         Result::Cancelled, Qt::red},
    };
    for (const WaitCase& c : cases) {
        SCOPED_TRACE(c.name);
        ApplyAndWait& t = *this;
        t.effect.open = false;
        t.effect.fails = false;
        t.effect.fullSizeStarted = false;
        t.returned = false;
        t.editor.openNewImage(t.opened, "Untitled");
        if (c.chooseEffect) t.chooseGatedEffect();
        t.callFromWorker();
        if (c.chooseEffect) {
            ASSERT_TRUE(runEventLoopUntil([&] { return t.effect.fullSizeStarted.load(); }, 10.0));
            runEventLoopFor(0.02);
            EXPECT_FALSE(t.returned) << "returned before the apply ended";
            c.whileWaiting(t);
        }
        ASSERT_TRUE(runEventLoopUntil([&] { return t.returned.load(); }, 10.0));
        t.caller.join();
        EXPECT_EQ(t.result, c.expected);
        EXPECT_EQ(centre(t.editor.image()), c.finalCentre);
        EXPECT_EQ(t.editor.tool(), c.finalTool);
    }
}

TEST_F(ApplyAndWait, TwoCallersWaitingForOneApplyAreBothWoken) {
    chooseGatedEffect();
    std::atomic<int> woken{0};
    std::thread first([&] {
        if (editor.applyCurrentToolAndWait() == Result::Applied) ++woken;
    });
    ASSERT_TRUE(runEventLoopUntil([&] { return effect.fullSizeStarted.load(); }, 10.0));
    std::thread second([&] {
        if (editor.applyCurrentToolAndWait() == Result::Applied) ++woken;
    });
    runEventLoopFor(0.05);
    EXPECT_EQ(woken, 0);
    effect.open = true;
    EXPECT_TRUE(runEventLoopUntil([&] { return woken == 2; }, 10.0));
    first.join();
    second.join();
}

TEST_F(ApplyAndWait, OnTheMainThreadItAppliesWithoutDeadlock) {
    chooseGatedEffect();
    effect.open = true;
    EXPECT_EQ(editor.applyCurrentToolAndWait(), Result::Applied);
    EXPECT_EQ(centre(editor.image()), QColor(Qt::green));
    EXPECT_EQ(editor.applyCurrentToolAndWait(), Result::NothingToApply);
}

TEST_F(ApplyAndWait, APresetAppliedWakesTheCaller) {
    EffectRecord record;
    record[CustomPresetEffectNameKey] = foundation::Value(std::string("Cool Blue"));
    auto preset = std::make_shared<CustomPreset>(std::vector<EffectRecord>{record}, "Cool");
    editor.selectPreset(preset);
    ASSERT_NE(editor.filterToolbarController(), nullptr);
    callFromWorker();
    ASSERT_TRUE(runEventLoopUntil([&] { return returned.load(); }, 20.0));
    caller.join();
    EXPECT_EQ(result, Result::Applied);
    EXPECT_NE(editor.image(), opened);
}

TEST(ApplyWaitTest, AnEditorClosedWhileACallerWaitsWakesItAsCancelled) {
    QApplication& app = uiApplication();
    (void)app;
    appkit::MainQueuePump mainQueue;
    GatedEffect effect;
    foundation::UndoManager undo;
    auto editor = std::make_unique<RivorezIduvivViewController>(&undo);
    editor->terminate = [](int) {};
    editor->openNewImage(picture(Qt::red), "Untitled");
    editor->selectPostProcess(&effect);
    std::atomic<bool> returned{false};
    Result result = Result::Applied;
    std::thread caller([&] {
        result = editor->applyCurrentToolAndWait();
        returned = true;
    });
    ASSERT_TRUE(runEventLoopUntil([&] { return effect.fullSizeStarted.load(); }, 10.0));
    editor.reset();
    EXPECT_TRUE(runEventLoopUntil([&] { return returned.load(); }, 5.0));
    effect.open = true;
    caller.join();
    EXPECT_EQ(result, Result::Cancelled);
}

TEST(ApplyWaitTest, OnlyTheFirstSignalCounts) {
    ApplyWait wait;
    EXPECT_FALSE(wait.isSignalled());
    wait.signal(Result::Cancelled);
    wait.signal(Result::Applied);
    EXPECT_EQ(wait.wait(), Result::Cancelled);
}

// ---- Keys

QKeyEvent key(QEvent::Type type, int code, const QString& text,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool repeat = false) {
    return QKeyEvent(type, code, modifiers, text, repeat);
}

struct Keys : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    foundation::UndoManager undo;
    RivorezIduvivViewController editor{&undo};
    int compareClicks = 0, quickClicks = 0;

    Keys() {
        editor.terminate = [](int) {};
        QObject::connect(editor.compareButton(), &QAbstractButton::clicked, [this] { ++compareClicks; });
        QObject::connect(editor.quickCompareButton(), &QAbstractButton::clicked, [this] { ++quickClicks; });
    }
    void press(int code, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               bool repeat = false) {
        QKeyEvent event = key(QEvent::KeyPress, code, text, modifiers, repeat);
        QApplication::sendEvent(editor.window(), &event);
    }
    void release(int code, const QString& text, bool repeat = false) {
        QKeyEvent event = key(QEvent::KeyRelease, code, text, Qt::NoModifier, repeat);
        QApplication::sendEvent(editor.window(), &event);
    }
    // A look previewed in the parameters tool: the state in which comparing is possible.
    void previewALook() {
        editor.window()->show();
        editor.openNewImage(picture(Qt::red), "Untitled");
        editor.selectPostProcessViewController()->selectEffectIndex(1, false);
        ASSERT_TRUE(runEventLoopUntil([&] { return editor.compareButton()->isEnabled(); }, 20.0));
    }
};

TEST_F(Keys, ArrowsStepLooksOnlyInTheParametersToolWithoutCommandKeys) {
    editor.window()->show();
    editor.openNewImage(picture(Qt::red), "Untitled");
    auto* browser = editor.selectPostProcessViewController();
    browser->selectEffectIndex(1, false);
    ASSERT_EQ(editor.tool(), RivorezIduvivViewController::kParameters);
    ASSERT_EQ(browser->currentEffectIndex(), 1);
    struct Step {
        const char* name;
        int code;
        Qt::KeyboardModifiers modifiers;
        int64_t expectedIndex;
    } steps[] = {
        {"right", Qt::Key_Right, Qt::NoModifier, 2},
        {"left", Qt::Key_Left, Qt::NoModifier, 1},
        {"right with command", Qt::Key_Right, Qt::ControlModifier, 1},
        {"right with option", Qt::Key_Right, Qt::AltModifier, 1},
        {"left with control", Qt::Key_Left, Qt::MetaModifier, 1},
        {"right with shift", Qt::Key_Right, Qt::ShiftModifier, 2},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        press(s.code, "", s.modifiers);
        EXPECT_EQ(browser->currentEffectIndex(), s.expectedIndex);
    }
    editor.setTool(RivorezIduvivViewController::kBrowser);
    const int64_t before = browser->currentEffectIndex();
    press(Qt::Key_Right, "");
    EXPECT_EQ(browser->currentEffectIndex(), before);
}

TEST_F(Keys, CompareAndQuickCompareKeys) {
    // Compare disabled: neither key does anything.
    press(Qt::Key_Semicolon, ";");
    press(Qt::Key_Backslash, "\\");
    EXPECT_EQ(compareClicks + quickClicks, 0);
    EXPECT_EQ(editor.compareButton()->state(), 0);

    previewALook();
    press(Qt::Key_Semicolon, ";");
    EXPECT_EQ(editor.compareButton()->state(), 1);
    press(Qt::Key_Semicolon, ";", Qt::NoModifier, true); // a held key does not flicker
    EXPECT_EQ(editor.compareButton()->state(), 1);
    EXPECT_EQ(compareClicks, 1);
    release(Qt::Key_Semicolon, ";");
    press(Qt::Key_Semicolon, ";");
    EXPECT_EQ(editor.compareButton()->state(), 0);
    EXPECT_EQ(compareClicks, 2);

    // Quick compare lasts while the key is held, through autorepeat pairs.
    press(Qt::Key_Backslash, "\\");
    EXPECT_EQ(editor.quickCompareButton()->state(), 1);
    for (int i = 0; i < 5; ++i) {
        release(Qt::Key_Backslash, "\\", true);
        press(Qt::Key_Backslash, "\\", Qt::NoModifier, true);
    }
    EXPECT_EQ(editor.quickCompareButton()->state(), 1);
    EXPECT_EQ(quickClicks, 1);
    release(Qt::Key_Backslash, "\\");
    EXPECT_EQ(editor.quickCompareButton()->state(), 0);
    EXPECT_EQ(quickClicks, 2);

    // In compare mode "\\" leaves it.
    press(Qt::Key_Semicolon, ";");
    ASSERT_EQ(editor.compareButton()->state(), 1);
    press(Qt::Key_Backslash, "\\");
    EXPECT_EQ(editor.compareButton()->state(), 0);
    EXPECT_EQ(editor.quickCompareButton()->state(), 0);
}

TEST_F(Keys, DisabledInteractionIgnoresEveryKey) {
    previewALook();
    editor.setDisabledInteraction(true);
    EXPECT_FALSE(editor.keyDown(key(QEvent::KeyPress, Qt::Key_Semicolon, ";")));
    press(Qt::Key_Backslash, "\\");
    EXPECT_EQ(compareClicks + quickClicks, 0);
    EXPECT_EQ(editor.compareButton()->state(), 0);
    editor.setDisabledInteraction(false);
    EXPECT_TRUE(editor.keyDown(key(QEvent::KeyPress, Qt::Key_Semicolon, ";")));
    EXPECT_EQ(editor.compareButton()->state(), 1);
}

TEST_F(Keys, SpaceWithoutAPainterCanvasIsHarmless) {
    editor.setTool(RivorezIduvivViewController::kPainter);
    press(Qt::Key_Space, " ");
    release(Qt::Key_Space, " ");
    press(Qt::Key_Shift, "");
    EXPECT_EQ(editor.tool(), RivorezIduvivViewController::kPainter);
}

TEST_F(Keys, SpaceMovesThePaintersImageWhileHeldAndKeysReachTheBrushToolbar) {
    const graphics::ImagePtr photo = picture(Qt::gray);
    auto* canvas = new CIMicroPaintView(graphics::Rect{{0, 0}, {40, 30}}, photo, photo, editor.window());
    auto* toolbar = new DrawingToolbarController(editor.window());
    QApplication::processEvents();
    editor.closeSplashClick(); // no photo here, and the splash screen holds the keys back
    const double size = toolbar->brushSizeSlider()->doubleValue();

    press(Qt::Key_Space, " "); // not the painter tool yet
    EXPECT_FALSE(canvas->isMoveImageUsingSpace());
    editor.setTool(RivorezIduvivViewController::kPainter);
    press(Qt::Key_Space, " ");
    EXPECT_TRUE(canvas->isMoveImageUsingSpace());
    release(Qt::Key_Space, " ", true); // autorepeat: still held
    EXPECT_TRUE(canvas->isMoveImageUsingSpace());
    release(Qt::Key_Space, " ");
    EXPECT_FALSE(canvas->isMoveImageUsingSpace());

    press(Qt::Key_Shift, ""); // modifiers go to the canvas, which leaves them
    press(Qt::Key_A, "a");    // a key the toolbar leaves comes back to the window once
    press(Qt::Key_BracketRight, "]");
    EXPECT_GT(toolbar->brushSizeSlider()->doubleValue(), size);
    const double grown = toolbar->brushSizeSlider()->doubleValue();
    editor.setDisabledInteraction(true);
    press(Qt::Key_BracketRight, "]");
    press(Qt::Key_Space, " ");
    EXPECT_EQ(toolbar->brushSizeSlider()->doubleValue(), grown);
    EXPECT_FALSE(canvas->isMoveImageUsingSpace());
}

// ---- Clipboard

QMimeData* mime(std::initializer_list<std::pair<const char*, QByteArray>> formats, QList<QUrl> urls = {},
                QString text = {}) {
    auto* data = new QMimeData;
    for (const auto& [type, bytes] : formats)
        data->setData(type, bytes);
    if (!urls.isEmpty()) data->setUrls(urls);
    if (!text.isNull()) data->setText(text);
    return data;
}

QByteArray pngOf(QColor colour, int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

TEST(ImagePasteboardTest, WhatCanBeRead) {
    const std::vector<std::string> types{"tiff", "tif", "jpg", "jpeg", "png", "bmp", "jp2", "exr"};
    struct Case {
        const char* name;
        std::unique_ptr<QMimeData> data;
        bool readable;
    };
    Case cases[] = {
        {"TIFF data", std::unique_ptr<QMimeData>(mime({{"image/tiff", "II*"}})), true},
        {"PNG data", std::unique_ptr<QMimeData>(mime({{"image/png", pngOf(Qt::red, 2, 2)}})), true},
        {"upper-case extension", std::unique_ptr<QMimeData>(mime({}, {QUrl::fromLocalFile("/a/IMG.JPG")})),
         true},
        {"unreadable extension", std::unique_ptr<QMimeData>(mime({}, {QUrl::fromLocalFile("/a/x.gif")})),
         false},
        {"no extension", std::unique_ptr<QMimeData>(mime({}, {QUrl::fromLocalFile("/a/noext")})), false},
        {"only the first file counts",
         std::unique_ptr<QMimeData>(
             mime({}, {QUrl::fromLocalFile("/a/x.gif"), QUrl::fromLocalFile("/a/y.png")})),
         false},
        {"remote URL", std::unique_ptr<QMimeData>(mime({}, {QUrl("https://example.org/a.png")})), false},
        {"only text", std::unique_ptr<QMimeData>(mime({}, {}, "hello.png")), false},
        {"nothing", nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ImagePasteboard::canRead(c.data.get(), types), c.readable);
    }
}

TEST(ImagePasteboardTest, CopiedImageIsOfferedAsPngAndTiffEncodedOnlyWhenAsked) {
    QApplication& app = uiApplication();
    (void)app;
    ImagePasteboard::ImageMimeData data(picture(QColor(200, 40, 10), 9, 7));
    EXPECT_EQ(data.formats(), QStringList({"image/png", "image/tiff"}));
    EXPECT_EQ(data.encodings(), 0);
    for (const char* type : {"image/png", "image/tiff"}) {
        SCOPED_TRACE(type);
        QMimeData copy;
        copy.setData(type, data.data(type));
        graphics::ImagePtr back = ImagePasteboard::imageFromPasteboard(&copy);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->width(), 9);
        EXPECT_EQ(back->height(), 7);
        EXPECT_EQ(centre(back), QColor(200, 40, 10));
    }
    EXPECT_EQ(data.encodings(), 2);
    (void)data.data("image/png");
    EXPECT_EQ(data.encodings(), 2); // kept, not encoded again
    EXPECT_TRUE(data.data("text/plain").isEmpty());
}

TEST(ImagePasteboardTest, EmptyOrBrokenImageDataGivesNoPicture) {
    std::unique_ptr<QMimeData> broken(mime({{"image/png", "not a png"}, {"image/tiff", "nor a tiff"}}));
    EXPECT_EQ(ImagePasteboard::imageFromPasteboard(broken.get()), nullptr);
    std::unique_ptr<QMimeData> empty(mime({{"image/png", QByteArray()}}));
    EXPECT_EQ(ImagePasteboard::imageFromPasteboard(empty.get()), nullptr);
}

struct Clipboard : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    TemporaryDirectory dir;
    foundation::UndoManager undo;
    RivorezIduvivViewController editor{&undo};
    Clipboard() {
        editor.terminate = [](int) {};
    }
    std::string writePng(const char* name, QColor colour) {
        const std::string path = dir.path().string() + "/" + name;
        QImage image(12, 10, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(QString::fromStdString(path), "PNG"));
        return path;
    }
};

TEST_F(Clipboard, CopyOffersTheWorkingImage) {
    editor.copy(); // no image: nothing is put on the clipboard
    EXPECT_EQ(editor.writeDataToPasteboard(), nullptr);
    editor.openNewImage(picture(QColor(10, 200, 30), 16, 12), "Untitled");
    editor.copy();
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasFormat("image/png"));
    EXPECT_TRUE(data->hasFormat("image/tiff"));
    const QImage png = QImage::fromData(data->data("image/png"), "PNG");
    EXPECT_EQ(png.size(), QSize(16, 12));
    EXPECT_EQ(png.pixelColor(8, 6), QColor(10, 200, 30));
}

TEST_F(Clipboard, PasteOpensImageDataOrTheFirstFileAndIgnoresText) {
    const std::string first = writePng("first.PNG", Qt::red), second = writePng("second.png", Qt::blue);
    std::unique_ptr<QMimeData> files(mime({}, {QUrl::fromLocalFile(QString::fromStdString(first)),
                                               QUrl::fromLocalFile(QString::fromStdString(second))}));
    ASSERT_TRUE(editor.canReadDataFromPasteboard(files.get()));
    editor.readDataFromPasteboard(files.get());
    ASSERT_NE(editor.image(), nullptr);
    EXPECT_EQ(editor.representedFilename(), first);
    EXPECT_EQ(centre(editor.image()), QColor(Qt::red));

    // Unsaved work: the save question comes first, so nothing is replaced yet.
    editor.setDocumentEdited(true);
    const graphics::ImagePtr before = editor.image();
    std::unique_ptr<QMimeData> image(mime({{"image/png", pngOf(Qt::green, 6, 4)}}));
    editor.readDataFromPasteboard(image.get());
    EXPECT_EQ(editor.image(), before);
    editor.setDocumentEdited(false);

    editor.readDataFromPasteboard(image.get());
    ASSERT_NE(editor.image(), before);
    EXPECT_EQ(editor.image()->width(), 6);
    EXPECT_EQ(editor.representedFilename(), "Untitled");

    const graphics::ImagePtr pasted = editor.image();
    QApplication::clipboard()->setText("just words");
    editor.paste();
    std::unique_ptr<QMimeData> zero(mime({{"image/png", pngOf(Qt::red, 0, 0)}}));
    editor.readDataFromPasteboard(zero.get());
    EXPECT_EQ(editor.image(), pasted);
}

} // namespace
