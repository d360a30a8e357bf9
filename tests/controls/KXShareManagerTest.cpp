#include "controls/KXShareManager.h"
#include "controls/KXShareViewController.h"

#include "platform/appkit/Workspace.h"
#include "platform/foundation/NotificationCenter.h"
#include "support/EventLoop.h"
#include "support/ScopedEnvironment.h"
#include "support/ShownAlert.h"
#include "support/TemporaryDirectory.h"
#include "support/UiApplication.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace fs = std::filesystem;

namespace {

using Command = std::vector<std::string>;

void writeText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

struct Sharing : ::testing::Test {
    QApplication& app = uiApplication();
    TemporaryDirectory dir;
    ScopedEnvironment environment;
    std::vector<Command> launched;
    bool launches = true;
    std::vector<std::string> notices; // "<name>:<title>"
    int prepared = 0;
    std::vector<std::string> paths;
    QWidget window;

    Sharing() {
        environment.set("XDG_DATA_HOME", dir.file("apps"));
        environment.set("XDG_DATA_DIRS", dir.file("none"));
        writeText(dir.path() / "apps/applications/org.example.Viewer.desktop",
                  "[Desktop Entry]\nType=Application\nName=Viewer\nExec=viewer %f\nMimeType=image/tiff;\n");
        appkit::Workspace::setLauncher([this](const Command& command) {
            launched.push_back(command);
            return launches;
        });
        KXShareManager::removeAllSharings();
        for (const char* name : {kKXShareManagerKeyOpenIn, kKXShareManagerKeyShare})
            foundation::NotificationCenter::defaultCenter().addObserver(
                this, name, nullptr, [this, name](const foundation::Notification& n) {
                    notices.push_back(std::string(name) + ":" +
                                      (n.object.getString() ? *n.object.getString() : std::string("?")));
                });
        window.resize(800, 600);
        paths = {dir.file("photo_edit.tiff")};
        writeText(paths[0], "II*");
    }
    ~Sharing() override {
        appkit::Workspace::setLauncher(nullptr);
        foundation::NotificationCenter::defaultCenter().removeObserver(this);
    }
    KXShareManager::PrepareBlock prepare() {
        return [this](KXShareManager::CompletionHandler handler) {
            ++prepared;
            handler(paths);
        };
    }
    static QStringList titles(QAction* item) {
        item->menu()->aboutToShow();
        QStringList list;
        for (QAction* entry : item->menu()->actions())
            list << entry->text();
        return list;
    }
    static QAction* entry(QAction* item, const QString& title) {
        for (QAction* entry : item->menu()->actions())
            if (entry->text() == title) return entry;
        return nullptr;
    }
};

TEST_F(Sharing, DestinationsAreEmailTheProgramsSharesAndTheImageApplications) {
    KXShareManager::addSharingWithIdentifier("Album", "Album", "album_menu", "album_view", nullptr);
    KXShareManager::addSharingWithIdentifier("Print", "Print shop", "", "", nullptr);
    KXShareManager::addSharingWithIdentifier("Album", "Family album", "", "", nullptr); // replaces
    std::vector<std::string> shares;
    for (const auto& d : KXShareManager::shareDestinations())
        shares.push_back(d.identifier + "=" + d.title);
    EXPECT_EQ(shares, (std::vector<std::string>{"E-mail=E-mail", "Album=Family album", "Print=Print shop"}));
    const auto applications = KXShareManager::exportDestinations();
    ASSERT_EQ(applications.size(), 1u);
    EXPECT_EQ(applications[0].identifier, "org.example.Viewer");
    EXPECT_EQ(applications[0].kind, KXShareManager::Destination::OpenIn);
}

TEST_F(Sharing, MenuEntriesAskThePrepareBlockThenStartTheDestination) {
    std::unique_ptr<QAction> openIn(KXShareManager::exportMenuItemWithAsyncPrepareBlock(
        prepare(), [] { return true; }, 3));
    std::unique_ptr<QAction> share(
        KXShareManager::shareMenuItemWithAsyncPrepareBlock(prepare(), [] { return true; }));
    EXPECT_EQ(titles(openIn.get()), QStringList{"Viewer"});
    EXPECT_EQ(titles(share.get()), QStringList{"E-mail"});

    entry(openIn.get(), "Viewer")->trigger();
    entry(share.get(), "E-mail")->trigger();
    EXPECT_EQ(prepared, 2);
    EXPECT_EQ(notices, (std::vector<std::string>{"kKXShareManagerKeyOpenIn:Viewer",
                                                 "kKXShareManagerKeyShare:E-mail"}));
    ASSERT_EQ(launched.size(), 2u);
    EXPECT_EQ(launched[0], (Command{"viewer", paths[0]}));
    EXPECT_EQ(launched[1], (Command{"xdg-email", "--attach", paths[0]}));

    // Nothing to hand on (a failed write, a cancelled apply): nothing starts.
    paths.clear();
    entry(share.get(), "E-mail")->trigger();
    EXPECT_EQ(launched.size(), 2u);
}

TEST_F(Sharing, ValidationAndNewPrepareBlocksReachTheEntries) {
    bool valid = false;
    std::unique_ptr<QAction> share(
        KXShareManager::shareMenuItemWithAsyncPrepareBlock(prepare(), [&] { return valid; }));
    titles(share.get());
    EXPECT_FALSE(entry(share.get(), "E-mail")->isEnabled());
    valid = true;
    titles(share.get());
    EXPECT_TRUE(entry(share.get(), "E-mail")->isEnabled());

    int second = 0;
    KXShareManager::configurePrepareImagesHandlerForShareItems(
        [&](KXShareManager::CompletionHandler) { ++second; }, share.get());
    // An item of the other kind is left alone.
    KXShareManager::configurePrepareImagesHandlerForExportItems(
        [](KXShareManager::CompletionHandler) { FAIL(); }, share.get());
    entry(share.get(), "E-mail")->trigger();
    EXPECT_EQ(second, 1);
    EXPECT_EQ(prepared, 0);

    // New applications show at the next refresh.
    std::unique_ptr<QAction> openIn(
        KXShareManager::exportMenuItemWithAsyncPrepareBlock(prepare(), nullptr, 3));
    writeText(dir.path() / "apps/applications/org.example.Paint.desktop",
              "[Desktop Entry]\nName=Paint\nExec=paint %f\nMimeType=image/png;\n");
    KXShareManager::refreshMenus();
    QStringList shown;
    for (QAction* a : openIn->menu()->actions())
        shown << a->text();
    EXPECT_EQ(shown, (QStringList{"Paint", "Viewer"}));
}

TEST_F(Sharing, AProgramThatDoesNotStartIsSaid) {
    launches = false;
    KXShareManager::performDestination(KXShareManager::shareDestinations().front(), prepare(), &window);
    QMessageBox* alert = shownAlert(&window);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), "No e-mail program could be started.");
    answer(alert, 1);
}

