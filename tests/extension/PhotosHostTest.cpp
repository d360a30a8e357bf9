#include "ExtensionFixture.h"

#include "controls/KXButton.h"
#include "editor/FilterToolbarViewController.h"
#include "engine/PostProcessesManager.h"
#include "extension/ExtensionInfo.h"
#include "extension/KXExtensionContainerView.h"
#include "imageview/KXImageView.h"
#include "platform/photos/AdjustmentData.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMainWindow>
#include <QProcess>
#include <QTimer>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

TEST_F(ExtensionHost, ASupportedPhotoOpensInTheEmbeddedEditorWhateverTheCaseOfItsExtension) {
    makeHost(writeTestPhoto(path("photo.JPG"), 120, 80), dir.path().string());
    ASSERT_TRUE(opened());
    EXPECT_EQ(editor()->image()->width(), 120);
    EXPECT_EQ(editor()->image()->height(), 80);
    EXPECT_EQ(PhotoEditingViewController::mainWindowController(), editor());
    EXPECT_EQ(editor()->contentView()->parentWidget(), host->extension()->containerView());
    EXPECT_TRUE(editor()->contentView()->isVisible());
    EXPECT_FALSE(editor()->window()->isVisible());
    EXPECT_TRUE(host->extension()->shouldShowCancelConfirmation());
    EXPECT_FALSE(PhotoEditingViewController::needTerminateProcess());
    EXPECT_TRUE(endings.empty());
}

TEST_F(ExtensionHost, AnUnsupportedTypeIsRefusedWithTheExtensionAsWrittenAndStatusOne) {
    const std::string photo = path("photo.XYZ");
    std::ofstream(photo) << "not a photo";
    // The alert runs modally: it is answered from inside its own loop.
    std::string text;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                text = box->text().toStdString();
                answer(box, 1);
            }
    });
    answerer.start(10);
    makeHost(photo, dir.path().string());
    ASSERT_TRUE(ended(5.0));
    EXPECT_EQ(text, "Oops, the file .XYZ can't be opened");
    EXPECT_EQ(endings, std::vector<int>{PhotosHostWindow::kRefused});
    EXPECT_EQ(editor(), nullptr);
}

TEST_F(ExtensionHost, DoneWritesTheWorkingImageAsAJpegWithTheAdjustmentDataAndEndsThreeSecondsLater) {
    const std::string photo = writeTestPhoto(path("beach.png"), 96, 64);
    const fs::path out = dir.path() / "out";
    fs::create_directory(out);
    makeHost(photo, out.string());
    ASSERT_TRUE(opened());
    host->doneButton()->click();
    ASSERT_TRUE(outputCame());
    ASSERT_NE(host->output(), nullptr);
    QElapsedTimer sinceFinish;
    sinceFinish.start();

    const std::string jpeg = (out / "beach.jpg").string();
    EXPECT_EQ(host->output()->renderedContentURL(), jpeg);
    const FilePixels written = readTestPhoto(jpeg);
    EXPECT_EQ(written.format, "jpeg");
    EXPECT_EQ(written.width, 96);
    EXPECT_EQ(written.height, 64);
    EXPECT_LT(meanDifference(written, readTestPhoto(photo)), 2.0); // quality 100 keeps the photo

    std::string error;
    auto record = photos::AdjustmentData::readFromFile((out / "beach.adjustment.json").string(), &error);
    ASSERT_TRUE(record.has_value()) << error;
    EXPECT_EQ(record->formatIdentifier(), ExtensionInfo::bundleIdentifier());
    EXPECT_EQ(record->formatVersion(), ExtensionInfo::shortVersionString());
    EXPECT_FALSE(record->formatVersion().empty());
    EXPECT_EQ(record->data(), "VQExtentionAdjustData");
    EXPECT_EQ(record->data().size(), 21u);
    EXPECT_EQ(fs::directory_iterator(out) == fs::directory_iterator(), false);
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 2); // no temporaries left

    EXPECT_TRUE(PhotoEditingViewController::needTerminateProcess());
    ASSERT_TRUE(ended(5.0));
    EXPECT_NEAR(sinceFinish.elapsed() / 1000.0, 3.0, 0.5);
    EXPECT_EQ(endings, std::vector<int>{PhotosHostWindow::kSaved});
}

