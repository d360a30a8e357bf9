#include "platform/foundation/UserDefaults.h"

#include "support/ScopedEnvironment.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <thread>
#include <vector>

using foundation::Array;
using foundation::Dictionary;
using foundation::UserDefaults;
using foundation::Value;

namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<fs::path> setAside(const TemporaryDirectory& dir) {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(dir.path()))
        if (e.path().filename().string().find(".damaged-") != std::string::npos) found.push_back(e.path());
    return found;
}

} // namespace

TEST(UserDefaults, TypedValuesAndAnyKeySurviveAFreshInstance) {
    TemporaryDirectory dir;
    const std::string file = dir.file("defaults.json");
    const Dictionary weights{{"Sketch", Value(3u)}, {"B&W", Value(true)}};
    {
        UserDefaults d(file);
        d.setBool(true, "B&W Grained_fav");
        d.setInteger(-42, "a/b");
        d.setUnsignedInteger(18446744073709551615ull, "big unsigned");
        d.setFloat(0.1f, "Sketch PostProcessParam_1");
        d.setDouble(2.5, "with blank & punctuation: ?#%");
        d.setObject(Value("High"), "k_Preview_Quality");
        d.setObject(Value(Array{Value(1), Value("two")}), "list");
        d.setObject(Value(weights), "SortHidePPSupportManagerWeightDictionary");
        d.setObject(Value("x"), "ünïcödé/キー");
        EXPECT_TRUE(d.synchronize());
    }
    UserDefaults d(file);
    EXPECT_TRUE(d.boolForKey("B&W Grained_fav"));
    EXPECT_EQ(d.integerForKey("a/b"), -42);
    EXPECT_EQ(d.unsignedIntegerForKey("big unsigned"), 18446744073709551615ull);
    EXPECT_EQ(d.floatForKey("Sketch PostProcessParam_1"), 0.1f);
    EXPECT_EQ(d.doubleForKey("with blank & punctuation: ?#%"), 2.5);
    EXPECT_EQ(d.stringForKey("k_Preview_Quality"), "High");
    EXPECT_EQ(d.arrayForKey("list"), (Array{Value(1), Value("two")}));
    EXPECT_EQ(d.dictionaryForKey("SortHidePPSupportManagerWeightDictionary"), weights);
    EXPECT_EQ(d.stringForKey("ünïcödé/キー"), "x");
}

TEST(UserDefaults, AbsentAndWrongTypedKeysAnswerEmpty) {
    TemporaryDirectory dir;
    UserDefaults d(dir.file("defaults.json"));
    d.setObject(Value("text"), "string");
    d.setInteger(5, "number");
    EXPECT_FALSE(d.objectForKey("missing"));
    EXPECT_FALSE(d.boolForKey("missing"));
    EXPECT_EQ(d.integerForKey("missing"), 0);
    EXPECT_EQ(d.floatForKey("missing"), 0.0f);
    EXPECT_FALSE(d.boolForKey("string"));
    EXPECT_EQ(d.doubleForKey("string"), 0.0);
    EXPECT_FALSE(d.stringForKey("number"));
    EXPECT_FALSE(d.dictionaryForKey("number"));
    EXPECT_EQ(d.floatForKey("number"), 5.0f);
    EXPECT_TRUE(d.boolForKey("number"));
    EXPECT_TRUE(d.objectForKey("number"));
    d.removeObjectForKey("number");
    EXPECT_FALSE(d.objectForKey("number"));
    d.setObject(Value("gone"), "string");
    d.setObject(Value(), "string"); // null removes
    EXPECT_FALSE(d.objectForKey("string"));
}

TEST(UserDefaults, RefusesWhatTheFileCannotHold) {
    TemporaryDirectory dir;
    UserDefaults d(dir.file("defaults.json"));
    EXPECT_FALSE(d.setDouble(std::numeric_limits<double>::quiet_NaN(), "nan"));
    EXPECT_FALSE(d.setObject(Value(foundation::Bytes{1, 2}), "bytes"));
    EXPECT_FALSE(d.setObject(Value::object(std::make_shared<int>(1), "Int"), "object"));
    EXPECT_FALSE(d.setObject(Value(Dictionary{{"inner", Value(INFINITY)}}), "nested"));
    EXPECT_FALSE(d.setObject(Value("\xff"), "not UTF-8"));
    EXPECT_FALSE(d.setBool(true, "key not UTF-8 \xc3"));
    for (const char* key : {"nan", "bytes", "object", "nested", "not UTF-8", "key not UTF-8 \xc3"})
        EXPECT_FALSE(d.objectForKey(key)) << key;
    EXPECT_TRUE(d.synchronize());
}

