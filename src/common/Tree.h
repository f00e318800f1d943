#pragma once
// A small generic ordered tree: top-level nodes in a sibling chain, each node with an ordered
// chain of children and one untyped data pointer, released through the callback given at
// construction when the node is deleted.
//
// Callers hold nodes as opaque handles (TreeHandle) and walk the tree by moving a handle from
// node to node: operations that move a handle take it by reference (nodeOut), read-only ones by
// value (node).
#include <cstdint>

struct TreeNode {
    TreeNode* Parent; // nullptr for a top-level node
    TreeNode* Prev;   // nullptr for the first of its chain
    TreeNode* Next;   // nullptr for the last
    TreeNode* Child;  // first child, nullptr when none
    void* Data;       // the caller's data, released through the tree's callback
};

using TreeHandle = void*;

// Called once for every deleted node with its Data (also when that is nullptr).
using TreeFreeData = void (*)(void* data);

class Tree {
public:
    constexpr explicit Tree(TreeFreeData freeData) : m_FreeData(freeData) {}
    ~Tree();
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;

    // Deletes every node; the tree ends empty.
    void Clear();

    // Makes the first top-level node of an empty tree (asserts on a non-empty tree and returns
    // nullptr).
    TreeHandle CreateRoot();
    // Makes the first child of nodeOut, which must have none, and moves nodeOut to it.
    void AddChild(TreeHandle& nodeOut);
    // Makes the next sibling of nodeOut, which must be the last of its chain, and moves nodeOut
    // to it.
    void AddNext(TreeHandle& nodeOut);
    // Makes a node in front of nodeOut, fully linked, and moves nodeOut to it. In front of the
    // first top-level node the new node becomes the first top-level node.
    void InsertBefore(TreeHandle& nodeOut);

    // Unlinks the node and deletes it with its subtree (children first). Deleting the first
    // top-level node makes its next sibling the first.
    void Delete(TreeHandle node);

    // Move nodeOut along one link and return true; false (nodeOut kept) when the link is empty.
    bool ToParent(TreeHandle& nodeOut) const;
    bool ToPrev(TreeHandle& nodeOut) const;
    bool ToNext(TreeHandle& nodeOut) const;
    bool ToChild(TreeHandle& nodeOut) const;

    // Whether one link of the node is set.
    bool HasParent(TreeHandle node) const;
    bool HasPrev(TreeHandle node) const;
    bool HasNext(TreeHandle node) const;
    bool HasChild(TreeHandle node) const;

    // nodeOut = the first top-level node; true when the tree is not empty.
    bool GetRoot(TreeHandle& nodeOut) const;
    bool HasRoot() const { return m_Root != nullptr; }

    // The node's data pointer; SetData does not release the old one.
    void* GetData(TreeHandle node) const;
    void SetData(TreeHandle node, void* data);

    uint32_t NumNodes() const { return m_NumNodes; }

protected:
    TreeNode* NewNode();
    void InitNode(TreeNode* node);
    void DeleteSubtree(TreeNode* node);

    TreeNode* m_Root = nullptr;
    uint32_t m_NumNodes = 0;
    TreeFreeData m_FreeData;
};
