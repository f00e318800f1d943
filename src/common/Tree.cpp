#include "common/Tree.h"

#include "common/Assert.h"

namespace {

TreeNode* AsNode(TreeHandle h) {
    return static_cast<TreeNode*>(h);
}

// The adding operations need a tree that is not empty and a node to add at.
bool CanAddAt(const TreeNode* root, TreeHandle node) {
    return Q3V_ASSERT_TEXT(root != nullptr, "m_Root != NULL") &&
           Q3V_ASSERT_TEXT((TreeNode*)node != nullptr, "(TreeNode*)io_Node != NULL");
}

} // namespace

Tree::~Tree() {
    Clear();
    Q3V_ASSERT(m_NumNodes == 0);
}

void Tree::Clear() {
    while (m_Root) {
        TreeNode* node = m_Root;
        m_Root = node->Next;
        if (m_Root) {
            m_Root->Prev = nullptr;
        }
        node->Next = nullptr;
        DeleteSubtree(node);
    }
}

void Tree::InitNode(TreeNode* node) {
    if (!Q3V_ASSERT_TEXT(node != nullptr, "i_Node != NULL")) {
        return;
    }
    node->Parent = nullptr;
    node->Prev = nullptr;
    node->Next = nullptr;
    node->Child = nullptr;
    node->Data = nullptr;
}

TreeNode* Tree::NewNode() {
    auto* node = new TreeNode;
    InitNode(node);
    ++m_NumNodes;
    return node;
}

TreeHandle Tree::CreateRoot() {
    // A second root would be neither linked nor deleted: refuse it.
    if (!Q3V_ASSERT_TEXT(m_Root == nullptr, "m_Root == NULL")) {
        return nullptr;
    }
    m_Root = NewNode();
    return m_Root;
}

void Tree::AddChild(TreeHandle& nodeOut) {
    if (!CanAddAt(m_Root, nodeOut)) {
        return;
    }
    TreeNode* parent = AsNode(nodeOut);
    // An existing child chain would be cut off: refuse it.
    if (!Q3V_ASSERT_TEXT(parent->Child == nullptr, "parent->Child == NULL")) {
        return;
    }
    TreeNode* node = NewNode();
    node->Parent = parent;
    parent->Child = node;
    nodeOut = node;
}

void Tree::AddNext(TreeHandle& nodeOut) {
    if (!CanAddAt(m_Root, nodeOut)) {
        return;
    }
    TreeNode* prev = AsNode(nodeOut);
    // An existing Next would be cut off: refuse it.
    if (!Q3V_ASSERT_TEXT(prev->Next == nullptr, "prev->Next == NULL")) {
        return;
    }
    TreeNode* node = NewNode();
    node->Prev = prev;
    node->Parent = prev->Parent;
    prev->Next = node;
    nodeOut = node;
}

void Tree::InsertBefore(TreeHandle& nodeOut) {
    if (!CanAddAt(m_Root, nodeOut)) {
        return;
    }
    TreeNode* next = AsNode(nodeOut);
    TreeNode* node = NewNode();
    node->Parent = next->Parent;
    node->Prev = next->Prev;
    node->Next = next;
    if (next->Prev) {
        next->Prev->Next = node;
    } else if (next->Parent) {
        next->Parent->Child = node;
    } else {
        m_Root = node; // in front of the first top-level node
    }
    next->Prev = node;
    nodeOut = node;
}

void Tree::Delete(TreeHandle node) {
    TreeNode* n = AsNode(node);
    if (!Q3V_ASSERT_TEXT((TreeNode*)node != nullptr, "(TreeNode*)node != NULL")) {
        return;
    }
    if (n->Prev) {
        n->Prev->Next = n->Next;
    } else if (n->Parent) {
        n->Parent->Child = n->Next;
    } else if (m_Root == n) {
        m_Root = n->Next; // the first top-level node: the next one becomes the first
    }
    if (n->Next) {
        n->Next->Prev = n->Prev;
    }
    n->Prev = nullptr;
    n->Next = nullptr;
    DeleteSubtree(n);
}

// Deletes an unlinked node: its children one by one from the first, each with its subtree,
// then the node itself.
void Tree::DeleteSubtree(TreeNode* node) {
    while (TreeNode* child = node->Child) {
        node->Child = child->Next;
        DeleteSubtree(child);
    }
    m_FreeData(node->Data);
    delete node;
    --m_NumNodes;
}

#define Q3V_TREE_STEP(Name, Link)                                                                  \
    bool Tree::To##Name(TreeHandle& nodeOut) const {                                               \
        if (!Q3V_ASSERT_TEXT((TreeNode*)nodeOut != nullptr, "(TreeNode*)io_Node != NULL"))         \
            return false;                                                                          \
        TreeNode* target = AsNode(nodeOut)->Link;                                                  \
        if (!target)                                                                               \
            return false;                                                                          \
        nodeOut = target;                                                                          \
        return true;                                                                               \
    }                                                                                              \
    bool Tree::Has##Name(TreeHandle node) const {                                                  \
        if (!Q3V_ASSERT_TEXT((TreeNode*)node != nullptr, "(TreeNode*)io_Node != NULL"))            \
            return false;                                                                          \
        return AsNode(node)->Link != nullptr;                                                      \
    }

Q3V_TREE_STEP(Parent, Parent)
Q3V_TREE_STEP(Prev, Prev)
Q3V_TREE_STEP(Next, Next)
Q3V_TREE_STEP(Child, Child)

#undef Q3V_TREE_STEP

bool Tree::GetRoot(TreeHandle& nodeOut) const {
    nodeOut = m_Root;
    return m_Root != nullptr;
}

void* Tree::GetData(TreeHandle node) const {
    if (!Q3V_ASSERT_TEXT((TreeNode*)node != nullptr, "(TreeNode*)i_Node != NULL")) {
        return nullptr;
    }
    return AsNode(node)->Data;
}

void Tree::SetData(TreeHandle node, void* data) {
    if (!Q3V_ASSERT_TEXT((TreeNode*)node != nullptr, "(TreeNode*)i_Node != NULL")) {
        return;
    }
    AsNode(node)->Data = data;
}
