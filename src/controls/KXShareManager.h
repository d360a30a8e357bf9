#pragma once
// The sharing side of the services framework, as far as this desktop has one. Two kinds of
// destination work here: the applications the desktop registers for image files ("open in", an
// export) and e-mail through the desktop's mail command with the photo attached (a share); a
// program may register more shares of its own. Menu items and the share popover never hold a
// picture: they ask the owner's prepare block, which answers a list with one file path (or an
// empty list when there is nothing to hand on), and only then start the destination.
//
// Choosing a destination posts "kKXShareManagerKeyOpenIn" or "kKXShareManagerKeyShare" with the
// destination's title as object. Programs start through appkit::Workspace's launcher. Main
// thread only.
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QWidget;

inline constexpr const char* kKXShareManagerKeyOpenIn = "kKXShareManagerKeyOpenIn";
inline constexpr const char* kKXShareManagerKeyShare = "kKXShareManagerKeyShare";

class KXShareManager {
  public:
    using CompletionHandler = std::function<void(const std::vector<std::string>& paths)>;
    using PrepareBlock = std::function<void(CompletionHandler)>;
    using ValidationHandler = std::function<bool()>;
    using SharingHandler = std::function<void(const std::vector<std::string>& items)>;

    static constexpr const char* kEmailIdentifier = "E-mail";

    struct Destination {
        enum Kind { OpenIn, Share };
        Kind kind = Share;
        std::string identifier; // the application's identifier for OpenIn, the share's otherwise
        std::string title;
        std::string imageName; // the share view's picture; empty for applications
    };

    // A share of the program's own, offered after e-mail in registration order; registering an
    // identifier again replaces it.
    static void addSharingWithIdentifier(const std::string& identifier, const std::string& title,
                                         const std::string& menuImageName,
                                         const std::string& shareViewImageName,
                                         SharingHandler completionHandler);
    static void removeAllSharings();

    // Menu items with a submenu of destinations, rebuilt whenever it opens; the items are the
    // caller's. `type` names the menu the export item goes into (kept for the caller's records).
    static QAction* exportMenuItemWithAsyncPrepareBlock(PrepareBlock prepare, ValidationHandler validation,
                                                        int type);
    static QAction* shareMenuItemWithAsyncPrepareBlock(PrepareBlock prepare, ValidationHandler validation);
    // Give items made above a new prepare block; other items are left alone.
    static void configurePrepareImagesHandlerForExportItems(PrepareBlock prepare, QAction* menuItem);
    static void configurePrepareImagesHandlerForShareItems(PrepareBlock prepare, QAction* menuItem);
    // Rebuilds every live submenu (applications may have come or gone).
    static void refreshMenus();

    static std::vector<Destination> exportDestinations();
    static std::vector<Destination> shareDestinations();
    // Posts the destination's notification, asks the prepare block for the file and hands it on.
    // A destination that could not be started says so in an alert over `window`; an empty list
    // from the prepare block hands nothing on and says nothing (the owner has reported why).
    static void performDestination(const Destination& destination, const PrepareBlock& prepare,
                                   QWidget* window);
};
