#include "engine/PostProcessParameter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(PostProcessParameter, ValueIsTheDefaultUntilSetAndIsNeverClamped) {
    PostProcessParameter p("Grain", 0.0, 1.0, 0.28);
    EXPECT_EQ(p.value(), 0.28);
    EXPECT_EQ(p.get_inverted_value(), static_cast<float>(1.0 - 0.28));

    struct Case {
        double set;
        double value;
        float inverted;
    };
    const Case cases[] = {
        {0.5, 0.5, 0.5f},
        {1.2, 1.2, static_cast<float>(1.0 - 1.2)}, // outside the range: kept as given
        {0.28, 0.28, static_cast<float>(1.0 - 0.28)},
    };
    for (const Case& c : cases) {
        p.setValue(c.set);
        EXPECT_EQ(p.value(), c.value) << c.set;
        EXPECT_EQ(p.get_inverted_value(), c.inverted) << c.set;
    }
}

TEST(PostProcessParameter, InvertedValueMirrorsWithinTheRange) {
    PostProcessParameter p("Size", 2.0, 10.0, 4.0);
    EXPECT_EQ(p.get_inverted_value(), 8.0f);
    p.setValue(9.0);
    EXPECT_EQ(p.get_inverted_value(), 3.0f);
    EXPECT_EQ(p.min_value(), 2.0);
    EXPECT_EQ(p.max_value(), 10.0);
    EXPECT_EQ(p.default_value(), 4.0);
}

TEST(PostProcessParameter, DescriptionListsNameBoundsAndStoredValue) {
    PostProcessParameter p("Grain", 0.0, 1.0, 0.28);
    EXPECT_EQ(p.description(),
              "\nname - Grain\nmin - 0.000000\nmax - 1.000000\ndefault - 0.280000\nvalue -0.280000\n");
    p.setName("Körnung & Rauschen");
    p.setValue(-3.5);
    EXPECT_EQ(p.description(), "\nname - Körnung & Rauschen\nmin - 0.000000\nmax - 1.000000\ndefault - "
                               "0.280000\nvalue --3.500000\n");
}

// The editor sets values while a run reads them. ThreadSanitizer reports a plain field here as a
// race; on any build a reader must only ever see set values, never the default once it has seen
// a change.
TEST(PostProcessParameter, ReadersOnAnotherThreadSeeOnlySetValues) {
    PostProcessParameter p("Amount", 0.0, 1.0, 0.5);
    std::atomic<bool> done{false};
    int wrong = 0;
    std::thread reader([&] {
        bool sawChange = false;
        while (!done.load()) {
            const double v = p.value();
            if (v == 0.75 || v == 1.0)
                sawChange = true;
            else if (v != 0.5 || sawChange)
                ++wrong;
        }
    });
    for (int i = 0; i < 100000; ++i)
        p.setValue(i % 2 ? 1.0 : 0.75);
    done = true;
    reader.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(p.value(), 1.0);
}
