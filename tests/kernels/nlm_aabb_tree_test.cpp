#include "kernels/denoise/nlm_aabb_tree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <vector>

namespace {

struct Planes {
    int w, h;
    std::vector<float> r, g, b;
    Planes(int w, int h) : w(w), h(h), r(size_t(w) * h), g(size_t(w) * h), b(size_t(w) * h) {}
};

// Every pixel lies in exactly one leaf, inside that leaf's box; only leaves hold points;
// a leaf with more than 100 points cannot be split further.
void check_tree(const NLMAABBTree& tree, const Planes& p) {
    std::map<std::pair<int, int>, int> seen;
    std::vector<float> v(size_t(tree.dimensions()));
    for (const NLMAABBTreeNode* leaf : tree.leaves()) {
        EXPECT_EQ(leaf->child(0), nullptr);
        float widest = 0;
        for (size_t d = 0; d < v.size(); ++d)
            widest = std::max(widest, leaf->upper()[d] - leaf->lower()[d]);
        if (leaf->points().size() > 100) {
            // Only points that the middle of their widest span cannot separate stay together.
            EXPECT_LE(widest, 1e-3f) << leaf->points().size() << " points, span " << widest;
        }
        for (const auto& [x, y] : leaf->points()) {
            ++seen[{x, y}];
            tree.get_point(v.data(), x, y);
            for (size_t d = 0; d < v.size(); ++d) {
                EXPECT_GE(v[d], leaf->lower()[d]);
                EXPECT_LE(v[d], leaf->upper()[d]);
            }
        }
    }
    EXPECT_EQ(seen.size(), size_t(p.w) * p.h);
    for (const auto& [pt, n] : seen)
        EXPECT_EQ(n, 1) << pt.first << "," << pt.second;
}

TEST(NLMAABBTree, EveryPointInExactlyOneSmallLeaf) {
    Planes p(37, 23);
    std::mt19937 rng(4);
    for (size_t i = 0; i < p.r.size(); ++i) {
        p.r[i] = float(rng() % 256);
        p.g[i] = float(rng() % 256);
        p.b[i] = float(rng() % 256);
    }
    {
        NLMAABBTree tree(p.r.data(), p.g.data(), p.b.data(), p.w, p.h, 1);
        EXPECT_EQ(tree.dimensions(), 8);
        tree.build();
        EXPECT_GT(tree.leaves().size(), size_t(p.w) * p.h / 100);
        check_tree(tree, p);
        tree.build(); // rebuilding starts over
        check_tree(tree, p);
        EXPECT_GT(NLMAABBTreeNode::living(), 0);
    }
    EXPECT_EQ(NLMAABBTreeNode::living(), 0);
}

TEST(NLMAABBTree, FlatAndNearlyFlatImagesEndInLeaves) {
    // 1000 and the next float up: the middle of that span rounds onto one of its ends.
    const float a = 1000.0f, b = std::nextafter(a, 2000.0f);
    ASSERT_EQ(a + (b - a) / 2, a);
    for (float second : {a, b}) {
        Planes p(16, 16);
        for (int i = 0; i < p.w * p.h; ++i)
            p.r[i] = p.g[i] = p.b[i] = (i % 3 == 0) ? second : a;
        NLMAABBTree tree(p.r.data(), p.g.data(), p.b.data(), p.w, p.h, 0);
        EXPECT_EQ(tree.dimensions(), 0);
        tree.build();
        check_tree(tree, p);
        NLMAABBTree patches(p.r.data(), p.g.data(), p.b.data(), p.w, p.h, 1);
        patches.build();
        check_tree(patches, p);
    }
}

TEST(NLMAABBTree, PatchVectorsLeaveOutTheCentreAndReadZeroOutside) {
    Planes p(3, 2);
    for (int i = 0; i < 6; ++i) {
        p.r[i] = float(3 * i);
        p.g[i] = float(3 * i + 3);
        p.b[i] = float(3 * i + 6); // mean 3i + 3
    }
    NLMAABBTree tree(p.r.data(), p.g.data(), p.b.data(), p.w, p.h, 1);
    EXPECT_EQ(tree.get_data_value(2, 1), 18.0f);
    EXPECT_EQ(tree.get_data_value(3, 0), 0.0f);
    EXPECT_EQ(tree.get_data_value(0, -1), 0.0f);
    std::vector<float> v(8);
    tree.get_point(v.data(), 0, 0);
    EXPECT_EQ(v, (std::vector<float>{0, 0, 0, 0, 6, 0, 12, 15}));
    for (int d = 0; d < 8; ++d)
        EXPECT_EQ(tree.get_point_value(0, 0, d), v[size_t(d)]);
}

} // namespace