TEST(UserDefaults, RegisteredDefaultsAnswerButAreNotWritten) {
    TemporaryDirectory dir;
    const std::string file = dir.file("defaults.json");
    {
        UserDefaults d(file);
        d.registerDefaults({{"k_Preview_Quality", Value("High")}, {"flag", Value(true)}});
        EXPECT_EQ(d.stringForKey("k_Preview_Quality"), "High");
        d.setObject(Value("Low"), "k_Preview_Quality");
        EXPECT_EQ(d.stringForKey("k_Preview_Quality"), "Low");
        d.removeObjectForKey("k_Preview_Quality");
        EXPECT_EQ(d.stringForKey("k_Preview_Quality"), "High");
        d.setInteger(1, "kept");
        EXPECT_TRUE(d.synchronize());
    }
    UserDefaults d(file);
    EXPECT_FALSE(d.objectForKey("flag"));
    EXPECT_FALSE(d.objectForKey("k_Preview_Quality"));
    EXPECT_EQ(d.integerForKey("kept"), 1);
}

TEST(UserDefaults, ChangesAreWrittenWithoutSynchronize) {
    TemporaryDirectory dir;
    const fs::path file = dir.file("defaults.json");
    UserDefaults d(file.string(), 0.01);
    d.setBool(true, "written later");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (contents(file).find("written later") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(UserDefaults(file.string()).boolForKey("written later"));
}

TEST(UserDefaults, DestructionWritesPendingChanges) {
    TemporaryDirectory dir;
    const std::string file = dir.file("defaults.json");
    {
        UserDefaults d(file, 3600);
        d.setInteger(7, "pending");
    }
    EXPECT_EQ(UserDefaults(file).integerForKey("pending"), 7);
}

TEST(UserDefaults, AnUnusableFileIsKeptAsideAndTheStoreStartsEmpty) {
    const char* damaged[] = {"{\"a\": 1, \"b", "[1, 2, 3]", "null", "\x89PNG\r\n", "{\"a\": \"\xff\xfe\"}"};
    for (const char* text : damaged) {
        TemporaryDirectory dir;
        const fs::path file = dir.file("defaults.json");
        std::ofstream(file) << text;
        {
            UserDefaults d(file.string());
            EXPECT_FALSE(d.objectForKey("a")) << text;
            d.setInteger(1, "fresh");
            EXPECT_TRUE(d.synchronize()) << text;
        }
        std::vector<fs::path> aside = setAside(dir);
        ASSERT_EQ(aside.size(), 1u) << text;
        EXPECT_EQ(contents(aside[0]), text);
        EXPECT_EQ(UserDefaults(file.string()).integerForKey("fresh"), 1) << text;
    }
}

TEST(UserDefaults, WorkersReadAndWriteAtOnce) {
    TemporaryDirectory dir;
    const std::string file = dir.file("defaults.json");
    {
        UserDefaults d(file, 0.001);
        std::vector<std::thread> workers;
        for (int w = 0; w < 4; ++w)
            workers.emplace_back([&d, w] {
                for (int i = 0; i < 200; ++i) {
                    std::string key = "w" + std::to_string(w) + "_" + std::to_string(i);
                    d.setInteger(i, key);
                    EXPECT_EQ(d.integerForKey(key), i);
                }
            });
        for (auto& t : workers)
            t.join();
    }
    UserDefaults d(file);
    for (int w = 0; w < 4; ++w)
        for (int i = 0; i < 200; i += 37)
            EXPECT_EQ(d.integerForKey("w" + std::to_string(w) + "_" + std::to_string(i)), i);
}

TEST(UserDefaults, StandardStoreLivesInTheConfigurationFolder) {
    TemporaryDirectory dir;
    ScopedEnvironment environment{{"OPALENE_CONFIG_DIR", dir.path().string()}};
    UserDefaults& d = UserDefaults::standardUserDefaults();
    EXPECT_EQ(&d, &UserDefaults::standardUserDefaults());
    d.setBool(true, "Sketch_fav");
    EXPECT_TRUE(d.synchronize());
    EXPECT_TRUE(UserDefaults(dir.file("defaults.json")).boolForKey("Sketch_fav"));
}
