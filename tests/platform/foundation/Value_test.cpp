#include "platform/foundation/Value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using foundation::Array;
using foundation::Bytes;
using foundation::Dictionary;
using foundation::Value;

TEST(Value, ScalarGettersFollowTheNumberFamily) {
    struct Case {
        const char* label;
        Value value;
        std::optional<bool> b;
        std::optional<std::int64_t> i;
        std::optional<double> d;
        std::optional<std::uint64_t> u;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"null", Value(), {}, {}, {}, {}},
        {"true", Value(true), true, 1, 1.0, 1},
        {"integer", Value(-5), true, -5, -5.0, 0},
        {"unsigned", Value(7u), true, 7, 7.0, 7},
        {"real truncates", Value(-2.75), true, -2, -2.75, 0},
        {"float widened", Value(0.1f), true, 0, static_cast<double>(0.1f), 0},
        {"zero real", Value(0.0), false, 0, 0.0, 0},
        {"real past int64", Value(1e19), true, {}, 1e19, 10000000000000000000ull},
        {"nan", Value(nan), true, {}, {}, 0}, // a real NaN still reads as a real
        {"string", Value("12"), {}, {}, {}, {}},
        {"array", Value(Array{Value(1)}), {}, {}, {}, {}},
        {"uint64 max", Value(UINT64_MAX), true, {}, 18446744073709551616.0, UINT64_MAX},
        {"real past uint64", Value(1e20), true, {}, 1e20, UINT64_MAX},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.value.getBool(), c.b) << c.label;
        EXPECT_EQ(c.value.getInt64(), c.i) << c.label;
        EXPECT_EQ(c.value.getUInt64(), c.u) << c.label;
        if (c.d) {
            EXPECT_EQ(c.value.getDouble(), c.d) << c.label;
        } else if (c.value.type() != Value::Type::Real) {
            EXPECT_EQ(c.value.getDouble(), std::nullopt) << c.label;
        }
    }
}

TEST(Value, CompoundGettersReportWrongType) {
    Value s("text"), b(Bytes{1, 2}), a(Array{Value(1), Value("x")}), d(Dictionary{{"key", Value(2.5)}});
    EXPECT_EQ(*s.getString(), "text");
    EXPECT_EQ(s.getArray(), nullptr);
    EXPECT_EQ(s.getDictionary(), nullptr);
    EXPECT_EQ(*b.getBytes(), (Bytes{1, 2}));
    EXPECT_EQ(b.getString(), nullptr);
    EXPECT_EQ(a.getArray()->size(), 2u);
    EXPECT_EQ(a.find("key"), nullptr);
    ASSERT_NE(d.find("key"), nullptr);
    EXPECT_EQ(d.find("key")->getDouble(), 2.5);
    EXPECT_EQ(d.find("missing"), nullptr);
    EXPECT_EQ(d.getBytes(), nullptr);
}

TEST(Value, ObjectsAreFoundByTagAndComparedByIdentity) {
    struct Image {
        int width;
    };
    auto image = std::make_shared<const Image>(Image{3});
    Value v = Value::object(image, "Image");
    EXPECT_EQ(image.use_count(), 2);
    ASSERT_NE(v.getObject<const Image>("Image"), nullptr);
    EXPECT_EQ(v.getObject<const Image>("Image")->width, 3);
    EXPECT_EQ(v.getObject<const Image>("Preset"), nullptr);
    EXPECT_EQ(v.identity(), image.get());
    EXPECT_EQ(Value(3).identity(), nullptr);

    auto twin = std::make_shared<const Image>(Image{3});
    EXPECT_EQ(v, Value::object(image, "Image"));
    EXPECT_NE(v, Value::object(twin, "Image"));
}

TEST(Value, ReferenceDoesNotOwn) {
    auto owned = std::make_shared<int>(1);
    Value v = Value::reference(owned.get(), "Int");
    EXPECT_EQ(owned.use_count(), 1);
    EXPECT_EQ(v.identity(), owned.get());
}

TEST(Value, EqualityIsDeepAndTyped) {
    Value a(Dictionary{{"list", Value(Array{Value(1), Value("two")})}});
    Value b(Dictionary{{"list", Value(Array{Value(1), Value("two")})}});
    EXPECT_EQ(a, b);
    EXPECT_NE(Value(1), Value(1.0));
    EXPECT_NE(Value(true), Value(1));
}
