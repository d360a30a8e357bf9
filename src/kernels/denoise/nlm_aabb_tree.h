#pragma once
// Axis-aligned box tree over patch vectors, for finding similar patches in non-local means.
// A pixel's vector is the patch around it without its centre, each value the mean of the
// three planes there (0 outside the image). Leaves hold at most 100 points unless their
// points cannot be told apart.
#include <memory>
#include <utility>
#include <vector>

class NLMAABBTree;

class NLMAABBTreeNode {
  public:
    explicit NLMAABBTreeNode(NLMAABBTree& tree);
    ~NLMAABBTreeNode();
    NLMAABBTreeNode(const NLMAABBTreeNode&) = delete;
    NLMAABBTreeNode& operator=(const NLMAABBTreeNode&) = delete;

    // Widens the box to take the point's vector and appends the point.
    void add_point(int x, int y);
    // Splits at the middle of the widest dimension until the leaves are small enough.
    void split();

    const std::vector<std::pair<int, int>>& points() const { return m_points; }
    const std::vector<float>& lower() const { return m_lower; }
    const std::vector<float>& upper() const { return m_upper; }
    const NLMAABBTreeNode* child(int i) const { return m_children[i].get(); }

    // Nodes alive in the process.
    static long living() { return s_living; }

  private:
    NLMAABBTree& m_tree;
    std::vector<float> m_lower, m_upper;
    std::vector<std::pair<int, int>> m_points;
    std::unique_ptr<NLMAABBTreeNode> m_children[2];
    static long s_living;
};

class NLMAABBTree {
  public:
    // The planes are width x height floats, kept by pointer: they must outlive the tree.
    NLMAABBTree(const float* red, const float* green, const float* blue, int width, int height,
                int patch_radius);

    // Replaces the root with a new node over every pixel, row by row, and splits it.
    void build();

    int dimensions() const { return (2 * m_patch_radius + 1) * (2 * m_patch_radius + 1) - 1; }
    // Mean of the three planes at (x, y); 0 outside the image.
    float get_data_value(int x, int y) const;
    // Writes the vector of pixel (x, y): dimensions() values, patch rows top to bottom.
    void get_point(float* buffer, int x, int y) const;
    // Value of one dimension of pixel (x, y)'s vector.
    float get_point_value(int x, int y, int dimension) const;

    void add_leaf(const NLMAABBTreeNode* leaf) { m_leaves.push_back(leaf); }
    const std::vector<const NLMAABBTreeNode*>& leaves() const { return m_leaves; }
    const NLMAABBTreeNode* root() const { return m_root.get(); }

  private:
    const float* m_red;
    const float* m_green;
    const float* m_blue;
    int m_width, m_height, m_patch_radius;
    std::unique_ptr<NLMAABBTreeNode> m_root;
    std::vector<const NLMAABBTreeNode*> m_leaves;
};
