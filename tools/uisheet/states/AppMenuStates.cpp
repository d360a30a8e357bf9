// The menu bar with each menu opened over the editor holding a photo, a chosen background, the
// preferences window and the welcome window's first page.
#include "UiSheetRegistry.h"
#include "app/KXWelcomeScreenWindowController.h"
#include "app/MainMenu.h"
#include "app/PreferencesWindowController.h"
#include "app/VQDocumentController.h"
#include "controls/ImageAdditional.h"
#include "editor/RivorezIduvivViewController.h"
#include "imageview/KXImageView.h"
#include "platform/foundation/UserDefaults.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>

namespace {

// The controller owns the editor and its window; the host shows the window and, above it, the
// picture of an opened menu (a popup is a window of its own and would not be in the grab).
struct MenuHost : QWidget {
    VQDocumentController controller;
    QLabel* overlay = nullptr;
};

std::unique_ptr<QWidget> editorWithMenus(const QImage& photo) {
    auto host = std::make_unique<MenuHost>();
    host->resize(1100, 700);
    RivorezIduvivViewController* editor = host->controller.openUntitledDocumentAndDisplay(false);
    host->controller.applicationDidFinishLaunching();
    QMainWindow* window = editor->window();
    window->setParent(host.get(), Qt::Widget);
    window->setMinimumSize(0, 0);
    window->setGeometry(0, 0, 1100, 700);
    window->show();
    editor->openNewImage(ImageAdditional::fromQImage(photo), "Photo");
    host->overlay = new QLabel(host.get());
    host->overlay->hide();
    return host;
}

// Opens the menu bar's menu at `index` (and, with `submenu`, that submenu of it beside it) and
// lays their pictures under the menu's title.
void openMenu(QWidget& widget, int index, QMenu* submenu = nullptr) {
    auto& host = static_cast<MenuHost&>(widget);
    host.controller.currentDocumentController()->imageView()->zoomToFitAnimated(false);
    MainMenu* menus = host.controller.mainMenu();
    menus->updateActions();
    QMenuBar* bar = menus->menuBar();
    QAction* title = bar->actions().at(index);
    bar->setActiveAction(title);
    QMenu* menu = title->menu();
    emit menu->aboutToShow();
    menu->adjustSize();
    const QPixmap main = menu->grab();
    QPixmap side;
    int sideTop = 0;
    if (submenu) {
        emit submenu->aboutToShow();
        submenu->adjustSize();
        side = submenu->grab();
        sideTop = menu->actionGeometry(submenu->menuAction()).top();
        menu->setActiveAction(submenu->menuAction());
    }
    const QPixmap withHighlight = submenu ? menu->grab() : main;
    QPixmap both(withHighlight.width() + side.width(),
                 std::max(withHighlight.height(), sideTop + side.height()));
    both.fill(Qt::transparent);
    {
        QPainter painter(&both);
        painter.drawPixmap(0, 0, withHighlight);
        if (!side.isNull()) painter.drawPixmap(withHighlight.width() - 4, sideTop, side);
    }
    const QPoint at = bar->mapTo(&host, bar->actionGeometry(title).bottomLeft());
    host.overlay->setPixmap(both);
    host.overlay->resize(both.size());
    host.overlay->move(at);
    host.overlay->show();
    host.overlay->raise();
}

RivorezIduvivViewController& editorOf(QWidget& widget) {
    return *static_cast<MenuHost&>(widget).controller.currentDocumentController();
}

OPALENE_UISHEET_STATE("menu_1_file", editorWithMenus, [](QWidget& w) { openMenu(w, 0); });
OPALENE_UISHEET_STATE("menu_2_edit", editorWithMenus, [](QWidget& w) { openMenu(w, 1); });
OPALENE_UISHEET_STATE("menu_3_image", editorWithMenus, [](QWidget& w) { openMenu(w, 2); });
OPALENE_UISHEET_STATE("menu_4_presets", editorWithMenus, [](QWidget& w) { openMenu(w, 3); });
OPALENE_UISHEET_STATE("menu_5_view_backgrounds", editorWithMenus, [](QWidget& w) {
    openMenu(w, 4, static_cast<MenuHost&>(w).controller.mainMenu()->backgroundMenu());
});
OPALENE_UISHEET_STATE("menu_6_help", editorWithMenus, [](QWidget& w) { openMenu(w, 5); });
OPALENE_UISHEET_STATE("menu_file_open_in", editorWithMenus, [](QWidget& w) {
    openMenu(w, 0,
             static_cast<MenuHost&>(w).controller.mainMenu()->menuBar()->findChild<QMenu*>("openInMenu"));
});

OPALENE_UISHEET_STATE("editor_background_medium_grey", editorWithMenus, [](QWidget& w) {
    RivorezIduvivViewController& editor = editorOf(w);
    editor.performMenuAction("onBackgroundMenuItemClick:", 2);
    editor.imageView()->zoomToFitAnimated(false);
    QApplication::processEvents();
});

OPALENE_UISHEET_STATE("preferences_window", [](const QImage&) -> std::unique_ptr<QWidget> {
    foundation::UserDefaults::standardUserDefaults().setObject(foundation::Value("Normal"),
                                                               "k_Preview_Quality");
    return std::make_unique<PreferencesWindowController>();
});

// The window keeps its controller for the sheet's grab.
struct WelcomeHost : QWidget {
    std::unique_ptr<KXWelcomeScreenWindowController> controller;
};

OPALENE_UISHEET_STATE("welcome_window_page_1", [](const QImage&) -> std::unique_ptr<QWidget> {
    foundation::UserDefaults::standardUserDefaults().removeObjectForKey(
        KXWelcomeScreenWindowController::kCurrentPageIndexKey);
    foundation::UserDefaults::standardUserDefaults().setBool(
        true, KXWelcomeScreenWindowController::kShowOnStartupKey);
    auto host = std::make_unique<WelcomeHost>();
    host->controller = std::make_unique<KXWelcomeScreenWindowController>();
    KXTitleBarLessWindow* window = host->controller->window();
    host->resize(window->size() + QSize(40, 40));
    QPalette palette = host->palette();
    palette.setColor(QPalette::Window, QColor(70, 74, 80));
    host->setPalette(palette);
    host->setAutoFillBackground(true);
    window->setParent(host.get(), Qt::Widget);
    window->move(20, 20);
    window->show();
    return host;
});

} // namespace