TEST_F(ExtensionHost, DoneWhileALookIsTunedAppliesItFirst) {
    const std::string photo = writeTestPhoto(path("look.png"), 80, 60);
    makeHost(photo, dir.path().string());
    ASSERT_TRUE(opened());
    graphics::ImagePtr before = editor()->image();
    PostProcess* look = PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue");
    ASSERT_NE(look, nullptr);
    editor()->selectPostProcess(look);
    ASSERT_EQ(editor()->tool(), RivorezIduvivViewController::kParameters);

    host->doneButton()->click();
    ASSERT_TRUE(outputCame());
    ASSERT_NE(host->output(), nullptr);
    EXPECT_NE(editor()->image(), before);
    EXPECT_EQ(editor()->tool(), RivorezIduvivViewController::kBrowser);
    EXPECT_EQ(PostProcessesManager::sharedPostProcessesManager().delegate(),
              static_cast<PostProcessesManagerDelegate*>(editor()));
    EXPECT_TRUE(host->extension()->containerView()->isEnabled());
    const FilePixels written = readTestPhoto(host->output()->renderedContentURL());
    EXPECT_EQ(written.width, 80);
    EXPECT_GT(meanDifference(written, readTestPhoto(photo)), 5.0);
}

TEST_F(ExtensionHost, FinishCalledOnTheMainThreadCompletesWithoutWaitingOnItself) {
    makeHost(writeTestPhoto(path("main.png"), 64, 48), dir.path().string());
    ASSERT_TRUE(opened());
    editor()->selectPostProcess(
        PostProcessesManager::sharedPostProcessesManager().postProcessWithName("Cool Blue"));
    std::shared_ptr<photos::ContentEditingOutput> output;
    bool called = false;
    host->extension()->finishContentEditingWithCompletionHandler(
        [&](std::shared_ptr<photos::ContentEditingOutput> o) {
            called = true;
            output = std::move(o);
        });
    ASSERT_TRUE(runEventLoopUntil([&] { return called; }, 20.0));
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(readTestPhoto(output->renderedContentURL()).width, 64);
}

TEST_F(ExtensionHost, CancelAsksFirstThenWritesNothingAndEnds) {
    const fs::path out = dir.path() / "out";
    fs::create_directory(out);
    makeHost(writeTestPhoto(path("keep.png"), 40, 30), out.string());
    ASSERT_TRUE(opened());

    host->cancelButton()->click();
    answer(shownTopLevelAlert(2.0), 0); // keep editing
    runEventLoopFor(0.2);
    EXPECT_FALSE(PhotoEditingViewController::needTerminateProcess());

    host->cancelButton()->click();
    answer(shownTopLevelAlert(2.0), 1); // discard
    ASSERT_TRUE(ended(5.0));
    EXPECT_EQ(endings, std::vector<int>{PhotosHostWindow::kCancelled});
    EXPECT_TRUE(fs::is_empty(out));
}

TEST_F(ExtensionHost, AnOutputFolderThatCannotBeWrittenEndsAsAFailureWithNothingClaimed) {
    const fs::path out = dir.path() / "missing" / "folder";
    makeHost(writeTestPhoto(path("photo.png"), 40, 30), out.string());
    ASSERT_TRUE(opened());
    host->doneButton()->click();
    ASSERT_TRUE(outputCame());
    EXPECT_EQ(host->output(), nullptr);
    EXPECT_EQ(host->exitStatus(), PhotosHostWindow::kFailed);
    ASSERT_TRUE(ended(5.0));
    EXPECT_EQ(endings, std::vector<int>{PhotosHostWindow::kFailed});
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));
}

TEST_F(ExtensionHost, AnUnreadablePhotoLeavesTheEditorEmptyAndDoneFails) {
    const std::string photo = path("broken.jpg");
    std::ofstream(photo) << "\xff\xd8 not really a jpeg";
    const fs::path out = dir.path() / "out";
    fs::create_directory(out);
    makeHost(photo, out.string());
    ASSERT_TRUE(runEventLoopUntil([&] { return editor() != nullptr; }, 5.0));
    QMessageBox* error = shownTopLevelAlert(3.0);
    ASSERT_NE(error, nullptr);
    EXPECT_FALSE(error->text().isEmpty());
    error->accept();
    EXPECT_EQ(editor()->image(), nullptr);
    host->doneButton()->click();
    ASSERT_TRUE(outputCame());
    EXPECT_EQ(host->output(), nullptr);
    ASSERT_TRUE(ended(5.0));
    EXPECT_EQ(endings, std::vector<int>{PhotosHostWindow::kFailed});
    EXPECT_TRUE(fs::is_empty(out));
}

TEST_F(ExtensionHost, StoredAdjustmentDataIsOfferedButNeverResumed) {
    const std::string record = path("beach.adjustment.json");
    ASSERT_TRUE(photos::AdjustmentData(ExtensionInfo::bundleIdentifier(), "0.1", "VQExtentionAdjustData")
                    .writeToFile(record));
    makeHost(writeTestPhoto(path("beach.png"), 50, 40), dir.path().string(), record);
    ASSERT_TRUE(opened());
    EXPECT_TRUE(host->warnings().empty());
    ASSERT_NE(host->extension()->input(), nullptr);
    EXPECT_FALSE(host->extension()->input()->adjustmentData.has_value());
    EXPECT_FALSE(host->extension()->canHandleAdjustmentData(*photos::AdjustmentData::readFromFile(record)));
}

