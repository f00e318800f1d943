#include "common/Tree.h"

#include "support/AssertRecorder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Node data are small numbers; the release callback records them in order.
std::vector<intptr_t>& Freed() {
    static std::vector<intptr_t> s_Freed;
    return s_Freed;
}
void RecordFree(void* data) {
    Freed().push_back(reinterpret_cast<intptr_t>(data));
}
void* Tag(intptr_t n) {
    return reinterpret_cast<void*>(n);
}

class TreeTest : public ::testing::Test {
protected:
    void SetUp() override { Freed().clear(); }

    // Top-level nodes 1, 2, 3; node 2 has children 21, 22, 23.
    void BuildSample() {
        TreeHandle h = tree.CreateRoot();
        tree.SetData(h, Tag(1));
        tree.AddNext(h);
        tree.SetData(h, Tag(2));
        second = h;
        tree.AddChild(h);
        tree.SetData(h, Tag(21));
        firstChild = h;
        tree.AddNext(h);
        tree.SetData(h, Tag(22));
        middleChild = h;
        tree.AddNext(h);
        tree.SetData(h, Tag(23));
        lastChild = h;
        h = second;
        tree.AddNext(h);
        tree.SetData(h, Tag(3));
    }

    // The data of a sibling chain, starting at h.
    std::vector<intptr_t> Chain(TreeHandle h) const {
        std::vector<intptr_t> out;
        if (!h) {
            return out;
        }
        do {
            out.push_back(reinterpret_cast<intptr_t>(tree.GetData(h)));
        } while (tree.ToNext(h));
        return out;
    }
    std::vector<intptr_t> TopLevel() const {
        TreeHandle h = nullptr;
        tree.GetRoot(h);
        return Chain(h);
    }
    std::vector<intptr_t> Children(TreeHandle parent) const {
        return tree.ToChild(parent) ? Chain(parent) : std::vector<intptr_t>{};
    }
    // Walking backwards gives the same chain reversed.
    std::vector<intptr_t> ChainBackFrom(TreeHandle h) const {
        std::vector<intptr_t> out;
        do {
            out.insert(out.begin(), reinterpret_cast<intptr_t>(tree.GetData(h)));
        } while (tree.ToPrev(h));
        return out;
    }

    Tree tree{&RecordFree};
    TreeHandle second = nullptr;
    TreeHandle firstChild = nullptr;
    TreeHandle middleChild = nullptr;
    TreeHandle lastChild = nullptr;
};

TEST_F(TreeTest, ClearDeletesChildrenBeforeTheirParent) {
    TreeHandle h = tree.CreateRoot();
    tree.SetData(h, Tag(1));
    tree.AddNext(h);
    tree.SetData(h, Tag(2));
    tree.AddNext(h);
    tree.SetData(h, Tag(3));
    tree.AddChild(h);
    tree.SetData(h, Tag(31));
    EXPECT_EQ(tree.NumNodes(), 4u);

    tree.Clear();
    EXPECT_EQ(Freed(), (std::vector<intptr_t>{1, 2, 31, 3}));
    EXPECT_EQ(tree.NumNodes(), 0u);
    EXPECT_FALSE(tree.HasRoot());
}

TEST_F(TreeTest, LinksOfABuiltTree) {
    BuildSample();
    EXPECT_EQ(TopLevel(), (std::vector<intptr_t>{1, 2, 3}));
    EXPECT_EQ(Children(second), (std::vector<intptr_t>{21, 22, 23}));
    EXPECT_EQ(ChainBackFrom(lastChild), (std::vector<intptr_t>{21, 22, 23}));
    EXPECT_TRUE(tree.HasParent(middleChild));
    EXPECT_FALSE(tree.HasParent(second));
    EXPECT_TRUE(tree.HasChild(second));
    EXPECT_FALSE(tree.HasChild(middleChild));
    EXPECT_TRUE(tree.HasPrev(middleChild));
    EXPECT_FALSE(tree.HasPrev(firstChild));
    EXPECT_TRUE(tree.HasNext(middleChild));
    EXPECT_FALSE(tree.HasNext(lastChild));

    TreeHandle h = lastChild;
    EXPECT_TRUE(tree.ToParent(h));
    EXPECT_EQ(h, second);
    EXPECT_EQ(tree.NumNodes(), 6u);
}

TEST_F(TreeTest, FailedStepKeepsTheHandle) {
    BuildSample();
    TreeHandle h = lastChild;
    EXPECT_FALSE(tree.ToNext(h));
    EXPECT_EQ(h, lastChild);
    EXPECT_FALSE(tree.ToChild(h));
    EXPECT_EQ(h, lastChild);
    h = firstChild;
    EXPECT_FALSE(tree.ToPrev(h));
    EXPECT_EQ(h, firstChild);
    h = second;
    EXPECT_FALSE(tree.ToParent(h));
    EXPECT_EQ(h, second);
}

TEST_F(TreeTest, InsertBeforeLinksBetweenNeighbours) {
    BuildSample();
    TreeHandle h = firstChild;
    tree.InsertBefore(h);
    tree.SetData(h, Tag(20));
    EXPECT_EQ(Children(second), (std::vector<intptr_t>{20, 21, 22, 23}));
    EXPECT_EQ(ChainBackFrom(lastChild), (std::vector<intptr_t>{20, 21, 22, 23}));
    TreeHandle up = h;
    EXPECT_TRUE(tree.ToParent(up));
    EXPECT_EQ(up, second);

    h = lastChild;
    tree.InsertBefore(h);
    tree.SetData(h, Tag(99));
    EXPECT_EQ(Children(second), (std::vector<intptr_t>{20, 21, 22, 99, 23}));
    EXPECT_EQ(ChainBackFrom(lastChild), (std::vector<intptr_t>{20, 21, 22, 99, 23}));
    EXPECT_EQ(tree.NumNodes(), 8u);
}

