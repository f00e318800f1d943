#pragma once
// The completion dictionary of Tab at the prompt: a prefix tree on Tree whose inner nodes stand
// for a beginning that several keywords share and whose leaves are whole keywords.
// Comparisons are exact (the keywords are stored in lower case).
#include "common/Tree.h"

#include <cstdint>

// The data of one dictionary or word-list node.
struct KeywordNode {
    char* Text;      // heap copy: the whole keyword, or the whole shared beginning
    uint32_t IsWord; // 1 = a keyword, 0 = a shared beginning
};

// Release callback of dictionaries and word lists: frees the text and the node data.
void FreeWordNode(void* data);

// The dictionary of the feature names (filled at start).
extern Tree g_Keywords;

// Empties the tree and adds the root (text "", not a word).
void KeywordInit(Tree* dictionary);

// Adds a keyword; false when it is already present (nothing is added then).
bool KeywordAdd(Tree* dictionary, const char* word);

// 0 = nothing begins with prefix (out = nullptr); 1 = exactly one keyword does, out = it;
// n > 1 = n keywords share the longest beginning out. out is a heap copy: free() it.
int32_t KeywordComplete(Tree* dictionary, const char* prefix, char** out);

// Appends to list (a Tree released by FreeWordNode, used as a plain top-level list) a copy of
// every keyword under node (nullptr = the whole dictionary) that begins with prefix, in the
// dictionary's order; returns how many were appended.
uint32_t KeywordCollect(Tree* dictionary, TreeHandle node, Tree* list, const char* prefix);

// Makes dictionary the one of Tab completion; nullptr switches completion off.
void KeywordSetActive(Tree* dictionary);

// The dictionary of Tab completion, nullptr when off.
Tree* KeywordGetActive();
