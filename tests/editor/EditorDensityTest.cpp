// The engine's backing scale factor follows the editor's content from screen to screen. The test
// program runs one case again in a child process on an offscreen platform with two screens of
// densities 1 and 2.
#include "editor/RivorezIduvivViewController.h"

#include "platform/appkit/MainQueuePump.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UndoManager.h"
#include "platform/services/KXServiceUtils.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <QMainWindow>
#include <QProcess>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

using services::KXServiceUtils;
constexpr const char* kChildVariable = "OPALENE_TWO_SCREEN_CHILD";

// Runs in the child only, where the platform has the two screens.
TEST(EditorDensityOnTwoScreens, TheScaleFactorFollowsTheWindowsScreen) {
    if (!std::getenv(kChildVariable)) GTEST_SKIP() << "run by EditorDensity in a child process";
    QApplication& app = uiApplication();
    QScreen *low = nullptr, *high = nullptr;
    for (QScreen* screen : app.screens())
        (screen->name() == "low" ? low : high) = screen;
    ASSERT_EQ(app.screens().size(), 2);
    ASSERT_TRUE(low && high);
    ASSERT_EQ(low->devicePixelRatio(), 1.0);
    ASSERT_EQ(high->devicePixelRatio(), 2.0);

    appkit::MainQueuePump mainQueue;
    foundation::UndoManager undo;
    RivorezIduvivViewController editor(&undo);
    KXServiceUtils::setBackingScaleFactor(3.0); // stale from anywhere: showing sets it
    editor.window()->show();
    foundation::RunLoop::runOnce();
    EXPECT_EQ(KXServiceUtils::backingScaleFactor(), editor.window()->devicePixelRatio());

    for (QScreen* screen : {high, low, high}) {
        editor.window()->windowHandle()->setScreen(screen);
        foundation::RunLoop::runOnce();
        EXPECT_EQ(KXServiceUtils::backingScaleFactor(), screen->devicePixelRatio())
            << screen->name().toStdString();
        EXPECT_EQ(KXServiceUtils::isRetina(), screen->devicePixelRatio() > 1);
    }

    // Moved into another program's window, as the extension shows it, the content follows that one.
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    layout->addWidget(editor.contentView());
    host.move(low->geometry().topLeft() + QPoint(20, 20));
    host.show();
    foundation::RunLoop::runOnce();
    ASSERT_EQ(host.screen(), low);
    EXPECT_EQ(KXServiceUtils::backingScaleFactor(), 1.0);
    for (QScreen* screen : {high, low}) {
        host.windowHandle()->setScreen(screen);
        foundation::RunLoop::runOnce();
        EXPECT_EQ(KXServiceUtils::backingScaleFactor(), screen->devicePixelRatio())
            << screen->name().toStdString();
    }
    editor.window()->setCentralWidget(editor.contentView()); // back before the window goes
}

TEST(EditorDensity, MovingTheWindowToAScreenOfAnotherDensitySetsTheEnginesScale) {
    TemporaryDirectory dir;
    const std::string config = dir.file("screens.json");
    std::ofstream(config) << R"({"screens": [
    {"name": "low", "x": 0, "y": 0, "width": 1920, "height": 1200, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
    {"name": "high", "x": 1920, "y": 0, "width": 2880, "height": 1800, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 2}
  ]})";
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", QString::fromStdString("offscreen:configfile=" + config));
    environment.insert(kChildVariable, "1");
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start("/proc/self/exe", {"--gtest_filter=EditorDensityOnTwoScreens.*"});
    ASSERT_TRUE(child.waitForFinished(60000));
    const std::string output = child.readAll().toStdString();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
}

} // namespace
