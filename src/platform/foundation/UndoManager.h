#pragma once

// Undo by recorded closures, grouped by event: the first registration in a pass of the main loop
// opens a top-level group and the end of that pass closes it, so everything one click or one
// callback registers is one undo step. Explicit groups nest inside it. Undo replays a top-level
// group's actions in reverse order with isUndoing() set; what they register becomes the redo group.
// Redo is symmetric. A registration outside undo and redo clears the redo stack. Empty groups are
// dropped. Main thread only.
//
// Events, posted on the default notification center with this manager as object: a group closed by
// a user action (kUndoManagerDidCloseUndoGroupNotification, not sent for the groups undo and redo
// build), and kUndoManagerDidUndoChangeNotification / kUndoManagerDidRedoChangeNotification. A
// document counts changes as +1, -1 and +1 on them.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace foundation {

extern const char* const kUndoManagerDidCloseUndoGroupNotification;
extern const char* const kUndoManagerDidUndoChangeNotification;
extern const char* const kUndoManagerDidRedoChangeNotification;

class UndoManager {
  public:
    using Action = std::function<void()>;

    // Watches the end of main-loop passes through MainQueue.
    UndoManager();
    ~UndoManager();
    UndoManager(const UndoManager&) = delete;
    UndoManager& operator=(const UndoManager&) = delete;

    // target identifies the action for removeAllActionsWithTarget; the closure holds its arguments.
    void registerUndo(const void* target, Action action);

    void beginUndoGrouping();
    void endUndoGrouping();
    int groupingLevel() const { return level_; }

    void undo();
    void redo();
    bool canUndo() const;
    bool canRedo() const { return !redoStack_.empty(); }
    bool isUndoing() const { return mode_ == Mode::Undoing; }
    bool isRedoing() const { return mode_ == Mode::Redoing; }

    // A counter: registrations (and action names) are dropped while it is above zero.
    void disableUndoRegistration() { ++disabled_; }
    void enableUndoRegistration();
    bool isUndoRegistrationEnabled() const { return disabled_ == 0; }

    // Names the open top-level group; given before the pass's first registration, it names the
    // group that registration opens (and is forgotten if the pass registers nothing).
    void setActionName(const std::string& name);
    std::string undoActionName() const;
    std::string redoActionName() const;

    // Clears both stacks and any open group, and enables registration again.
    void removeAllActions();
    void removeAllActionsWithTarget(const void* target);

    // Most undo steps kept; 0 keeps all. The oldest steps go first.
    void setLevelsOfUndo(std::size_t levels);
    std::size_t levelsOfUndo() const { return levels_; }

  private:
    enum class Mode { Normal, Undoing, Redoing };
    struct Entry {
        const void* target;
        Action action;
    };
    struct Group {
        std::vector<Entry> entries;
        std::string name;
    };

    void openTopLevelGroup();
    void closeTopLevelGroup();
    void closeOpenGroups();
    void passEnded();
    void replay(std::vector<Group>& from, Mode mode, const char* event);
    void trim(std::vector<Group>& stack) const;
    void post(const char* name);

    std::vector<Group> undoStack_; // top at the back
    std::vector<Group> redoStack_;
    Group open_;
    int level_ = 0;
    int disabled_ = 0;
    Mode mode_ = Mode::Normal;
    std::string pendingName_;
    std::size_t levels_ = 0;
};

} // namespace foundation
