#include "common/Tree.h"

#include "common/Assert.h"

namespace {

TreeNode* AsNode(TreeHandle h) {
    return static_cast<TreeNode*>(h);
}

// The adding operations need a tree that is not empty and a node to add at.
bool CanAddAt(const TreeNode* i_Root, TreeHandle i_Node) {
    return Q3V_ASSERT_TEXT(i_Root != nullptr, "m_Root != NULL") &&
           Q3V_ASSERT_TEXT((TreeNode*)i_Node != nullptr, "(TreeNode*)io_Node != NULL");
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
        if (m_Root)
            m_Root->Prev = nullptr;
        node->Next = nullptr;
        DeleteSubtree(node);
    }
}

void Tree::InitNode(TreeNode* i_Node) {
    if (!Q3V_ASSERT_TEXT(i_Node != nullptr, "i_Node != NULL"))
        return;
    i_Node->Parent = nullptr;
    i_Node->Prev = nullptr;
    i_Node->Next = nullptr;
    i_Node->Child = nullptr;
    i_Node->Data = nullptr;
}

TreeNode* Tree::NewNode() {
    auto* node = new TreeNode;
    InitNode(node);
    ++m_NumNodes;
    return node;
}

TreeHandle Tree::CreateRoot() {
    // A second root would be neither linked nor deleted: refuse it.
    if (!Q3V_ASSERT_TEXT(m_Root == nullptr, "m_Root == NULL"))
        return nullptr;
    m_Root = NewNode();
    return m_Root;
}

void Tree::AddChild(TreeHandle& io_Node) {
    if (!CanAddAt(m_Root, io_Node))
        return;
    TreeNode* parent = AsNode(io_Node);
    // An existing child chain would be cut off: refuse it.
    if (!Q3V_ASSERT_TEXT(parent->Child == nullptr, "parent->Child == NULL"))
        return;
    TreeNode* node = NewNode();
    node->Parent = parent;
    parent->Child = node;
    io_Node = node;
}

void Tree::AddNext(TreeHandle& io_Node) {
    if (!CanAddAt(m_Root, io_Node))
        return;
    TreeNode* prev = AsNode(io_Node);
    // An existing Next would be cut off: refuse it.
    if (!Q3V_ASSERT_TEXT(prev->Next == nullptr, "prev->Next == NULL"))
        return;
    TreeNode* node = NewNode();
    node->Prev = prev;
    node->Parent = prev->Parent;
    prev->Next = node;
    io_Node = node;
}

void Tree::InsertBefore(TreeHandle& io_Node) {
    if (!CanAddAt(m_Root, io_Node))
        return;
    TreeNode* next = AsNode(io_Node);
    TreeNode* node = NewNode();
    node->Parent = next->Parent;
    node->Prev = next->Prev;
    node->Next = next;
    if (next->Prev)
        next->Prev->Next = node;
    else if (next->Parent)
        next->Parent->Child = node;
    else
        m_Root = node; // in front of the first top-level node
    next->Prev = node;
    io_Node = node;
}

void Tree::Delete(TreeHandle node) {
    TreeNode* n = AsNode(node);
    if (!Q3V_ASSERT_TEXT((TreeNode*)node != nullptr, "(TreeNode*)node != NULL"))
        return;
    if (n->Prev)
        n->Prev->Next = n->Next;
    else if (n->Parent)
        n->Parent->Child = n->Next;
    else if (m_Root == n)
        m_Root = n->Next; // the first top-level node: the next one becomes the first
    if (n->Next)
        n->Next->Prev = n->Prev;
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

#define TREE_STEP(Name, Link)                                                                      \
    bool Tree::To##Name(TreeHandle& io_Node) const {                                               \
        if (!Q3V_ASSERT_TEXT((TreeNode*)io_Node != nullptr, "(TreeNode*)io_Node != NULL"))         \
            return false;                                                                          \
        TreeNode* target = AsNode(io_Node)->Link;                                                  \
        if (!target)                                                                               \
            return false;                                                                          \
        io_Node = target;                                                                          \
        return true;                                                                               \
    }                                                                                              \
    bool Tree::Has##Name(TreeHandle io_Node) const {                                               \
        if (!Q3V_ASSERT_TEXT((TreeNode*)io_Node != nullptr, "(TreeNode*)io_Node != NULL"))         \
            return false;                                                                          \
        return AsNode(io_Node)->Link != nullptr;                                                   \
    }

TREE_STEP(Parent, Parent)
TREE_STEP(Prev, Prev)
TREE_STEP(Next, Next)
TREE_STEP(Child, Child)

#undef TREE_STEP

bool Tree::GetRoot(TreeHandle& io_Node) const {
    io_Node = m_Root;
    return m_Root != nullptr;
}

void* Tree::GetData(TreeHandle i_Node) const {
    if (!Q3V_ASSERT_TEXT((TreeNode*)i_Node != nullptr, "(TreeNode*)i_Node != NULL"))
        return nullptr;
    return AsNode(i_Node)->Data;
}

void Tree::SetData(TreeHandle i_Node, void* data) {
    if (!Q3V_ASSERT_TEXT((TreeNode*)i_Node != nullptr, "(TreeNode*)i_Node != NULL"))
        return;
    AsNode(i_Node)->Data = data;
}