TEST_F(TreeTest, InsertBeforeTheFirstTopLevelNodeMakesTheNewFirst) {
    BuildSample();
    TreeHandle h = nullptr;
    ASSERT_TRUE(tree.GetRoot(h));
    tree.InsertBefore(h);
    tree.SetData(h, Tag(0));
    EXPECT_EQ(TopLevel(), (std::vector<intptr_t>{0, 1, 2, 3}));
    EXPECT_FALSE(tree.HasParent(h));
    tree.Clear();
    EXPECT_EQ(Freed().size(), 7u);
}

TEST_F(TreeTest, DeleteKeepsNeighboursLinked) {
    BuildSample();
    tree.Delete(middleChild);
    EXPECT_EQ(Children(second), (std::vector<intptr_t>{21, 23}));
    EXPECT_EQ(ChainBackFrom(lastChild), (std::vector<intptr_t>{21, 23}));
    tree.Delete(firstChild);
    EXPECT_EQ(Children(second), (std::vector<intptr_t>{23}));
    EXPECT_FALSE(tree.HasPrev(lastChild));
    EXPECT_EQ(Freed(), (std::vector<intptr_t>{22, 21}));
    EXPECT_EQ(tree.NumNodes(), 4u);
}

TEST_F(TreeTest, DeleteTakesTheSubtreeChildrenFirst) {
    BuildSample();
    TreeHandle grandChild = middleChild;
    tree.AddChild(grandChild);
    tree.SetData(grandChild, Tag(221));
    tree.Delete(second);
    EXPECT_EQ(Freed(), (std::vector<intptr_t>{21, 221, 22, 23, 2}));
    EXPECT_EQ(TopLevel(), (std::vector<intptr_t>{1, 3}));
    EXPECT_EQ(tree.NumNodes(), 2u);
}

TEST_F(TreeTest, DeleteOfTheFirstTopLevelNodeMovesTheRoot) {
    BuildSample();
    TreeHandle h = nullptr;
    ASSERT_TRUE(tree.GetRoot(h));
    tree.Delete(h);
    EXPECT_EQ(TopLevel(), (std::vector<intptr_t>{2, 3}));
    ASSERT_TRUE(tree.GetRoot(h));
    EXPECT_FALSE(tree.HasPrev(h));
    tree.Delete(h);
    ASSERT_TRUE(tree.GetRoot(h));
    tree.Delete(h);
    EXPECT_FALSE(tree.HasRoot());
    EXPECT_EQ(tree.NumNodes(), 0u);
    EXPECT_EQ(Freed(), (std::vector<intptr_t>{1, 21, 22, 23, 2, 3}));
}

TEST_F(TreeTest, AddingOutsideTheContractAssertsAndChangesNothing) {
    BuildSample();
    AssertRecorder recorder;

    EXPECT_EQ(tree.CreateRoot(), nullptr);
    TreeHandle h = second;
    tree.AddChild(h); // second has children
    EXPECT_EQ(h, second);
    h = firstChild;
    tree.AddNext(h); // firstChild has a Next
    EXPECT_EQ(h, firstChild);
    EXPECT_EQ(recorder.Count(), 3u);

    EXPECT_EQ(TopLevel(), (std::vector<intptr_t>{1, 2, 3}));
    EXPECT_EQ(Children(second), (std::vector<intptr_t>{21, 22, 23}));
    EXPECT_EQ(tree.NumNodes(), 6u);
    tree.Clear();
    EXPECT_EQ(Freed().size(), 6u);
}

TEST_F(TreeTest, AddingToAnEmptyTreeAsserts) {
    AssertRecorder recorder;
    int dummy = 0;
    TreeHandle h = &dummy;
    tree.AddChild(h);
    tree.AddNext(h);
    tree.InsertBefore(h);
    EXPECT_EQ(recorder.Count(), 3u);
    EXPECT_TRUE(recorder.Saw("m_Root != NULL"));
    EXPECT_EQ(h, &dummy);
    EXPECT_EQ(tree.NumNodes(), 0u);
}

TEST_F(TreeTest, NullHandlesAssert) {
    BuildSample();
    AssertRecorder recorder;
    TreeHandle h = nullptr;
    EXPECT_FALSE(tree.ToNext(h));
    EXPECT_FALSE(tree.HasChild(nullptr));
    EXPECT_EQ(h, nullptr);
    EXPECT_TRUE(recorder.Saw("(TreeNode*)io_Node != NULL"));
    EXPECT_EQ(tree.GetData(nullptr), nullptr);
    tree.SetData(nullptr, Tag(5));
    EXPECT_TRUE(recorder.Saw("(TreeNode*)i_Node != NULL"));
    tree.AddNext(h);
    tree.Delete(nullptr);
    EXPECT_EQ(tree.NumNodes(), 6u);
}

TEST_F(TreeTest, DestructorReleasesEveryNodeWithoutComplaint) {
    AssertRecorder recorder;
    {
        Tree local(&RecordFree);
        TreeHandle h = local.CreateRoot();
        local.AddChild(h);
        local.SetData(h, Tag(7));
        local.AddNext(h);
    }
    EXPECT_EQ(Freed(), (std::vector<intptr_t>{7, 0, 0}));
    {
        Tree emptied(&RecordFree);
        TreeHandle h = emptied.CreateRoot();
        emptied.Delete(h);
        EXPECT_EQ(emptied.NumNodes(), 0u);
    }
    EXPECT_EQ(recorder.Count(), 0u);
}

} // namespace
