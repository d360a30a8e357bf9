#include "app/MainMenu.h"

#include "app/AcknowledgementsWindowController.h"
#include "app/KXCameraBrowserWindowController.h"
#include "app/MyDocument.h"
#include "app/PreferencesWindowController.h"
#include "app/VQDocumentController.h"
#include "controls/SharedBundle.h"
#include "editor/RecentDocuments.h"
#include "editor/RivorezIduvivViewController.h"
#include "platform/services/KXSLocalization.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QUrl>

namespace {

constexpr const char* kWebSite = "https://opalene.example";

QString localized(const char* key) {
    return QString::fromStdString(services::KXSLocalization::localizedStringForKey(key, ""));
}

// A standard shortcut where the desktop has one, else the given keys.
QKeySequence standard(QKeySequence::StandardKey key, const char* fallback = nullptr) {
    const QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (!keys.isEmpty()) return keys.first();
    return fallback ? QKeySequence(fallback) : QKeySequence();
}

// The 20 x 20 point swatch of a background pattern; the chosen one carries a tick, since an
// item's picture takes the place of its check mark.
QIcon swatch(int index) {
    QIcon icon;
    for (bool chosen : {false, true}) {
        QPixmap pixmap(40, 40);
        pixmap.setDevicePixelRatio(2);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(QRectF(0, 0, 20, 20),
                         RivorezIduvivViewController::getBackgroundColorForIndex(index));
        painter.setPen(QColor(0, 0, 0, 120));
        painter.drawRect(QRectF(0.5, 0.5, 19, 19));
        if (chosen) {
            const QPolygonF tick({QPointF(5, 10.5), QPointF(8.5, 14), QPointF(15, 6)});
            painter.setPen(QPen(QColor(0, 0, 0, 160), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawPolyline(tick);
            painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.drawPolyline(tick);
        }
        painter.end();
        for (QIcon::Mode mode : {QIcon::Normal, QIcon::Active, QIcon::Selected})
            icon.addPixmap(pixmap, mode, chosen ? QIcon::On : QIcon::Off);
    }
    return icon;
}

} // namespace

MainMenu::MainMenu(VQDocumentController& controller) : _controller(controller) {
    openURL = [](const std::string& url) {
        return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
    };
    registerCommands();
    RivorezIduvivViewController* editor = this->editor();
    _menuBar = new QMenuBar(editor ? static_cast<QWidget*>(editor->window()) : nullptr);
    _menuBar->setObjectName("mainMenu");
    if (editor) {
        editor->window()->setMenuBar(_menuBar);
        editor->openURL = [this](const std::string& url) { return openURL && openURL(url); };
        editor->importFromCamera = [this] { importItemClick(); };
    }

    QMenu* file = addMenu(localized("&File"), kFileMenuTag,
                          {{"Open…", "openImage:", 0, standard(QKeySequence::Open)},
                           {"Open Recent", ""},
                           {"Import from Camera…", "importItemClick:"},
                           {"", ""},
                           {"Save", "saveMenuItemClick:", 0, standard(QKeySequence::Save)},
                           {"Save As…", "saveImage:", 0, standard(QKeySequence::SaveAs, "Ctrl+Shift+S")},
                           {"Revert to Original…", "revertImageToOriginal:"},
                           {"", ""},
                           {"Share…", "buttonShareClick:"},
                           {"Open In", ""},
                           {"", ""},
                           {"Print…", "printDocument:", 0, standard(QKeySequence::Print)},
                           {"", ""},
                           {"Quit", "closeApplication:", 0, standard(QKeySequence::Quit, "Ctrl+Q")}});
    _recentMenu = replaceWithMenu(file, "Open Recent", "recentMenu");
    connect(_recentMenu, &QMenu::aboutToShow, this, [this] {
        rebuildRecentMenu();
        updateActions();
    });
    rebuildRecentMenu();
    QMenu* openIn = replaceWithMenu(file, "Open In", "openInMenu");
    for (const Item& item : std::vector<Item>{{"Photo Library", "exportToIPhotoItemClick:"},
                                              {"Photo Organiser", "exportToApertureItemClick:"},
                                              {"Image Editor", "exportToPhotoshopItemClick:"},
                                              {"Image Editor (Home)", "exportToPhotoshopElementsItemClick:"},
                                              {"Photo Workflow", "exportToLightroomItemClick:"}})
        addItem(openIn, item);

    addMenu(
        localized("&Edit"), 0,
        {{"Undo", "buttonUndoClick:", 0, standard(QKeySequence::Undo)},
         {"Redo", "buttonRedoClick:", 0, standard(QKeySequence::Redo, "Ctrl+Shift+Z")},
         {"", ""},
         {"Copy", "copy:", 0, standard(QKeySequence::Copy)},
         {"Paste", "paste:", 0, standard(QKeySequence::Paste)},
         {"", ""},
         {"Show Mask", "showLayerMaskClick:"},
         {"Invert Mask", "invertLayerMaskClick:"},
         {"Clear Mask", "clearLayerMaskClick:"},
         {"", ""},
         {"Preferences…", "preferencesMenuItemClick:", 0, standard(QKeySequence::Preferences, "Ctrl+,")}});
    addMenu(localized("&Image"), kImageMenuTag,
            {{"Effects", "fxToolButtonClick:"},
             {"Crop", "buttonCropClick:", kCropItemTag},
             {"Rotate", "enterRotationMode:"},
             {"Adjust", "buttonAdjustClick:"},
             {"", ""},
             {"Compare", "buttonCompareClick:"},
             {"", ""},
             {"Batch Processing…", "batchProcessingButtonPressed:"}});
    addMenu(localized("&Presets"), 0,
            {{"Export Preset…", "exportPresetMenuItemClick:"},
             {"Back Up Presets…", "backupPresetsClick:"},
             {"Restore Presets…", "restorePresetsClick:"}});
    QMenu* view =
        addMenu(localized("&View"), kViewMenuTag,
                {{"Zoom In", "zoomInClick:", 0, standard(QKeySequence::ZoomIn, "Ctrl++")},
                 {"Zoom Out", "zoomOutClick:", 0, standard(QKeySequence::ZoomOut, "Ctrl+-")},
                 {"Actual Size", "zoomToActualSizeClick:", 0, QKeySequence("Ctrl+0")},
                 {"Zoom to Fit", "zoomToFitClick:"},
                 {"", ""},
                 {"Full Screen", "toggleFullScreen:", 0, standard(QKeySequence::FullScreen, "F11")}});
    _backgroundMenu = new QMenu(localized("Background"), view);
    _backgroundMenu->setObjectName("backgroundMenu");
    _backgroundMenu->menuAction()->setData(QVariant::fromValue<qint64>(kBackgroundsItemTag));
    view->insertMenu(view->actions().at(4), _backgroundMenu);
    view->insertSeparator(_backgroundMenu->menuAction());
    buildBackgroundMenu();
    connect(_backgroundMenu, &QMenu::aboutToShow, this, &MainMenu::updateActions);

    _helpMenu = addMenu(localized("&Help"), kHelpMenuTag,
                        {{"Support…", "supportMenuItemClick:"},
                         {"Video Tutorials…", "showWatchVideoTutorials:"},
                         {"Customer Support…", "showCustomerSupport:"},
                         {"Crop Help Video…", "cropHelpVideoClick:"},
                         {"", ""},
                         {"Acknowledgements…", "acknowledgementsMenuItemClick:"},
                         {"About Opalene", "aboutMenuItemClick:"}});

    // The export and share items go into the File menu.
    if (editor) editor->createSharingMenu();

    // Before a shortcut is matched the items are brought up to date, so the key does what the
    // menu would show.
    qApp->installEventFilter(this);
    updateActions();
}

MainMenu::~MainMenu() {
    qApp->removeEventFilter(this);
    if (RivorezIduvivViewController* editor = this->editor()) {
        editor->openURL = nullptr;
        editor->importFromCamera = nullptr;
    }
    if (_preferencesWindowController) delete _preferencesWindowController.data();
    if (_acknowledgementsWindowController) delete _acknowledgementsWindowController.data();
    if (_menuBar && !_menuBar->parent()) delete _menuBar.data();
}

RivorezIduvivViewController* MainMenu::editor() const {
    return _controller.currentDocumentController();
}

void MainMenu::registerCommands() {
    auto always = [] { return true; };
    auto open = [this](const std::string& action) {
        return Command{[this, action](int64_t) { openURL&& openURL(helpAddress(action)); }, nullptr};
    };
    for (const char* link : {"otherProductsMenuItemClick:", "allProductsMenuItemClick:"})
        _commands[link] = open(link);
    for (const char* help : {"showZarvelHelp:", "showWatchVideoTutorials:", "showCustomerSupport:"}) {
        _commands[help] = open(help);
        _commands[help].enabled = always;
    }
    _commands["closeApplication:"] = {[this](int64_t) {
                                          if (_controller.applicationShouldTerminate())
                                              QCoreApplication::quit();
                                      },
                                      nullptr};
    _commands["preferencesMenuItemClick:"] = {[this](int64_t) { preferencesMenuItemClick(); }, nullptr};
    _commands["acknowledgementsMenuItemClick:"] = {[this](int64_t) { acknowledgementsMenuItemClick(); },
                                                   nullptr};
    _commands["importItemClick:"] = {[this](int64_t) { importItemClick(); }, nullptr};
    _commands["recentItemClick:"] = {
        [this](int64_t tag) {
            const std::vector<std::string> recent = RecentDocuments::recentDocumentURLs();
            if (tag >= 0 && size_t(tag) < recent.size())
                _controller.openDocumentWithContentsOfURL(recent[size_t(tag)], true);
        },
        nullptr};
    // Printing is the document's: it is offered while the editor has an image.
    _commands["printDocument:"] = {[this](int64_t) {
                                       if (MyDocument* document = _controller.currentDocument())
                                           document->printOperationWithSettings(nullptr);
                                   },
                                   [this] {
                                       MyDocument* document = _controller.currentDocument();
                                       return document && document->validateUserInterfaceItem();
                                   }};
}

std::string MainMenu::helpAddress(const std::string& action) {
    const std::string site = kWebSite;
    if (action == "showZarvelHelp:") return "https://help.opalene.example/AL";
    if (action == "showWatchVideoTutorials:") return site + "/webinar?product=zv_installer";
    if (action == "showCustomerSupport:") return site + "/contact?product=zv_installer";
    if (action == "otherProductsMenuItemClick:") return site + "/products";
    if (action == "allProductsMenuItemClick:") return site + "/store";
    return "";
}

QMenu* MainMenu::addMenu(const QString& title, int64_t tag, const std::vector<Item>& items) {
    QMenu* menu = _menuBar->addMenu(title);
    menu->menuAction()->setData(QVariant::fromValue<qint64>(tag));
    for (const Item& item : items)
        addItem(menu, item);
    connect(menu, &QMenu::aboutToShow, this, &MainMenu::updateActions);
    return menu;
}

QAction* MainMenu::addItem(QMenu* menu, const Item& item) {
    if (!*item.action) {
        if (!*item.title) return menu->addSeparator();
        return menu->addAction(localized(item.title)); // a place for a submenu
    }
    QAction* action = menu->addAction(localized(item.title));
    const std::string selector = item.action;
    action->setObjectName(QString::fromStdString(selector));
    action->setData(QVariant::fromValue<qint64>(item.tag));
    if (!item.shortcut.isEmpty()) {
        action->setShortcut(item.shortcut);
    }
    connect(action, &QAction::triggered, this,
            [this, action, selector] { perform(selector, action->data().value<qint64>()); });
    _actions[selector].push_back(action);
    return action;
}

QMenu* MainMenu::replaceWithMenu(QMenu* menu, const char* title, const char* objectName) {
    auto* submenu = new QMenu(localized(title), menu);
    submenu->setObjectName(objectName);
    for (QAction* place : menu->actions()) {
        if (place->text() != localized(title) || place->menu()) continue;
        menu->insertMenu(place, submenu);
        menu->removeAction(place);
        delete place;
        break;
    }
    connect(submenu, &QMenu::aboutToShow, this, &MainMenu::updateActions);
    return submenu;
}

void MainMenu::rebuildRecentMenu() {
    for (QAction* old : _recentMenu->actions()) {
        auto& list = _actions["recentItemClick:"];
        list.erase(std::remove(list.begin(), list.end(), old), list.end());
    }
    _recentMenu->clear();
    const std::vector<std::string> recent = RecentDocuments::recentDocumentURLs();
    for (size_t i = 0; i < recent.size(); ++i) {
        const std::string title = QFileInfo(QString::fromStdString(recent[i])).fileName().toStdString();
        QAction* action = _recentMenu->addAction(QString::fromStdString(title));
        action->setObjectName("recentItemClick:");
        action->setToolTip(QString::fromStdString(recent[i]));
        action->setData(QVariant::fromValue<qint64>(qint64(i)));
        connect(action, &QAction::triggered, this, [this, i] { perform("recentItemClick:", qint64(i)); });
        _actions["recentItemClick:"].push_back(action);
    }
}

void MainMenu::buildBackgroundMenu() {
    for (int index = 0; index < RivorezIduvivViewController::kBackgroundCount; ++index) {
        const std::string name = RivorezIduvivViewController::backgroundName(index);
        QAction* action = addItem(_backgroundMenu, Item{name.c_str(), "onBackgroundMenuItemClick:", index});
        action->setText(localized(name.c_str()));
        action->setCheckable(true);
        action->setIcon(swatch(index));
    }
}

void MainMenu::configureHelpMenu() {
    const QString name = QCoreApplication::applicationName().isEmpty() ? QString("Opalene")
                                                                       : QCoreApplication::applicationName();
    Item help{"", "showZarvelHelp:", 0, standard(QKeySequence::HelpContents, "F1")};
    const std::string title = localized("%@ Help").replace("%@", name).toStdString();
    help.title = title.c_str();
    QAction* item = addItem(_helpMenu, help);
    item->setText(QString::fromStdString(title));
    _helpMenu->addSeparator();
    for (const Item& link : std::vector<Item>{{"Other Products…", "otherProductsMenuItemClick:"},
                                              {"Our Store…", "allProductsMenuItemClick:"}})
        addItem(_helpMenu, link);
    updateActions();
}

void MainMenu::removeCropMenuItem() {
    if (QAction* image = itemWithTag(kImageMenuTag); image && image->menu())
        if (QAction* crop = itemWithTag(image->menu()->actions(), kCropItemTag)) crop->setVisible(false);
}

QAction* MainMenu::itemWithTag(const QList<QAction*>& items, int64_t tag) {
    for (QAction* action : items)
        if (!action->isSeparator() && action->data().isValid() && action->data().value<qint64>() == tag)
            return action;
    return nullptr;
}

QAction* MainMenu::itemWithTag(int64_t tag) const {
    return itemWithTag(_menuBar->actions(), tag);
}

std::vector<QAction*> MainMenu::itemsWithAction(const std::string& action) const {
    auto found = _actions.find(action);
    return found == _actions.end() ? std::vector<QAction*>{} : found->second;
}

QAction* MainMenu::itemWithAction(const std::string& action) const {
    std::vector<QAction*> items = itemsWithAction(action);
    return items.empty() ? nullptr : items.front();
}

std::vector<QMenu*> MainMenu::menus() const {
    std::vector<QMenu*> list;
    for (QAction* action : _menuBar->actions())
        if (action->menu()) list.push_back(action->menu());
    return list;
}

bool MainMenu::isEnabled(const std::string& action, int64_t tag, int* state) const {
    RivorezIduvivViewController* editor = this->editor();
    auto command = _commands.find(action);
    if (command != _commands.end() && command->second.enabled) return command->second.enabled();
    if (!editor) return false;
    RivorezIduvivViewController::UserInterfaceItem item{action, tag, 0};
    const bool allowed = editor->validateUserInterfaceItem(item);
    if (state) *state = item.state;
    return allowed && (command != _commands.end() || editor->respondsToMenuAction(action));
}

void MainMenu::updateActions() {
    for (auto& [selector, items] : _actions) {
        for (QAction* action : items) {
            int state = 0;
            action->setEnabled(isEnabled(selector, action->data().value<qint64>(), &state));
            if (action->isCheckable()) action->setChecked(state == 1);
        }
    }
}

bool MainMenu::perform(const std::string& action, int64_t tag) {
    if (!isEnabled(action, tag)) return false;
    auto command = _commands.find(action);
    bool ran = true;
    if (command != _commands.end())
        command->second.run(tag);
    else
        ran = editor() && editor()->performMenuAction(action, tag);
    if (_menuBar) updateActions();
    return ran;
}

bool MainMenu::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) updateActions();
    return QObject::eventFilter(watched, event);
}

