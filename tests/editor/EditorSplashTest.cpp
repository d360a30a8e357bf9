#include "editor/RivorezIduvivViewController.h"

#include "editor/RecentDocuments.h"
#include "imageview/KXImageView.h"
#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/UndoManager.h"
#include "support/EventLoop.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <QAbstractButton>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMimeData>
#include <QResizeEvent>
#include <QUrl>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct EditorSplash : ::testing::Test {
    QApplication& app = uiApplication();
    appkit::MainQueuePump mainQueue;
    TemporaryDirectory dir;
    foundation::UndoManager undo;
    std::unique_ptr<RivorezIduvivViewController> editor;

    EditorSplash() {
        RecentDocuments::clearRecentDocuments();
        editor = std::make_unique<RivorezIduvivViewController>(&undo);
        editor->window()->resize(1200, 800);
    }
    ~EditorSplash() override { RecentDocuments::clearRecentDocuments(); }

    std::string png(const char* name, QColor colour) const {
        const std::string path = dir.path().string() + "/" + name;
        QImage image(24, 16, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(QString::fromStdString(path), "PNG"));
        return path;
    }
    bool waitForSplash(bool shown) {
        return runEventLoopUntil([&] { return editor->isSplashViewShown() == shown; }, 2);
    }
    QAbstractButton* splashButton(const char* name) const {
        return editor->splashView() ? editor->splashView()->findChild<QAbstractButton*>(name) : nullptr;
    }
    // A drag and drop over a widget; answers whether the drag was offered a copy.
    static bool dropOn(QWidget* target, const QMimeData& data) {
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    }
    static std::unique_ptr<QMimeData> filesData(const std::string& path) {
        auto data = std::make_unique<QMimeData>();
        data->setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        return data;
    }
};

TEST_F(EditorSplash, ShownAtStartWithoutAPhotoAndGoneOnceOneOpens) {
    EXPECT_FALSE(editor->isSplashViewShown()) << "set-up shows it only after the current step";
    ASSERT_TRUE(waitForSplash(true));
    EXPECT_TRUE(editor->isDisabledInteraction());
    EXPECT_FALSE(editor->imageView()->acceptDrops()) << "drops go to the splash while it is up";
    EXPECT_EQ(editor->splashView()->geometry(), editor->contentView()->rect());
    EXPECT_EQ(splashButton("splashOpenRecentButton")->isHidden(), true) << "no recent files yet";
    EXPECT_TRUE(splashButton("splashImportPhotoButton")->isHidden()) << "no camera import offered";
    // A relayout raises the top bar and the browser; the splash must stay over them.
    QResizeEvent resize(QSize(1100, 700), editor->contentView()->size());
    QApplication::sendEvent(editor->contentView(), &resize);
    EXPECT_EQ(editor->contentView()->children().last(), editor->splashView());

    editor->openWithSavingCurrentImageURL(png("a.png", Qt::red));
    ASSERT_NE(editor->image(), nullptr);
    EXPECT_FALSE(editor->isSplashViewShown());
    EXPECT_FALSE(editor->isDisabledInteraction());
    EXPECT_TRUE(editor->imageView()->acceptDrops());
    runEventLoopFor(0.5);
    EXPECT_EQ(editor->contentView()->findChild<QWidget*>("splashView"), nullptr) << "removed after its fade";
}

TEST_F(EditorSplash, AnOpenBeforeTheSplashAppearsCancelsIt) {
    editor->openWithSavingCurrentImageURL(png("a.png", Qt::red));
    runEventLoopFor(0.2);
    EXPECT_FALSE(editor->isSplashViewShown());
    EXPECT_FALSE(editor->isDisabledInteraction());
}

TEST_F(EditorSplash, ReturnsWhenAnOpenPanelIsCancelledWithoutAPhoto) {
    ASSERT_TRUE(waitForSplash(true));
    editor->closeSplashClick();
    EXPECT_FALSE(editor->isSplashViewShown());
    editor->openImage();
    auto* panel = editor->window()->findChild<QFileDialog*>("openPanel");
    ASSERT_NE(panel, nullptr);
    panel->reject();
    EXPECT_TRUE(waitForSplash(true));
    EXPECT_TRUE(editor->isDisabledInteraction());
}

