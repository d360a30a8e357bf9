#include "kernels/denoise/nlm_aabb_tree.h"

namespace {

constexpr size_t kLeafPoints = 100;
constexpr float kSmallestSpan = 1.1754944e-38f;

} // namespace

long NLMAABBTreeNode::s_living = 0;

NLMAABBTreeNode::NLMAABBTreeNode(NLMAABBTree& tree)
    : m_tree(tree), m_lower(size_t(tree.dimensions()), 1e7f), m_upper(size_t(tree.dimensions()), -1e7f) {
    ++s_living;
}

// Children are taken apart through a work list so that a deep tree cannot exhaust the stack.
NLMAABBTreeNode::~NLMAABBTreeNode() {
    std::vector<std::unique_ptr<NLMAABBTreeNode>> doomed;
    for (auto& c : m_children)
        if (c) doomed.push_back(std::move(c));
    while (!doomed.empty()) {
        std::unique_ptr<NLMAABBTreeNode> node = std::move(doomed.back());
        doomed.pop_back();
        for (auto& c : node->m_children)
            if (c) doomed.push_back(std::move(c));
    }
    --s_living;
}

void NLMAABBTreeNode::add_point(int x, int y) {
    thread_local std::vector<float> v;
    v.resize(m_lower.size());
    m_tree.get_point(v.data(), x, y);
    for (size_t d = 0; d < v.size(); ++d) {
        if (v[d] < m_lower[d]) m_lower[d] = v[d];
        if (v[d] > m_upper[d]) m_upper[d] = v[d];
    }
    m_points.emplace_back(x, y);
}

void NLMAABBTreeNode::split() {
    // Work list instead of recursion: a skewed tree may be as deep as it has points.
    std::vector<NLMAABBTreeNode*> pending{this};
    while (!pending.empty()) {
        NLMAABBTreeNode* node = pending.back();
        pending.pop_back();

        int widest = 0;
        float span = -1.0f;
        for (size_t d = 0; d < node->m_lower.size(); ++d) {
            const float s = node->m_upper[d] - node->m_lower[d];
            if (s >= span) {
                span = s;
                widest = int(d);
            }
        }
        if (node->m_points.size() <= kLeafPoints || span <= kSmallestSpan) {
            node->m_tree.add_leaf(node);
            continue;
        }

        const float middle = node->m_lower[size_t(widest)] + span / 2;
        size_t below = 0;
        for (const auto& [x, y] : node->m_points)
            if (node->m_tree.get_point_value(x, y, widest) < middle) ++below;
        // When rounding puts the middle on an end of the span every point falls on one
        // side, and splitting would repeat for ever: such points stay together.
        if (below == 0 || below == node->m_points.size()) {
            node->m_tree.add_leaf(node);
            continue;
        }

        for (auto& c : node->m_children)
            c = std::make_unique<NLMAABBTreeNode>(node->m_tree);
        for (const auto& [x, y] : node->m_points)
            node->m_children[node->m_tree.get_point_value(x, y, widest) < middle ? 0 : 1]->add_point(x, y);
        node->m_points.clear();
        node->m_points.shrink_to_fit();
        pending.push_back(node->m_children[1].get());
        pending.push_back(node->m_children[0].get());
    }
}

NLMAABBTree::NLMAABBTree(const float* red, const float* green, const float* blue, int width, int height,
                         int patch_radius)
    : m_red(red), m_green(green), m_blue(blue), m_width(width), m_height(height),
      m_patch_radius(patch_radius) {}

void NLMAABBTree::build() {
    m_leaves.clear();
    m_root = std::make_unique<NLMAABBTreeNode>(*this);
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            m_root->add_point(x, y);
    m_root->split();
}

float NLMAABBTree::get_data_value(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0.0f;
    const size_t i = size_t(y) * size_t(m_width) + size_t(x);
    return (m_red[i] + m_green[i] + m_blue[i]) / 3.0f;
}

void NLMAABBTree::get_point(float* buffer, int x, int y) const {
    const int r = m_patch_radius;
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
            if (dx != 0 || dy != 0) *buffer++ = get_data_value(x + dx, y + dy);
}

float NLMAABBTree::get_point_value(int x, int y, int dimension) const {
    const int side = 2 * m_patch_radius + 1;
    const int centre = side * side / 2;
    const int k = dimension < centre ? dimension : dimension + 1;
    return get_data_value(x + k % side - m_patch_radius, y + k / side - m_patch_radius);
}
