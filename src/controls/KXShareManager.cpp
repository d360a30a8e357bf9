#include "controls/KXShareManager.h"

#include "platform/appkit/Alert.h"
#include "platform/appkit/Workspace.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/services/KXSLocalization.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <algorithm>

namespace {

std::string localized(const std::string& key) {
    return services::KXSLocalization::localizedStringForKey(key, "");
}

struct Sharing {
    KXShareManager::Destination destination;
    std::string menuImageName;
    KXShareManager::SharingHandler handler;
};

std::vector<Sharing>& sharings() {
    static std::vector<Sharing> list;
    return list;
}

// A destinations submenu: holds its prepare block and fills itself each time it opens.
class ShareMenu : public QMenu {
  public:
    ShareMenu(KXShareManager::Destination::Kind kind, KXShareManager::PrepareBlock prepare,
              KXShareManager::ValidationHandler validation)
        : _kind(kind), _prepare(std::move(prepare)), _validation(std::move(validation)) {
        connect(this, &QMenu::aboutToShow, this, [this] { rebuild(); });
        live().push_back(this);
        rebuild();
    }
    ~ShareMenu() override { live().erase(std::remove(live().begin(), live().end(), this), live().end()); }

    static std::vector<ShareMenu*>& live() {
        static std::vector<ShareMenu*> menus;
        return menus;
    }
    KXShareManager::Destination::Kind kind() const { return _kind; }
    void setPrepare(KXShareManager::PrepareBlock prepare) { _prepare = std::move(prepare); }

    void rebuild() {
        clear();
        const bool valid = !_validation || _validation();
        const auto destinations = _kind == KXShareManager::Destination::OpenIn
                                      ? KXShareManager::exportDestinations()
                                      : KXShareManager::shareDestinations();
        if (destinations.empty()) {
            addAction(QString::fromStdString(localized("No applications for images")))->setEnabled(false);
            return;
        }
        for (const KXShareManager::Destination& destination : destinations) {
            QAction* item = addAction(QString::fromStdString(destination.title));
            item->setEnabled(valid);
            connect(item, &QAction::triggered, this, [this, destination] {
                KXShareManager::performDestination(destination, _prepare,
                                                   parentWidget() ? parentWidget()->window() : nullptr);
            });
        }
    }

  private:
    KXShareManager::Destination::Kind _kind;
    KXShareManager::PrepareBlock _prepare;
    KXShareManager::ValidationHandler _validation;
};

QAction* menuItem(const char* title, KXShareManager::Destination::Kind kind,
                  KXShareManager::PrepareBlock prepare, KXShareManager::ValidationHandler validation) {
    auto* action = new QAction(QString::fromStdString(localized(title)));
    auto* menu = new ShareMenu(kind, std::move(prepare), std::move(validation));
    action->setMenu(menu);
    // A Qt action does not own its submenu: it goes with the action, at once (a deferred delete
    // would outlive the application when no loop runs after it).
    QObject::connect(action, &QObject::destroyed, menu, [menu] { delete menu; });
    return action;
}

void configure(QAction* item, KXShareManager::Destination::Kind kind, KXShareManager::PrepareBlock prepare) {
    if (!item) return;
    auto* menu = dynamic_cast<ShareMenu*>(item->menu());
    if (!menu || menu->kind() != kind) return;
    menu->setPrepare(std::move(prepare));
    menu->rebuild();
}

void showFailure(QWidget* window, const std::string& message) {
    appkit::Alert::alertWithMessageText(message, localized("OK"), "", "", "")
        .beginSheetModalForWindow(window, [](int) {});
}

} // namespace

void KXShareManager::addSharingWithIdentifier(const std::string& identifier, const std::string& title,
                                              const std::string& menuImageName,
                                              const std::string& shareViewImageName,
                                              SharingHandler completionHandler) {
    Sharing sharing{{Destination::Share, identifier, title, shareViewImageName},
                    menuImageName,
                    std::move(completionHandler)};
    auto& list = sharings();
    auto same = std::find_if(list.begin(), list.end(),
                             [&](const Sharing& s) { return s.destination.identifier == identifier; });
    if (same != list.end())
        *same = std::move(sharing);
    else
        list.push_back(std::move(sharing));
}

void KXShareManager::removeAllSharings() {
    sharings().clear();
}

QAction* KXShareManager::exportMenuItemWithAsyncPrepareBlock(PrepareBlock prepare,
                                                             ValidationHandler validation, int type) {
    QAction* item = menuItem("Open In", Destination::OpenIn, std::move(prepare), std::move(validation));
    item->setProperty("shareMenuType", type);
    return item;
}

QAction* KXShareManager::shareMenuItemWithAsyncPrepareBlock(PrepareBlock prepare,
                                                            ValidationHandler validation) {
    return menuItem("Share", Destination::Share, std::move(prepare), std::move(validation));
}

void KXShareManager::configurePrepareImagesHandlerForExportItems(PrepareBlock prepare, QAction* menuItem) {
    configure(menuItem, Destination::OpenIn, std::move(prepare));
}

void KXShareManager::configurePrepareImagesHandlerForShareItems(PrepareBlock prepare, QAction* menuItem) {
    configure(menuItem, Destination::Share, std::move(prepare));
}

void KXShareManager::refreshMenus() {
    for (ShareMenu* menu : ShareMenu::live())
        menu->rebuild();
}

std::vector<KXShareManager::Destination> KXShareManager::exportDestinations() {
    std::vector<Destination> destinations;
    for (const appkit::Workspace::Application& application : appkit::Workspace::applicationsForImages())
        destinations.push_back({Destination::OpenIn, application.identifier, application.name, ""});
    return destinations;
}

std::vector<KXShareManager::Destination> KXShareManager::shareDestinations() {
    std::vector<Destination> destinations{
        {Destination::Share, kEmailIdentifier, localized("E-mail"), "share_email"}};
    for (const Sharing& sharing : sharings())
        destinations.push_back(sharing.destination);
    return destinations;
}

void KXShareManager::performDestination(const Destination& destination, const PrepareBlock& prepare,
                                        QWidget* window) {
    if (!prepare) return;
    foundation::NotificationCenter::defaultCenter().postNotificationName(
        destination.kind == Destination::OpenIn ? kKXShareManagerKeyOpenIn : kKXShareManagerKeyShare,
        foundation::Value(destination.title));
    QPointer<QWidget> owner(window);
    prepare([destination, owner](const std::vector<std::string>& paths) {
        if (paths.empty() || paths.front().empty()) return;
        const std::string& path = paths.front();
        if (destination.kind == Destination::OpenIn) {
            if (!appkit::Workspace::openFile(path, destination.identifier))
                showFailure(owner, QString::fromStdString(localized("The photo cannot be opened in %@."))
                                       .replace("%@", QString::fromStdString(destination.title))
                                       .toStdString());
            return;
        }
        if (destination.identifier == kEmailIdentifier) {
            if (!appkit::Workspace::launch({"xdg-email", "--attach", path}))
                showFailure(owner, localized("No e-mail program could be started."));
            return;
        }
        for (const Sharing& sharing : sharings())
            if (sharing.destination.identifier == destination.identifier) {
                if (sharing.handler) sharing.handler(paths);
                return;
            }
    });
}
