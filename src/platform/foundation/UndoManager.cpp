#include "platform/foundation/UndoManager.h"

#include "platform/foundation/MainQueue.h"
#include "platform/foundation/NotificationCenter.h"

#include <algorithm>
#include <cstdio>

namespace foundation {

const char* const kUndoManagerDidCloseUndoGroupNotification = "UndoManagerDidCloseUndoGroupNotification";
const char* const kUndoManagerDidUndoChangeNotification = "UndoManagerDidUndoChangeNotification";
const char* const kUndoManagerDidRedoChangeNotification = "UndoManagerDidRedoChangeNotification";

UndoManager::UndoManager() {
    MainQueue::addPassEndObserver(this, [this] { passEnded(); });
}

UndoManager::~UndoManager() {
    MainQueue::removePassEndObservers(this);
}

void UndoManager::openTopLevelGroup() {
    open_ = Group{{}, std::move(pendingName_)};
    pendingName_.clear();
    level_ = 1;
}

void UndoManager::registerUndo(const void* target, Action action) {
    if (disabled_ > 0 || !action) return;
    if (level_ == 0) openTopLevelGroup();
    if (mode_ == Mode::Normal) redoStack_.clear();
    open_.entries.push_back(Entry{target, std::move(action)});
}

void UndoManager::beginUndoGrouping() {
    // The event's own group comes first, so an explicit group always nests inside it.
    if (level_ == 0) openTopLevelGroup();
    ++level_;
}

void UndoManager::endUndoGrouping() {
    if (level_ == 0) {
        std::fprintf(stderr, "opalene: endUndoGrouping without an open group\n");
        return;
    }
    if (--level_ == 0) closeTopLevelGroup();
}

void UndoManager::closeTopLevelGroup() {
    Group group = std::move(open_);
    open_ = Group{};
    if (group.entries.empty()) return;
    if (mode_ == Mode::Undoing) {
        redoStack_.push_back(std::move(group));
        trim(redoStack_);
        return;
    }
    undoStack_.push_back(std::move(group));
    trim(undoStack_);
    if (mode_ == Mode::Normal) post(kUndoManagerDidCloseUndoGroupNotification);
}

void UndoManager::closeOpenGroups() {
    if (level_ > 1)
        std::fprintf(stderr, "opalene: undo or redo with %d nested undo groups open\n", level_ - 1);
    if (level_ > 0) {
        level_ = 0;
        closeTopLevelGroup();
    }
}

void UndoManager::passEnded() {
    pendingName_.clear();
    // An explicit group left open spans passes until it is ended.
    if (level_ == 1 && mode_ == Mode::Normal) endUndoGrouping();
}

void UndoManager::replay(std::vector<Group>& from, Mode mode, const char* event) {
    if (mode_ != Mode::Normal) return;
    closeOpenGroups();
    if (from.empty()) return;
    Group group = std::move(from.back());
    from.pop_back();
    mode_ = mode;
    pendingName_ = group.name; // the group built by the replay inherits the name
    openTopLevelGroup();
    for (auto it = group.entries.rbegin(); it != group.entries.rend(); ++it)
        it->action();
    closeOpenGroups();
    mode_ = Mode::Normal;
    post(event);
}

void UndoManager::undo() {
    replay(undoStack_, Mode::Undoing, kUndoManagerDidUndoChangeNotification);
}

void UndoManager::redo() {
    replay(redoStack_, Mode::Redoing, kUndoManagerDidRedoChangeNotification);
}

bool UndoManager::canUndo() const {
    return !undoStack_.empty() || (level_ > 0 && mode_ == Mode::Normal && !open_.entries.empty());
}

void UndoManager::enableUndoRegistration() {
    if (disabled_ == 0) {
        std::fprintf(stderr, "opalene: enableUndoRegistration without a matching disable\n");
        return;
    }
    --disabled_;
}

void UndoManager::setActionName(const std::string& name) {
    if (disabled_ > 0) return;
    if (level_ > 0)
        open_.name = name;
    else
        pendingName_ = name;
}

std::string UndoManager::undoActionName() const {
    if (level_ > 0 && mode_ == Mode::Normal && !open_.entries.empty()) return open_.name;
    return undoStack_.empty() ? std::string() : undoStack_.back().name;
}

std::string UndoManager::redoActionName() const {
    return redoStack_.empty() ? std::string() : redoStack_.back().name;
}

void UndoManager::removeAllActions() {
    undoStack_.clear();
    redoStack_.clear();
    open_.entries.clear();
    pendingName_.clear();
    disabled_ = 0;
}

void UndoManager::removeAllActionsWithTarget(const void* target) {
    auto strip = [target](Group& g) {
        std::erase_if(g.entries, [target](const Entry& e) { return e.target == target; });
    };
    for (std::vector<Group>* stack : {&undoStack_, &redoStack_}) {
        for (Group& g : *stack)
            strip(g);
        std::erase_if(*stack, [](const Group& g) { return g.entries.empty(); });
    }
    strip(open_);
}

void UndoManager::setLevelsOfUndo(std::size_t levels) {
    levels_ = levels;
    trim(undoStack_);
    trim(redoStack_);
}

void UndoManager::trim(std::vector<Group>& stack) const {
    if (levels_ > 0 && stack.size() > levels_) stack.erase(stack.begin(), stack.end() - levels_);
}

void UndoManager::post(const char* name) {
    NotificationCenter::defaultCenter().postNotificationName(name, Value::reference(this, "UndoManager"));
}

} // namespace foundation