TEST_F(ExtensionHost, DamagedAdjustmentDataIsReportedAndThePhotoEditedAfresh) {
    const std::string record = path("damaged.adjustment.json");
    std::ofstream(record) << "{\"kind\": \"opalene.adjustment-data\", \"formatIdent";
    makeHost(writeTestPhoto(path("beach.png"), 50, 40), dir.path().string(), record);
    ASSERT_TRUE(opened());
    ASSERT_EQ(host->warnings().size(), 1u);
    EXPECT_NE(host->warnings()[0].find("damaged"), std::string::npos);
    EXPECT_EQ(editor()->image()->width(), 50);
}

TEST_F(ExtensionHost, ANewEditWithinThreeSecondsKeepsTheProcessAlive) {
    makeHost(writeTestPhoto(path("one.png"), 40, 30), dir.path().string());
    ASSERT_TRUE(opened());
    host->doneButton()->click();
    ASSERT_TRUE(outputCame());
    RivorezIduvivViewController* first = editor();
    runEventLoopFor(1.0);
    host->start();
    ASSERT_TRUE(runEventLoopUntil([&] { return editor() != first && editor() && editor()->image(); }, 5.0));
    EXPECT_FALSE(PhotoEditingViewController::needTerminateProcess());
    runEventLoopFor(3.0);
    EXPECT_TRUE(endings.empty());
}

TEST_F(ExtensionHost, TheContainerTakesTheFocusAndHandsKeysModifiersIncludedToTheEditor) {
    makeHost(writeTestPhoto(path("keys.png"), 40, 30), dir.path().string());
    ASSERT_TRUE(opened());
    struct Recorder : QObject {
        std::vector<std::pair<QEvent::Type, int>> keys;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
                keys.emplace_back(event->type(), static_cast<QKeyEvent*>(event)->key());
            return false;
        }
    } recorder;
    editor()->window()->installEventFilter(&recorder);
    KXExtensionContainerView* container = host->extension()->containerView();
    EXPECT_EQ(container->focusPolicy(), Qt::StrongFocus);
    for (auto [type, key] :
         {std::pair{QEvent::KeyPress, int(Qt::Key_Shift)}, std::pair{QEvent::KeyPress, int(Qt::Key_Z)},
          std::pair{QEvent::KeyRelease, int(Qt::Key_Z)}}) {
        QKeyEvent event(type, key, Qt::NoModifier);
        QCoreApplication::sendEvent(container, &event);
        EXPECT_TRUE(event.isAccepted());
    }
    const std::vector<std::pair<QEvent::Type, int>> expected{
        {QEvent::KeyPress, Qt::Key_Shift}, {QEvent::KeyPress, Qt::Key_Z}, {QEvent::KeyRelease, Qt::Key_Z}};
    EXPECT_EQ(recorder.keys, expected);
    editor()->window()->removeEventFilter(&recorder);
}

} // namespace

namespace {

struct HostRun {
    int status = -1;
    std::string errors;
};

HostRun runHostProgram(const QStringList& arguments) {
    QProcess process;
    process.start(OPALENE_PHOTOS_HOST, arguments);
    HostRun run;
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.errors = process.readAllStandardError().toStdString();
    return run;
}

TEST(PhotosHostProgram, BadArgumentsEndAtOnceWithAClearMessageAndStatusTwo) {
    TemporaryDirectory dir;
    const std::string photo = writeTestPhoto(dir.file("photo.png"), 20, 10);
    struct Case {
        const char* what;
        QStringList arguments;
        const char* message;
    };
    const Case cases[] = {
        {"no arguments", {}, "usage:"},
        {"no output folder", {QString::fromStdString(photo)}, "usage:"},
        {"missing photo",
         {QString::fromStdString(dir.file("none.jpg")), QString::fromStdString(dir.path().string())},
         "cannot read the photo"},
        {"a folder as photo",
         {QString::fromStdString(dir.path().string()), QString::fromStdString(dir.path().string())},
         "cannot read the photo"},
        {"missing output folder",
         {QString::fromStdString(photo), QString::fromStdString(dir.file("out"))},
         "does not exist"},
    };
    for (const Case& c : cases) {
        const HostRun run = runHostProgram(c.arguments);
        EXPECT_EQ(run.status, PhotosHostWindow::kBadArguments) << c.what;
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << c.what << ": " << run.errors;
    }
}

} // namespace
