#include "platform/foundation/PropertyList.h"

#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

using foundation::Array;
using foundation::Dictionary;
using foundation::PropertyList;
using foundation::Value;

TEST(PropertyList, WritesAndReadsAValueTree) {
    TemporaryDirectory dir;
    const Value info(
        Array{Value("User Presets"),
              Value(Array{Value(Dictionary{{"id", Value("E621E1F8")}, {"name", Value("Preset 1")}}),
                          Value(Dictionary{{"id", Value("0C247A3E")}, {"name", Value("B&W / warm")}})}),
              Value(1.5), Value(-3), Value(true), Value()});
    std::string error;
    ASSERT_TRUE(PropertyList::write(info, dir.file("info.json"), &error)) << error;
    EXPECT_EQ(PropertyList::read(dir.file("info.json"), &error), info);
}

TEST(PropertyList, RefusesWhatPlainJsonCannotCarry) {
    TemporaryDirectory dir;
    const std::string file = dir.file("info.json");
    ASSERT_TRUE(PropertyList::write(Value("kept"), file));
    const Value refused[] = {Value(foundation::Bytes{1}), Value::object(std::make_shared<int>(1), "Int"),
                             Value(Array{Value(std::nan(""))}), Value(std::string("\xff\xfe"))};
    for (const Value& v : refused) {
        std::string error;
        EXPECT_FALSE(PropertyList::write(v, file, &error));
        EXPECT_FALSE(error.empty());
    }
    EXPECT_EQ(PropertyList::read(file), Value("kept"));

    std::ofstream(file) << "[1, 2";
    std::string error;
    EXPECT_FALSE(PropertyList::read(file, &error));
    EXPECT_FALSE(error.empty());
}
