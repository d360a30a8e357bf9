#include "engine/CustomPresetsManager.h"

#include "engine/PostProcess.h"
#include "engine/PostProcessParameter.h"

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UndoManager.h"

#include "support/ScopedEnvironment.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using foundation::Array;
using foundation::Dictionary;
using foundation::NotificationCenter;
using foundation::Value;
using Entry = CustomPresetsManager::Entry;
using Stack = CustomPresetsManager::Stack;

namespace fs = std::filesystem;

namespace {

EffectRecord record(const std::string& name, float param1 = 0.5f) {
    return {{CustomPresetEffectNameKey, Value(name)}, {CustomPresetParam1NumberValueKey, Value(param1)}};
}

std::shared_ptr<CustomPreset> preset(const std::string& name, std::vector<EffectRecord> records) {
    return std::make_shared<CustomPreset>(std::move(records), name);
}

std::string readFile(const std::string& path) {
    return foundation::readWholeFile(path).value_or("");
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> namesOf(CustomPresetsManager& manager) {
    std::vector<std::string> names;
    for (const auto& p : manager.presets())
        names.push_back(p->name());
    return names;
}

// An effect of a given name with up to two parameters and, if asked, a centre.
class RecordedEffect : public PostProcess {
  public:
    RecordedEffect(std::string name, int parameters, bool centre)
        : m_name(std::move(name)), m_centre(centre) {
        if (parameters > 0) m_param_1 = std::make_shared<PostProcessParameter>("Amount", 0.0, 1.0, 0.1);
        if (parameters > 1) m_param_2 = std::make_shared<PostProcessParameter>("Size", 0.0, 100.0, 30.0);
    }
    std::string get_name() override { return m_name; }
    bool isCenterSupported() override { return m_centre; }

  private:
    std::string m_name;
    bool m_centre;
};

// Application support inside a folder of the test's own.
class PresetsStore : public ::testing::Test {
  protected:
    void SetUp() override { environment.set("OPALENE_DATA_DIR", data()); }

    std::string data() const { return dir.file("data"); }
    std::string presetsFile() const { return dir.file("data/presets"); }
    std::string stateFile() const { return dir.file("data/SharedCustomPresetsManagerSavedState"); }
    std::unique_ptr<CustomPresetsManager> fresh() { return CustomPresetsManager::restoredFromSavedState(); }

    // Ends the main-loop pass, closing the undo group the pass opened.
    static void endEvent() { foundation::RunLoop::runOnce(); }

    TemporaryDirectory dir;
    ScopedEnvironment environment;
};

// Counts a manager's change notifications.
struct ChangeCounter {
    int count = 0;
    explicit ChangeCounter(const CustomPresetsManager& manager) {
        NotificationCenter::defaultCenter().addObserver(
            this, CustomPresetsManagerPresetsDidChangeNotification, &manager,
            [this](const foundation::Notification&) { ++count; });
    }
    ~ChangeCounter() { NotificationCenter::defaultCenter().removeObserver(this); }
};

} // namespace

TEST_F(PresetsStore, EmptyAtFirstStart) {
    auto manager = fresh();
    EXPECT_EQ(manager->presetsCount(), 0u);
    EXPECT_FALSE(manager->presetWithIndex(0));
    EXPECT_TRUE(manager->currentPostProcessesAndPresetsArray()->empty());
    EXPECT_FALSE(manager->canCreatePreset());
    EXPECT_TRUE(manager->damagedFiles().empty());
}

TEST_F(PresetsStore, ListOperationsSaveAndNotify) {
    auto manager = fresh();
    ChangeCounter changes(*manager);
    auto a = preset("A", {record("Aged")});
    auto b = preset("B", {record("Old TV")});
    manager->addPreset(a);
    manager->addPreset(b);
    manager->addPreset(a);       // already listed
    manager->addPreset(nullptr); // ignored
    EXPECT_EQ(namesOf(*manager), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(changes.count, 2);
    EXPECT_EQ(manager->indexOfPreset(b), 1u);
    EXPECT_EQ(manager->presetWithName("B"), b);
    EXPECT_EQ(manager->presetWithID(b->uuidPreset()), b);
    EXPECT_FALSE(manager->presetWithName("b"));

    EXPECT_FALSE(manager->movePresetAtIndex(0, 2));
    EXPECT_TRUE(manager->movePresetAtIndex(0, 1));
    EXPECT_EQ(namesOf(*manager), (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(namesOf(*fresh()), (std::vector<std::string>{"B", "A"}));

    manager->deletePreset(b);
    EXPECT_EQ(namesOf(*manager), std::vector<std::string>{"A"});
    EXPECT_FALSE(manager->indexOfPreset(b));
    EXPECT_EQ(namesOf(*fresh()), std::vector<std::string>{"A"});
    EXPECT_EQ(changes.count, 4);
}

TEST_F(PresetsStore, RenameSavesTheListAndNotifies) {
    auto manager = fresh();
    auto a = preset("A", {record("Aged")});
    manager->addPreset(a);
    ChangeCounter changes(*manager);
    a->setName("Sunday");
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(namesOf(*fresh()), std::vector<std::string>{"Sunday"});
}

TEST_F(PresetsStore, RoundTripKeepsRecordsIdentifiersAndTheStack) {
    std::string idNeverAsked;
    auto applied = preset("Applied", {record("Aged", 0.1f), record("Old TV")});
    {
        auto manager = fresh();
        auto asked = preset("Asked", {record("Aged")});
        const std::string askedId = asked->uuidPreset();
        manager->addPreset(asked);
        manager->addPreset(preset("Never asked", {record("Sparta", 2.0f), record("Napa")}));
        manager->setMaxIndexKeyOfUsedEffect(12); // stored with the next change of the stack
        manager->pushPreset(applied);
        manager->pushPreset(applied); // the same preset twice stays one preset
        idNeverAsked = manager->presetWithIndex(1)->uuidPreset();
        EXPECT_EQ(manager->presetWithIndex(0)->uuidPreset(), askedId);
    }
    auto manager = fresh();
    ASSERT_EQ(manager->presetsCount(), 2u);
    EXPECT_EQ(manager->presetWithIndex(1)->name(), "Never asked");
    EXPECT_EQ(manager->presetWithIndex(1)->uuidPreset(), idNeverAsked);
    EXPECT_EQ(manager->presetWithIndex(1)->ppStackArray(),
              (std::vector<EffectRecord>{record("Sparta", 2.0f), record("Napa")}));
    EXPECT_EQ(manager->maxIndexKeyOfUsedEffect(), 12u);

    const Stack& stack = *manager->currentPostProcessesAndPresetsArray();
    ASSERT_EQ(stack.size(), 2u);
    auto first = std::get<std::shared_ptr<CustomPreset>>(stack[0]);
    EXPECT_EQ(first, std::get<std::shared_ptr<CustomPreset>>(stack[1]));
    EXPECT_EQ(first->uuidPreset(), applied->uuidPreset());
    EXPECT_EQ(first->ppStackArray(), applied->ppStackArray());
}

TEST_F(PresetsStore, AppliedEffectRecordsWhatTheEffectHas) {
    struct Case {
        int parameters;
        bool centre;
        EffectRecord expected;
    };
    const std::vector<Case> cases = {
        {0, false, {{"EffectName", Value("Plain")}}},
        {1, false, {{"EffectName", Value("Plain")}, {"Param1NumberValue", Value(0.1f)}}},
        {2,
         true,
         {{"EffectName", Value("Plain")},
          {"Param1NumberValue", Value(0.1f)},
          {"Param2NumberValue", Value(42.7f)},
          {"CenterEffectXValueKey", Value(0.3f)},
          {"CenterEffectYValueKey", Value(0.9f)}}},
    };
    auto manager = fresh();
    for (const Case& c : cases) {
        RecordedEffect effect("Plain", c.parameters, c.centre);
        if (c.parameters > 1) effect.param_2()->setValue(42.7);
        effect.setEffectCenter({0.3, 0.9});
        manager->pushEffect(&effect);
        ASSERT_FALSE(manager->currentPostProcessesAndPresetsArray()->empty());
        // Numbers are single precision: 0.1 is kept as 0.1f.
        EXPECT_EQ(std::get<EffectRecord>(manager->currentPostProcessesAndPresetsArray()->back()), c.expected)
            << c.parameters << " parameters";
    }
    manager->pushEffect(nullptr);
    EXPECT_EQ(manager->currentPostProcessesAndPresetsArray()->size(), cases.size());
    EXPECT_EQ(*fresh()->currentPostProcessesAndPresetsArray(),
              *manager->currentPostProcessesAndPresetsArray());
}

TEST_F(PresetsStore, EntriesTheReaderWouldRefuseAreNotStored) {
    const EffectRecord nameless{{CustomPresetParam1NumberValueKey, Value(1.0f)}};
    auto mixed = preset("Mixed", {record("Aged"), nameless});
    {
        auto manager = fresh();
        manager->addPreset(mixed);
        manager->setCurrentPostProcessesAndPresetsArray(
            std::make_shared<Stack>(Stack{record("Napa"), nameless, std::shared_ptr<CustomPreset>(), mixed}));
    }
    auto manager = fresh();
    EXPECT_TRUE(manager->damagedFiles().empty());
    ASSERT_EQ(manager->presetsCount(), 1u);
    EXPECT_EQ(manager->presetWithIndex(0)->ppStackArray(), std::vector<EffectRecord>{record("Aged")});
    const Stack& stack = *manager->currentPostProcessesAndPresetsArray();
    ASSERT_EQ(stack.size(), 2u);
    EXPECT_EQ(std::get<EffectRecord>(stack[0]), record("Napa"));
    EXPECT_EQ(std::get<std::shared_ptr<CustomPreset>>(stack[1])->name(), "Mixed");
}

TEST_F(PresetsStore, UndoAndRedoMoveTheSameEntries) {
    foundation::UndoManager undo;
    auto manager = fresh();
    manager->setUndoManager(&undo);
    RecordedEffect effect("Aged", 1, false);
    const EffectRecord a = {{"EffectName", Value("Aged")}, {"Param1NumberValue", Value(0.1f)}};
    auto p = preset("P", {record("Napa")});

    manager->pushEffect(&effect);
    endEvent();
    manager->pushPreset(p);
    endEvent();
    const auto stack = [&] { return *manager->currentPostProcessesAndPresetsArray(); };
    EXPECT_EQ(stack(), (Stack{a, p}));

    undo.undo();
    EXPECT_EQ(stack(), Stack{a});
    undo.redo();
    EXPECT_EQ(stack(), (Stack{a, p}));
    EXPECT_EQ(std::get<1>(stack()[1]), p); // the very same object
    // A redo is saved, so quitting right after it loses nothing.
    EXPECT_EQ(fresh()->currentPostProcessesAndPresetsArray()->size(), 2u);

    undo.undo();
    undo.undo();
    EXPECT_TRUE(stack().empty());
    EXPECT_TRUE(fresh()->currentPostProcessesAndPresetsArray()->empty());

    undo.redo();
    undo.redo();
    const CustomPresetsManager::StackPtr old = manager->currentPostProcessesAndPresetsArray();
    manager->setCurrentPostProcessesAndPresetsArray(nullptr); // a new image
    endEvent();
    EXPECT_TRUE(stack().empty());
    EXPECT_TRUE(fresh()->currentPostProcessesAndPresetsArray()->empty());
    undo.undo();
    EXPECT_EQ(manager->currentPostProcessesAndPresetsArray(), old);
    EXPECT_EQ(stack(), (Stack{a, p}));
    manager->setUndoManager(nullptr);
}

TEST_F(PresetsStore, RemovingFromAnEmptyStackRegistersNothing) {
    foundation::UndoManager undo;
    auto manager = fresh();
    manager->setUndoManager(&undo);
    manager->removeLastEffectOrPreset();
    endEvent();
    EXPECT_FALSE(undo.canUndo());
    manager->setUndoManager(nullptr);
}

TEST_F(PresetsStore, NewPresetFlattensTheStack) {
    auto manager = fresh();
    const EffectRecord r1 = record("Aged"), r2 = record("Napa"), r3 = record("Derby"), r4 = record("Turin");
    manager->setCurrentPostProcessesAndPresetsArray(
        std::make_shared<Stack>(Stack{r1, preset("Nested", {r2, r3, r4})}));
    ASSERT_TRUE(manager->canCreatePreset());
    std::shared_ptr<CustomPreset> made = manager->createCustomPresetWithName(std::nullopt);
    ASSERT_TRUE(made);
    EXPECT_EQ(made->ppStackArray(), (std::vector<EffectRecord>{r1, r2, r3, r4}));
    EXPECT_EQ(made->name(), "Preset 1");
    EXPECT_EQ(manager->presetsCount(), 0u); // the caller adds it

    EXPECT_EQ(manager->createCustomPresetWithName("Mine")->name(), "Mine");

    // Only empty presets applied: nothing to keep.
    manager->setCurrentPostProcessesAndPresetsArray(
        std::make_shared<Stack>(Stack{preset("Empty", {}), preset("Empty too", {})}));
    EXPECT_TRUE(manager->canCreatePreset());
    EXPECT_FALSE(manager->createCustomPresetWithName(std::nullopt));
    manager->setCurrentPostProcessesAndPresetsArray(nullptr);
    EXPECT_FALSE(manager->createCustomPresetWithName(std::nullopt));
}

TEST_F(PresetsStore, DefaultNameTakesTheFirstFreeNumber) {
    struct Case {
        std::vector<std::string> existing;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{}, "Preset 1"},
        {{"Preset 1", "Preset 3"}, "Preset 2"},
        {{"Preset 2", "Preset 1"}, "Preset 3"},
        {{"preset 1", "Preset 01"}, "Preset 1"},
    };
    for (const Case& c : cases) {
        auto manager = fresh();
        for (const auto& p : std::vector<std::shared_ptr<CustomPreset>>(manager->presets()))
            manager->deletePreset(p);
        for (const std::string& name : c.existing)
            manager->addPreset(preset(name, {record("Aged")}));
        EXPECT_EQ(manager->generateNameForNewPreset(), c.expected);
    }
}

TEST_F(PresetsStore, ExportThenImportReplacesTheList) {
    auto manager = fresh();
    manager->addPreset(preset("One", {record("Aged")}));
    manager->addPreset(preset("Two", {record("Napa"), record("Derby")}));
    const std::string exported = dir.file("exported.presets");
    ASSERT_TRUE(manager->savePresetsAtPaht(exported));
    EXPECT_FALSE(manager->savePresetsAtPaht(dir.file("missing/folder/x")));

    manager->deletePreset(manager->presetWithIndex(0));
    manager->addPreset(preset("Three", {record("Turin")}));
    ChangeCounter changes(*manager);
    ASSERT_TRUE(manager->restorePresetsFromPath(exported));
    EXPECT_EQ(namesOf(*manager), (std::vector<std::string>{"One", "Two"}));
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(namesOf(*fresh()), (std::vector<std::string>{"One", "Two"}));
}

TEST_F(PresetsStore, DamagedImportsAreRefusedAndChangeNothing) {
    auto manager = fresh();
    manager->addPreset(preset("Kept", {record("Aged")}));
    ASSERT_TRUE(fs::exists(presetsFile()));
    const std::string stored = readFile(presetsFile());

    CustomPreset::registerForArchiving();
    auto archive = [](const Value& root) {
        return foundation::KeyedArchiver::archivedDataWithRootObject(root).value();
    };
    const Value good = CustomPreset::value(preset("Good", {record("Napa")}));
    const std::string valid = archive(Value(Array{good}));
    const std::string two = archive(
        Value(Array{good, CustomPreset::value(preset("Second", {record("Aged"), record("Derby", 0.25f)}))}));
    // The archive text with the first occurrence of from made to.
    auto edited = [](std::string text, const std::string& from, const std::string& to) {
        text.replace(text.find(from), from.size(), to);
        return text;
    };

    struct Case {
        const char* what;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"empty list", archive(Value(Array{}))},
        {"first element not a preset", archive(Value(Array{Value(record("Aged")), good}))},
        {"second element not a preset", archive(Value(Array{good, Value("Preset 2")}))},
        {"a record without a name", edited(valid, "\"EffectName\"", "\"EffectNome\"")},
        {"a later record naming nothing", edited(two, "\"Derby\"", "7")},
        {"a value that is not a number", edited(two, "0.25", "\"0.25\"")},
        {"root not a list", archive(good)},
        {"truncated", valid.substr(0, valid.size() / 2)},
        {"wrong format tag", edited(valid, "opalene-archive", "another-archive")},
        {"unknown class", edited(valid, "\"CustomPreset\"", "\"CustomPrefab\"")},
        {"garbage", std::string("\x89PNG\r\n\x1a\n\0\0garbage", 17)},
        {"empty file", ""},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file("import");
        writeFile(path, c.bytes);
        ChangeCounter changes(*manager);
        EXPECT_FALSE(manager->restorePresetsFromPath(path)) << c.what;
        EXPECT_EQ(namesOf(*manager), std::vector<std::string>{"Kept"}) << c.what;
        EXPECT_EQ(readFile(presetsFile()), stored) << c.what;
        EXPECT_EQ(changes.count, 0) << c.what;
    }
    EXPECT_FALSE(manager->restorePresetsFromPath(dir.file("no such file")));
    EXPECT_FALSE(manager->restorePresetsFromPath(dir.path().string())); // a folder

    // The unedited files import: the table tested the edits, not the reader.
    writeFile(dir.file("import"), two);
    EXPECT_TRUE(manager->restorePresetsFromPath(dir.file("import")));
    EXPECT_EQ(namesOf(*manager), (std::vector<std::string>{"Good", "Second"}));
    writeFile(dir.file("import"), valid);
    EXPECT_TRUE(manager->restorePresetsFromPath(dir.file("import")));
    EXPECT_EQ(namesOf(*manager), std::vector<std::string>{"Good"});
}

TEST_F(PresetsStore, DamagedListIsRecoveredFromTheBackup) {
    {
        auto manager = fresh();
        manager->addPreset(preset("First", {record("Aged")}));
        manager->addPreset(preset("Second", {record("Napa")})); // "First" alone is now the backup
    }
    const std::string damaged = readFile(presetsFile()).substr(0, 40);
    writeFile(presetsFile(), damaged);

    auto manager = fresh();
    EXPECT_EQ(namesOf(*manager), std::vector<std::string>{"First"});
    ASSERT_EQ(manager->damagedFiles().size(), 1u);
    const CustomPresetsManager::DamagedFile& report = manager->damagedFiles()[0];
    EXPECT_EQ(report.path, presetsFile());
    EXPECT_TRUE(report.recoveredFromBackup);
    EXPECT_EQ(readFile(report.setAsidePath), damaged);
}

TEST_F(PresetsStore, ListOfTheWrongShapeIsSetAsideNotOverwritten) {
    CustomPreset::registerForArchiving();
    fs::create_directories(data());
    // A sound archive, but of a single preset instead of a list, and no backup.
    ASSERT_TRUE(foundation::KeyedArchiver::archiveRootObject(
        CustomPreset::value(preset("Lonely", {record("Aged")})), presetsFile()));
    const std::string original = readFile(presetsFile());

    auto manager = fresh();
    EXPECT_EQ(manager->presetsCount(), 0u);
    ASSERT_EQ(manager->damagedFiles().size(), 1u);
    EXPECT_FALSE(manager->damagedFiles()[0].recoveredFromBackup);
    const std::string aside = manager->damagedFiles()[0].setAsidePath;
    manager->addPreset(preset("New", {record("Napa")}));
    EXPECT_EQ(readFile(aside), original);
    EXPECT_EQ(namesOf(*fresh()), std::vector<std::string>{"New"});
}

TEST_F(PresetsStore, DamagedStateGivesAnEmptyStackAndIsKept) {
    fs::create_directories(data());
    writeFile(stateFile(), "{\"format\": \"opalene-archive\", \"version\": 1, \"root\": {\"class\": ");
    auto manager = fresh();
    EXPECT_TRUE(manager->currentPostProcessesAndPresetsArray()->empty());
    ASSERT_EQ(manager->damagedFiles().size(), 1u);
    EXPECT_EQ(manager->damagedFiles()[0].path, stateFile());
    EXPECT_TRUE(fs::exists(manager->damagedFiles()[0].setAsidePath));
}

TEST_F(PresetsStore, FailedSavesAreReported) {
    auto manager = fresh();
    manager->addPreset(preset("Kept", {record("Aged")}));
    const std::string exported = dir.file("exported");
    ASSERT_TRUE(manager->savePresetsAtPaht(exported));

    // Application support below a plain file cannot be written.
    writeFile(dir.file("blocker"), "x");
    environment.set("OPALENE_DATA_DIR", dir.file("blocker/data"));
    ChangeCounter changes(*manager);
    EXPECT_FALSE(manager->savePresets());
    EXPECT_FALSE(manager->lastSaveError().empty());
    EXPECT_EQ(changes.count, 1);
    EXPECT_FALSE(manager->saveCurrentState());

    manager->deletePreset(manager->presetWithIndex(0));
    ASSERT_EQ(manager->presetsCount(), 0u);
    // An import that cannot be stored does not count.
    EXPECT_FALSE(manager->restorePresetsFromPath(exported));
    EXPECT_EQ(manager->presetsCount(), 0u);

    environment.set("OPALENE_DATA_DIR", data());
    EXPECT_TRUE(manager->savePresets());
    EXPECT_TRUE(manager->lastSaveError().empty());
}

TEST_F(PresetsStore, InfoFileListsIdentifiersAndNames) {
    auto manager = fresh();
    auto a = preset("A", {record("Aged")});
    auto b = preset("B", {record("Napa")});
    manager->addPreset(a);
    manager->addPreset(b);
    const std::string path = dir.file("info.plist");
    ASSERT_TRUE(manager->storePresetsInfoToPath(path));
    const Value expected(
        Array{Value("User Presets"),
              Value(Array{Value(Dictionary{{"id", Value(a->uuidPreset())}, {"name", Value("A")}}),
                          Value(Dictionary{{"id", Value(b->uuidPreset())}, {"name", Value("B")}})})});
    EXPECT_EQ(foundation::PropertyList::read(path), expected);
}

TEST_F(PresetsStore, ResetDropsEveryThumbnail) {
    auto manager = fresh();
    const uint8_t pixel[4] = {1, 2, 3, 4};
    auto a = preset("A", {record("Aged")});
    a->setPreviewImage(graphics::Image::copy(pixel, 1, 1, 4, graphics::PixelFormat{}));
    ASSERT_TRUE(a->previewImage());
    manager->addPreset(a);
    manager->resetAllPreviewImages();
    EXPECT_FALSE(a->previewImage());
}
