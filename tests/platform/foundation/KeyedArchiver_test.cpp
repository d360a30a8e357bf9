#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>

using foundation::Array;
using foundation::Bytes;
using foundation::Dictionary;
using foundation::KeyedArchiver;
using foundation::KeyedUnarchiver;
using foundation::Value;

namespace fs = std::filesystem;

namespace {

struct Preset {
    Array records;
    std::string name;
    std::string uuid;
};

struct Holder { // holds any value, so a graph can be made to loop
    Value inner;
};

std::shared_ptr<Preset> decodePreset(const KeyedUnarchiver& c) {
    const Value* records = c.decodeObjectForKey("_ppStackArray");
    const Value* name = c.decodeObjectForKey("_name");
    const Value* uuid = c.decodeObjectForKey("_uuidPreset");
    if (!records || !records->getArray() || !name || !name->getString() || !uuid || !uuid->getString())
        return nullptr;
    return std::make_shared<Preset>(Preset{*records->getArray(), *name->getString(), *uuid->getString()});
}

void registerTestClasses() {
    KeyedArchiver::registerClass<Preset>(
        "CustomPreset",
        [](const Preset& p, KeyedArchiver& c) {
            c.encodeObject(Value(p.records), "_ppStackArray");
            c.encodeObject(Value(p.name), "_name");
            c.encodeObject(Value(p.uuid), "_uuidPreset");
        },
        decodePreset);
    KeyedArchiver::registerClass<Holder>(
        "Holder", [](const Holder& h, KeyedArchiver& c) { c.encodeObject(h.inner, "inner"); },
        [](const KeyedUnarchiver& c) {
            const Value* v = c.decodeObjectForKey("inner");
            return v ? std::make_shared<Holder>(Holder{*v}) : nullptr;
        });
    KeyedArchiver::registerClass<Holder>(
        "Thrower", [](const Holder&, KeyedArchiver&) {},
        [](const KeyedUnarchiver&) -> std::shared_ptr<Holder> { throw std::runtime_error("refused"); });
}

Value presetValue(std::shared_ptr<Preset> p) {
    return Value::object(std::move(p), "CustomPreset");
}

std::shared_ptr<Preset> makePreset(const std::string& name, float param) {
    Dictionary record{{"EffectName", Value(name)}, {"Param1NumberValue", Value(param)}};
    return std::make_shared<Preset>(Preset{Array{Value(record)}, name, "UUID-" + name});
}

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class KeyedArchiverTest : public ::testing::Test {
  protected:
    void SetUp() override { registerTestClasses(); }
    TemporaryDirectory dir;
};

} // namespace

TEST_F(KeyedArchiverTest, RoundTripsAGraphKeepingSharedObjectsShared) {
    auto sketch = makePreset("Sketch", 0.1f);
    auto halftone = makePreset("Halftone", 0.7f);
    const Value root(Array{
        presetValue(sketch),
        presetValue(halftone),
        presetValue(sketch),
        Value(Dictionary{{"bytes", Value(Bytes{0, 1, 254, 255})},
                         {"nan", Value(std::numeric_limits<double>::quiet_NaN())},
                         {"inf", Value(-std::numeric_limits<double>::infinity())},
                         {"int", Value(std::int64_t{1} << 60)},
                         {"flag", Value(false)},
                         {"none", Value()},
                         {"class", Value("a key that looks like a tag")}}),
    });
    const std::string file = dir.file("presets");
    std::string error;
    ASSERT_TRUE(KeyedArchiver::archiveRootObject(root, file, &error)) << error;

    std::optional<Value> back = KeyedUnarchiver::unarchiveObjectWithFile(file, &error);
    ASSERT_TRUE(back) << error;
    const Array& items = *back->getArray();
    ASSERT_EQ(items.size(), 4u);
    auto first = items[0].getObject<Preset>("CustomPreset");
    auto second = items[1].getObject<Preset>("CustomPreset");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first, items[2].getObject<Preset>("CustomPreset"))
        << "one object archived twice stays one object";
    EXPECT_NE(first, second);
    EXPECT_EQ(first->name, "Sketch");
    EXPECT_EQ(first->uuid, "UUID-Sketch");
    EXPECT_EQ(first->records, sketch->records);
    EXPECT_EQ(static_cast<float>(*first->records[0].find("Param1NumberValue")->getDouble()), 0.1f);
    EXPECT_EQ(second->records, halftone->records);

    const Value& extras = items[3];
    EXPECT_EQ(*extras.find("bytes")->getBytes(), (Bytes{0, 1, 254, 255}));
    EXPECT_TRUE(std::isnan(*extras.find("nan")->getDouble()));
    EXPECT_EQ(extras.find("inf")->getDouble(), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(extras.find("int")->getInt64(), std::int64_t{1} << 60);
    EXPECT_EQ(*extras.find("flag"), Value(false));
    EXPECT_TRUE(extras.find("none")->isNull());
    EXPECT_EQ(*extras.find("class")->getString(), "a key that looks like a tag");
}