TEST_F(EditorSplash, ACancelledPanelOverAPhotoLeavesTheSplashAway) {
    ASSERT_TRUE(waitForSplash(true));
    editor->openWithSavingCurrentImageURL(png("a.png", Qt::red));
    editor->openImage();
    auto* panel = editor->window()->findChild<QFileDialog*>("openPanel");
    ASSERT_NE(panel, nullptr);
    panel->reject();
    runEventLoopFor(0.2);
    EXPECT_FALSE(editor->isSplashViewShown());
}

TEST_F(EditorSplash, TheRecentButtonShowsTheLastFileAndOpensIt) {
    const std::string older = png("older.png", Qt::blue);
    const std::string last = png("last.png", Qt::green);
    RecentDocuments::noteNewRecentDocumentURL(older);
    RecentDocuments::noteNewRecentDocumentURL(last);
    editor = std::make_unique<RivorezIduvivViewController>(&undo);
    ASSERT_TRUE(waitForSplash(true));
    QAbstractButton* recent = splashButton("splashOpenRecentButton");
    ASSERT_NE(recent, nullptr);
    EXPECT_FALSE(recent->isHidden());
    auto* thumbnail = editor->splashView()->findChild<QLabel*>("recentsButtonImageView");
    ASSERT_TRUE(runEventLoopUntil([&] { return !thumbnail->pixmap().isNull(); }, 5));
    const QImage shown = thumbnail->pixmap().toImage();
    EXPECT_EQ(QColor(shown.pixel(shown.width() / 2, shown.height() / 2)), QColor(Qt::green))
        << "the newest file";

    recent->click();
    ASSERT_NE(editor->image(), nullptr);
    EXPECT_EQ(editor->representedFilename(), last);
    EXPECT_FALSE(editor->isSplashViewShown());
}

TEST_F(EditorSplash, TheCameraButtonCallsTheProgramsImport) {
    int imports = 0;
    editor->importFromCamera = [&] { ++imports; };
    ASSERT_TRUE(waitForSplash(true));
    QAbstractButton* import = splashButton("splashImportPhotoButton");
    ASSERT_FALSE(import->isHidden());
    import->click();
    EXPECT_EQ(imports, 1);
}

TEST_F(EditorSplash, PhotosDroppedOnTheSplashOrTheImageViewOpenOtherFilesAreRefused) {
    ASSERT_TRUE(waitForSplash(true));
    std::ofstream(dir.path() / "notes.txt") << "not a photo";
    auto text = filesData((dir.path() / "notes.txt").string());
    QWidget* content = editor->splashView()->findChild<QWidget*>("splashViewContent");
    ASSERT_NE(content, nullptr);
    EXPECT_FALSE(dropOn(content, *text));
    EXPECT_EQ(editor->image(), nullptr);
    EXPECT_TRUE(editor->isSplashViewShown());

    const std::string first = png("first.png", Qt::red);
    EXPECT_TRUE(dropOn(content, *filesData(first)));
    ASSERT_NE(editor->image(), nullptr);
    EXPECT_EQ(editor->representedFilename(), first);
    EXPECT_FALSE(editor->isSplashViewShown());

    // With a photo open the image view takes drops itself.
    const std::string second = png("second.png", Qt::blue);
    EXPECT_FALSE(dropOn(editor->imageView(), *text));
    EXPECT_EQ(editor->representedFilename(), first);
    EXPECT_TRUE(dropOn(editor->imageView(), *filesData(second)));
    EXPECT_EQ(editor->representedFilename(), second);
}

TEST_F(EditorSplash, MenuValidationSeesTheSplash) {
    ASSERT_TRUE(waitForSplash(true));
    ASSERT_TRUE(editor->splashViewIsShown);
    EXPECT_TRUE(editor->splashViewIsShown());
    RivorezIduvivViewController::UserInterfaceItem open{"openImage:", 0};
    RivorezIduvivViewController::UserInterfaceItem undoItem{"buttonUndoClick:", 0};
    EXPECT_TRUE(editor->validateUserInterfaceItem(open));
    EXPECT_FALSE(editor->validateUserInterfaceItem(undoItem));
    editor->closeSplashClick();
    EXPECT_FALSE(editor->splashViewIsShown());
}

} // namespace