TEST_F(Sharing, EmailGoesThroughTheDesktopsMailCommand) {
    appkit::Workspace::setLauncher(nullptr); // the real start, of a stand-in mail command on PATH
    const fs::path record = dir.path() / "mail-arguments";
    writeText(dir.path() / "bin/xdg-email", "#!/bin/sh\nprintf '%s|' \"$@\" > '" + record.string() +
                                                ".part'\nmv '" + record.string() + ".part' '" +
                                                record.string() + "'\n");
    fs::permissions(dir.path() / "bin/xdg-email", fs::perms::owner_all);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    environment.set("PATH", dir.path().string() + "/bin:" + path);
    KXShareManager::performDestination(KXShareManager::shareDestinations().front(), prepare(), &window);
    ASSERT_TRUE(runEventLoopUntil([&] { return fs::exists(record); }, 5.0));
    std::ifstream in(record);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "--attach|" + paths[0] + "|");
}

// ---- The popover

void press(QWidget* w, QPoint at) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }
}

struct SharePopover : Sharing {
    QWidget* content = new QWidget(&window);
    QWidget* button = new QWidget(content);
    KXShareViewController controller;
    int closes = 0, exports = 0;

    SharePopover() {
        content->setObjectName("contentView");
        content->setGeometry(0, 0, 800, 600);
        button->setGeometry(100, 8, 70, 26);
        controller.setCloseHandler([this] { ++closes; });
        controller.setExportToImageCallback([this] { ++exports; });
        controller.setPrepareImagesHandler(prepare());
        controller.setPositionShiftX(35);
        controller.setPositionShiftY(-10);
    }
};

TEST_F(SharePopover, ListsSharesApplicationsAndExportUnderTheButton) {
    controller.showFromView(button);
    KXVQPopoverView* popover = controller.popover();
    ASSERT_NE(popover, nullptr);
    EXPECT_EQ(controller.kxPopoverViewTableViewCellsArray(),
              (QStringList{"E-mail", "Open in Viewer", "Export to Image..."}));
    EXPECT_TRUE(controller.hasBottomSeparatorAtIndex(popover, 0));
    EXPECT_TRUE(controller.hasBottomSeparatorAtIndex(popover, 1));
    EXPECT_FALSE(controller.hasBottomSeparatorAtIndex(popover, 2));
    // Under the button's left edge, moved right 35 and down 10.
    EXPECT_EQ(popover->scrollView()->geometry().topLeft(), QPoint(135, 44));

    press(popover->tableView(), popover->rowRect(1).center());
    EXPECT_EQ(controller.popover(), nullptr);
    EXPECT_EQ(closes, 1);
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0], (Command{"viewer", paths[0]}));

    controller.showFromView(button);
    press(controller.popover()->tableView(), controller.popover()->rowRect(2).center());
    EXPECT_EQ(exports, 1);
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(prepared, 1);
}

TEST_F(SharePopover, ClosingWithoutAChoiceHandsNothingOn) {
    controller.showFromView(button);
    press(controller.popover(), QPoint(600, 500)); // outside the list
    EXPECT_EQ(controller.popover(), nullptr);
    controller.showFromView(button);
    controller.showFromView(button); // a second show replaces the first
    controller.close();
    controller.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(closes, 3);
    EXPECT_EQ(prepared, 0);
    EXPECT_TRUE(launched.empty());
    EXPECT_TRUE(content->findChildren<KXVQPopoverView*>().isEmpty());
}

} // namespace