TEST_F(KeyedArchiverTest, EveryKindOfDamageIsRefusedAndTheFileLeftAsItWas) {
    const std::string sound =
        *KeyedArchiver::archivedDataWithRootObject(Value(Array{presetValue(makePreset("A", 1))}));
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string s = sound;
        size_t at = s.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return s.replace(at, from.size(), to);
    };
    const struct {
        const char* label;
        std::string text;
    } cases[] = {
        {"truncated", sound.substr(0, sound.size() / 2)},
        {"empty", ""},
        {"not JSON", "\x89PNG\r\n\x1a\n"},
        {"wrong format tag", replaced("opalene-archive", "other-archive")},
        {"wrong version", replaced("\"version\": 1", "\"version\": 2")},
        {"no root", R"({"format": "opalene-archive", "version": 1})"},
        {"unknown class", replaced("CustomPreset", "Stranger")},
        {"wrong field type", replaced("\"_name\": \"A\"", "\"_name\": 5")},
        {"missing field", replaced("\"_name\": \"A\",", "")},
        {"object without tag", R"({"format": "opalene-archive", "version": 1, "root": {"a": 1}})"},
        {"reference to nothing",
         R"({"format": "opalene-archive", "version": 1, "root": {"class": "ref", "id": 4}})"},
        {"damaged bytes",
         R"({"format": "opalene-archive", "version": 1, "root": {"class": "bytes", "base64": "AB=C"}})"},
        {"decoder throws",
         R"({"format": "opalene-archive", "version": 1, "root": {"class": "Thrower", "id": 1, "fields": {}}})"},
        {"nested too deeply", R"({"format": "opalene-archive", "version": 1, "root": )" +
                                  std::string(100000, '[') + std::string(100000, ']') + "}"},
    };
    for (const auto& c : cases) {
        const std::string file = dir.file("presets");
        writeText(file, c.text);
        std::string error;
        EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithFile(file, &error)) << c.label;
        EXPECT_FALSE(error.empty()) << c.label;
        EXPECT_EQ(contents(file), c.text) << c.label;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1) << c.label;
    }
    std::string error;
    EXPECT_FALSE(KeyedUnarchiver::unarchiveObjectWithFile(dir.file("missing"), &error));
    EXPECT_FALSE(error.empty());
}

TEST_F(KeyedArchiverTest, AGraphThatCannotBeArchivedLeavesTheFileAlone) {
    const std::string file = dir.file("presets");
    ASSERT_TRUE(KeyedArchiver::archiveRootObject(Value(Array{presetValue(makePreset("A", 1))}), file));
    const std::string before = contents(file);

    auto loop = std::make_shared<Holder>();
    loop->inner = Value(Array{Value::object(loop, "Holder")});
    const Value unarchivable[] = {
        Value(Array{Value::object(std::make_shared<int>(3), "NotRegistered")}),
        Value::object(loop, "Holder"),
    };
    for (const Value& root : unarchivable) {
        std::string error;
        EXPECT_FALSE(KeyedArchiver::archiveRootObject(root, file, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(contents(file), before);
        EXPECT_FALSE(fs::exists(file + ".bak"));
    }
    loop->inner = Value(); // break the loop so the test does not leak it
}

TEST_F(KeyedArchiverTest, ReservedClassNamesCannotBeRegistered) {
    for (const char* name : {"dictionary", "bytes", "real", "ref", ""})
        EXPECT_FALSE(KeyedArchiver::registerClass<Holder>(
            name, [](const Holder&, KeyedArchiver&) {}, [](const KeyedUnarchiver&) { return nullptr; }))
            << name;
}

TEST_F(KeyedArchiverTest, WritingKeepsTheLastSoundFileAsBackup) {
    const std::string file = dir.file("presets");
    const Value v1(Array{Value("one")}), v2(Array{Value("two")}), v3(Array{Value("three")});
    ASSERT_TRUE(KeyedArchiver::archiveRootObject(v1, file));
    EXPECT_FALSE(fs::exists(file + ".bak"));
    ASSERT_TRUE(KeyedArchiver::archiveRootObject(v2, file));
    EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithFile(file + ".bak"), v1);

    writeText(file, "{\"damaged"); // a damaged file never replaces the sound backup
    ASSERT_TRUE(KeyedArchiver::archiveRootObject(v3, file));
    EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithFile(file), v3);
    EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithFile(file + ".bak"), v1);
}

TEST_F(KeyedArchiverTest, StoredDataIsRecoveredFromTheBackup) {
    const std::string file = dir.file("SharedCustomPresetsManagerSavedState");
    const Value v1(Array{presetValue(makePreset("old", 1))});
    ASSERT_TRUE(KeyedArchiver::archiveRootObject(v1, file));
    ASSERT_TRUE(KeyedArchiver::archiveRootObject(Value(Array{}), file));
    const std::string damaged = contents(file).substr(0, 20);
    writeText(file, damaged);

    KeyedUnarchiver::StoredRead read = KeyedUnarchiver::unarchiveStoredObjectWithFile(file);
    ASSERT_TRUE(read.root) << read.error;
    EXPECT_TRUE(read.recoveredFromBackup);
    EXPECT_FALSE(read.error.empty());
    EXPECT_EQ(read.root->getArray()->at(0).getObject<Preset>("CustomPreset")->name, "old");
    ASSERT_FALSE(read.setAsidePath.empty());
    EXPECT_EQ(contents(read.setAsidePath), damaged);
    EXPECT_TRUE(KeyedUnarchiver::unarchiveObjectWithFile(file)) << "the sound copy is back in place";
}

TEST_F(KeyedArchiverTest, StoredReadWithoutASoundCopyGivesNothing) {
    const std::string file = dir.file("presets");
    KeyedUnarchiver::StoredRead missing = KeyedUnarchiver::unarchiveStoredObjectWithFile(file);
    EXPECT_FALSE(missing.root);
    EXPECT_TRUE(missing.setAsidePath.empty());

    writeText(file, "garbage");
    writeText(file + ".bak", "more garbage");
    KeyedUnarchiver::StoredRead read = KeyedUnarchiver::unarchiveStoredObjectWithFile(file);
    EXPECT_FALSE(read.root);
    EXPECT_FALSE(read.recoveredFromBackup);
    EXPECT_EQ(contents(read.setAsidePath), "garbage");
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(contents(file + ".bak"), "more garbage");
}
