#include "platform/foundation/UndoManager.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using foundation::Notification;
using foundation::NotificationCenter;
using foundation::RunLoop;
using foundation::UndoManager;

namespace {

// A document whose edits undo in the invocation style: each undo action registers its own inverse.
struct Document {
    UndoManager& undo;
    std::string text;

    void append(char c) {
        undo.registerUndo(this, [this] { removeLast(); });
        text += c;
    }
    void removeLast() {
        if (text.empty()) return;
        char c = text.back();
        undo.registerUndo(this, [this, c] { append(c); });
        text.pop_back();
    }
};

// Script tokens: +x appends x to document A, *x to document B, | ends the main-loop pass,
// U undo, R redo, [ ] begin and end a group, D E disable and enable registration, N:name names
// the action, X removes document A's actions, L<n> sets the levels of undo, C removes all actions.
void run(const std::string& script, UndoManager& undo, Document& a, Document& b) {
    std::istringstream in(script);
    std::string t;
    while (in >> t) {
        switch (t[0]) {
        case '+':
            a.append(t[1]);
            break;
        case '*':
            b.append(t[1]);
            break;
        case '|':
            RunLoop::runOnce();
            break;
        case 'U':
            undo.undo();
            break;
        case 'R':
            undo.redo();
            break;
        case '[':
            undo.beginUndoGrouping();
            break;
        case ']':
            undo.endUndoGrouping();
            break;
        case 'D':
            undo.disableUndoRegistration();
            break;
        case 'E':
            undo.enableUndoRegistration();
            break;
        case 'N':
            undo.setActionName(t.substr(2));
            break;
        case 'X':
            undo.removeAllActionsWithTarget(&a);
            break;
        case 'L':
            undo.setLevelsOfUndo(std::stoul(t.substr(1)));
            break;
        case 'C':
            undo.removeAllActions();
            break;
        default:
            FAIL() << "bad token " << t;
        }
    }
}

} // namespace

TEST(UndoManager, Scenarios) {
    struct Case {
        const char* label;
        const char* script;
        const char* a;
        const char* b;
        bool canUndo;
        bool canRedo;
        const char* undoName;
        const char* redoName;
    };
    const Case cases[] = {
        {"one pass is one step", "+a +b | +c | U", "ab", "", true, true, "", ""},
        {"two undos reach the start", "+a +b | +c | U U", "", "", false, true, "", ""},
        {"explicit group inside the pass's group", "+a [ +b ] +c | +d | U U", "", "", false, true, "", ""},
        {"explicit group first, more after it", "[ +a ] +b | U", "", "", false, true, "", ""},
        {"nested explicit groups", "[ +a [ +b ] ] | +c | U", "ab", "", true, true, "", ""},
        {"undo then redo then undo", "+a | +b | U R U", "a", "", true, true, "", ""},
        {"redo restores the latest", "+a | +b | U R", "ab", "", true, false, "", ""},
        {"redo keeps the rest of the redo stack", "+a | +b | +c | U U R", "ab", "", true, true, "", ""},
        {"a new registration clears redo", "+a | +b | U +c |", "ac", "", true, false, "", ""},
        {"undo closes the open group", "+a | +b +c U", "a", "", true, true, "", ""},
        {"disabled registrations are dropped", "D +a E |", "a", "", false, false, "", ""},
        {"disabling counts", "D D +a E +b E +c | U", "ab", "", false, true, "", ""},
        {"name given before the first registration", "N:Crop +a | U", "", "", false, true, "", "Crop"},
        {"name given inside the pass", "+a N:Rotate |", "a", "", true, false, "Rotate", ""},
        {"names survive undo and redo", "N:Crop +a | N:Flip +b | U U R", "a", "", true, true, "Crop", "Flip"},
        {"a pending name dies with its pass", "N:Crop | +a |", "a", "", true, false, "", ""},
        {"a name set while disabled is ignored", "+a N:Keep D N:Lost E |", "a", "", true, false, "Keep", ""},
        {"empty groups are dropped", "+a | [ ] | U", "", "", false, true, "", ""},
        {"target removal leaves others", "+a *x | *y | +b | X U U", "ab", "", false, true, "", ""},
        {"levels keep the newest steps", "L2 +a | +b | +c | U U U", "a", "", false, true, "", ""},
        {"remove all actions", "+a | +b U C", "a", "", false, false, "", ""},
        {"remove all actions enables registration", "D C +a |", "a", "", true, false, "", ""},
    };
    for (const Case& c : cases) {
        UndoManager undo;
        Document a{undo, ""}, b{undo, ""};
        run(c.script, undo, a, b);
        EXPECT_EQ(a.text, c.a) << c.label;
        EXPECT_EQ(b.text, c.b) << c.label;
        EXPECT_EQ(undo.canUndo(), c.canUndo) << c.label;
        EXPECT_EQ(undo.canRedo(), c.canRedo) << c.label;
        EXPECT_EQ(undo.undoActionName(), c.undoName) << c.label;
        EXPECT_EQ(undo.redoActionName(), c.redoName) << c.label;
        EXPECT_EQ(undo.groupingLevel(), 0) << c.label;
    }
}

TEST(UndoManager, TargetRemovalUndoesOnlyTheOthers) {
    UndoManager undo;
    Document a{undo, ""}, b{undo, ""};
    run("+a *x | *y | +b | X U", undo, a, b);
    EXPECT_EQ(a.text, "ab");
    EXPECT_EQ(b.text, "x");
    undo.undo();
    EXPECT_EQ(b.text, "");
    EXPECT_FALSE(undo.canUndo());
}

TEST(UndoManager, ReplayRunsInReverseWithTheModeSet) {
    UndoManager undo;
    std::string log;
    undo.registerUndo(nullptr, [&] { log += undo.isUndoing() ? "1u" : "1?"; });
    undo.registerUndo(nullptr, [&] { log += undo.isUndoing() ? "2u" : "2?"; });
    RunLoop::runOnce();
    EXPECT_FALSE(undo.isUndoing());
    undo.undo();
    EXPECT_EQ(log, "2u1u");
    EXPECT_FALSE(undo.isUndoing());
    EXPECT_FALSE(undo.canRedo()) << "nothing was registered during the undo";
}

TEST(UndoManager, PostsEventsADocumentCanCountChangesBy) {
    UndoManager undo;
    Document a{undo, ""}, b{undo, ""};
    int changes = 0;
    std::string events;
    int owner = 0;
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(&owner, foundation::kUndoManagerDidCloseUndoGroupNotification, &undo,
                       [&](const Notification&) { ++changes, events += "c"; });
    center.addObserver(&owner, foundation::kUndoManagerDidUndoChangeNotification, &undo,
                       [&](const Notification&) { --changes, events += "u"; });
    center.addObserver(&owner, foundation::kUndoManagerDidRedoChangeNotification, &undo,
                       [&](const Notification&) { ++changes, events += "r"; });

    run("+a +b | [ ] | +c | U R U U", undo, a, b);
    EXPECT_EQ(events, "ccuruu");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(a.text, "");
    center.removeObserver(&owner);
}

TEST(UndoManager, DestroyedManagerNoLongerWatchesPasses) {
    {
        UndoManager undo;
        undo.registerUndo(nullptr, [] {});
    }
    RunLoop::runOnce(); // would reach a destroyed manager if it were still registered
    UndoManager undo;
    EXPECT_FALSE(undo.canUndo());
}