// ---- Child windows

void MainMenu::preferencesMenuItemClick() {
    if (!_preferencesWindowController) {
        _preferencesWindowController = new PreferencesWindowController;
        _preferencesWindowController->setDelegate(this);
    }
    _preferencesWindowController->windowDidLoad();
    _preferencesWindowController->show();
    _preferencesWindowController->raise();
    _preferencesWindowController->activateWindow();
}

void MainMenu::acknowledgementsMenuItemClick() {
    if (!_acknowledgementsWindowController) {
        _acknowledgementsWindowController = new AcknowledgementsWindowController;
        _acknowledgementsWindowController->setDelegate(this);
    }
    _acknowledgementsWindowController->show();
    _acknowledgementsWindowController->raise();
    _acknowledgementsWindowController->activateWindow();
}

void MainMenu::importItemClick() {
    if (!_importWindowController) {
        _importWindowController = std::make_unique<KXCameraBrowserWindowController>();
        _importWindowController->setDelegate(this);
    }
    _importWindowController->window()->exec();
}

void MainMenu::kxWindowControllerWantsRelease(QObject* windowController, bool fromModalRepresentation) {
    auto stopModal = [fromModalRepresentation](QObject* window) {
        if (auto* dialog = qobject_cast<QDialog*>(window); dialog && fromModalRepresentation)
            dialog->done(QDialog::Rejected);
    };
    if (windowController && windowController == _preferencesWindowController) {
        stopModal(windowController);
        _preferencesWindowController->deleteLater();
        _preferencesWindowController = nullptr;
        if (RivorezIduvivViewController* editor = this->editor()) editor->preferencesDidClose();
    } else if (windowController && windowController == _acknowledgementsWindowController) {
        stopModal(windowController);
        _acknowledgementsWindowController->deleteLater();
        _acknowledgementsWindowController = nullptr;
    } else if (windowController && windowController == _importWindowController.get()) {
        stopModal(_importWindowController->window());
        _importWindowController.release()->deleteLater();
    }
}

void MainMenu::openImageWithUrl(const std::string& path, QObject* windowController) {
    (void)windowController;
    _controller.openDocumentWithContentsOfURL(path, true);
}
