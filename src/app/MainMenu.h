#pragma once
// The menu bar of the editor's window. Every item names its command by selector ("copy:") and
// may carry a 64-bit tag; the editor's validation decides whether it is enabled. Items are
// refreshed when a menu opens and before any shortcut is matched, and every command checks its
// rule again when it runs, so a stale state can neither run nor block a command. The menu also
// owns the small child windows (preferences, acknowledgements, camera import) and hears their
// release.
#ifndef Q_MOC_RUN
#include "app/KXWindowControllerDelegate.h"
#endif
#include "app/AcknowledgementsWindowController.h"
#include "app/PreferencesWindowController.h"

#include <QKeySequence>
#include <QMenuBar>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class KXCameraBrowserWindowController;
class QAction;
class QMenu;
class RivorezIduvivViewController;
class VQDocumentController;

class MainMenu : public QObject, public KXWindowControllerDelegate {
    Q_OBJECT
  public:
    // Tags the program looks items up by.
    static constexpr int64_t kFileMenuTag = 5;
    static constexpr int64_t kHelpMenuTag = 9;
    static constexpr int64_t kViewMenuTag = 201602121751;
    static constexpr int64_t kBackgroundsItemTag = 201602121752;
    static constexpr int64_t kImageMenuTag = 1511051741;
    static constexpr int64_t kCropItemTag = 1511051742;

    // Builds the menu bar on the current editor's window.
    explicit MainMenu(VQDocumentController& controller);
    ~MainMenu() override;

    QMenuBar* menuBar() const { return _menuBar; }
    // The item with the tag among the bar's or a menu's own items (as the platform's menus look up).
    static QAction* itemWithTag(const QList<QAction*>& items, int64_t tag);
    QAction* itemWithTag(int64_t tag) const;
    // Every item that runs the command, in menu order.
    std::vector<QAction*> itemsWithAction(const std::string& action) const;
    QAction* itemWithAction(const std::string& action) const;
    QMenu* backgroundMenu() const { return _backgroundMenu; }
    QMenu* helpMenu() const { return _helpMenu; }
    std::vector<QMenu*> menus() const;

    // Enables each item by its rule and sets the background check marks.
    void updateActions();
    bool isEnabled(const std::string& action, int64_t tag, int* state = nullptr) const;
    // Runs the item's command when its rule allows it now; false when it did not run.
    bool perform(const std::string& action, int64_t tag = 0);

    // Hides the Image menu's Crop item.
    void removeCropMenuItem();
    // The Help menu's closing items: "<name> Help", a separator, then the product links.
    void configureHelpMenu();

    // Child windows, made on first use and released when they ask.
    void preferencesMenuItemClick();
    void acknowledgementsMenuItemClick();
    void importItemClick();
    PreferencesWindowController* preferencesWindowController() const { return _preferencesWindowController; }
    AcknowledgementsWindowController* acknowledgementsWindowController() const {
        return _acknowledgementsWindowController;
    }
    KXCameraBrowserWindowController* importWindowController() const { return _importWindowController.get(); }
    void kxWindowControllerWantsRelease(QObject* windowController, bool fromModalRepresentation) override;
    void openImageWithUrl(const std::string& path, QObject* windowController) override;
    bool respondsToOpenImageWithUrl() const override { return true; }

    // How addresses are opened (the editor's too); tests replace it.
    std::function<bool(const std::string& url)> openURL;
    // Web addresses of the help and product items.
    static std::string helpAddress(const std::string& action);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Item {
        const char* title;
        const char* action; // empty: a separator
        int64_t tag = 0;
        QKeySequence shortcut = {};
    };
    // Commands of the program itself, with their own rule or, without one, the editor's.
    struct Command {
        std::function<void(int64_t tag)> run;
        std::function<bool()> enabled;
    };

    RivorezIduvivViewController* editor() const;
    QMenu* addMenu(const QString& title, int64_t tag, const std::vector<Item>& items);
    QAction* addItem(QMenu* menu, const Item& item);
    // Puts a submenu in place of the plain item with that title.
    QMenu* replaceWithMenu(QMenu* menu, const char* title, const char* objectName);
    void rebuildRecentMenu();
    void buildBackgroundMenu();
    void registerCommands();

    VQDocumentController& _controller;
    QPointer<QMenuBar> _menuBar;
    QMenu* _recentMenu = nullptr;
    QMenu* _backgroundMenu = nullptr;
    QMenu* _helpMenu = nullptr;
    std::map<std::string, Command> _commands;
    std::map<std::string, std::vector<QAction*>> _actions;
    QPointer<PreferencesWindowController> _preferencesWindowController;
    QPointer<AcknowledgementsWindowController> _acknowledgementsWindowController;
    std::unique_ptr<KXCameraBrowserWindowController> _importWindowController;
};
