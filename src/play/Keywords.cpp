#include "play/Keywords.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

Tree g_Keywords(&FreeWordNode);

namespace {

constinit Tree* s_ActiveDictionary = nullptr;

KeywordNode* NodeData(const Tree* tree, TreeHandle node) {
    return static_cast<KeywordNode*>(tree->GetData(node));
}

const char* NodeText(const Tree* tree, TreeHandle node) {
    const KeywordNode* data = NodeData(tree, node);
    return (data && data->Text) ? data->Text : "";
}

bool IsWordNode(const Tree* tree, TreeHandle node) {
    const KeywordNode* data = NodeData(tree, node);
    return data && data->IsWord != 0;
}

KeywordNode* MakeWordNode(const char* text, size_t len, bool isWord) {
    auto* data = new KeywordNode;
    data->Text = static_cast<char*>(std::malloc(len + 1));
    std::memcpy(data->Text, text, len);
    data->Text[len] = '\0';
    data->IsWord = isWord ? 1 : 0;
    return data;
}

bool BeginsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

size_t CommonLength(const char* a, const char* b) {
    size_t n = 0;
    while (a[n] != '\0' && a[n] == b[n]) {
        ++n;
    }
    return n;
}

// Calls visit(node) for the node and every node beneath it, parents before children, children
// in chain order.
template <typename Visit> void VisitSubtree(const Tree* tree, TreeHandle node, Visit&& visit) {
    visit(node);
    TreeHandle child = node;
    if (!tree->ToChild(child)) {
        return;
    }
    do {
        VisitSubtree(tree, child, visit);
    } while (tree->ToNext(child));
}

// Calls visit(node) for the node and for the nodes beneath it whose subtree can hold texts that
// begin like word: every text below a prefix node begins with the prefix node's text, so a
// prefix node that word does not begin with is visited but not entered.
template <typename Visit>
void VisitTowards(const Tree* tree, TreeHandle node, const char* word, Visit&& visit) {
    visit(node);
    if (IsWordNode(tree, node) || !BeginsWith(word, NodeText(tree, node))) {
        return;
    }
    TreeHandle child = node;
    if (!tree->ToChild(child)) {
        return;
    }
    do {
        VisitTowards(tree, child, word, visit);
    } while (tree->ToNext(child));
}

// The node of a word with exactly this text, or nullptr.
TreeHandle FindWord(const Tree* tree, TreeHandle root, const char* word) {
    TreeHandle found = nullptr;
    VisitTowards(tree, root, word, [&](TreeHandle n) {
        if (!found && IsWordNode(tree, n) && std::strcmp(NodeText(tree, n), word) == 0) {
            found = n;
        }
    });
    return found;
}

// The longest beginning that the word shares with any text in the tree. A text below a prefix
// node that word does not begin with shares no more with word than the prefix node's text.
size_t CommonPrefixSearch(const Tree* tree, TreeHandle root, const char* word) {
    size_t best = 0;
    VisitTowards(tree, root, word, [&](TreeHandle n) {
        best = std::max(best, CommonLength(word, NodeText(tree, n)));
    });
    return best;
}

// The first child of node that is a prefix node whose text is a beginning of text, or nullptr.
TreeHandle PrefixChildOf(const Tree* tree, TreeHandle node, const char* text) {
    TreeHandle child = node;
    if (!tree->ToChild(child)) {
        return nullptr;
    }
    do {
        if (!IsWordNode(tree, child) && BeginsWith(text, NodeText(tree, child))) {
            return child;
        }
    } while (tree->ToNext(child));
    return nullptr;
}

// The prefix node with exactly this text, or nullptr. Below a prefix node only texts that
// begin with its own text are found, so the search goes down one matching prefix at a time.
TreeHandle FindPrefixNode(const Tree* tree, TreeHandle root, const char* text) {
    for (TreeHandle node = root; node != nullptr; node = PrefixChildOf(tree, node, text)) {
        if (std::strcmp(NodeText(tree, node), text) == 0) {
            return node;
        }
    }
    return nullptr;
}

// The deepest prefix node whose text is a beginning of text.
TreeHandle DeepestPrefixOf(const Tree* tree, TreeHandle root, const char* text) {
    TreeHandle node = root;
    while (TreeHandle next = PrefixChildOf(tree, node, text)) {
        node = next;
    }
    return node;
}

// Adds a node with this data as the first child of parent.
void AddFirstChild(Tree* tree, TreeHandle parent, KeywordNode* data) {
    TreeHandle node = parent;
    if (tree->ToChild(node)) {
        tree->InsertBefore(node);
    } else {
        tree->AddChild(node);
    }
    tree->SetData(node, data);
}

// Appends a node with this data at the end of a plain list; last is the list's last node
// (nullptr when empty) and moves to the new node.
void AppendToList(Tree* list, TreeHandle& last, KeywordNode* data) {
    if (!last) {
        last = list->CreateRoot();
    } else {
        list->AddNext(last);
    }
    list->SetData(last, data);
}

// Removes every node whose text begins with shared, collecting the texts of the words and of
// the prefix nodes removed (in the tree's order).
void RemoveShared(Tree* tree, TreeHandle node, const char* shared, std::vector<std::string>& words,
                  std::vector<std::string>& prefixes) {
    TreeHandle child = node;
    if (!tree->ToChild(child)) {
        return;
    }
    for (;;) {
        TreeHandle next = child;
        const bool hasNext = tree->ToNext(next);
        if (BeginsWith(NodeText(tree, child), shared)) {
            VisitSubtree(tree, child, [&](TreeHandle n) {
                (IsWordNode(tree, n) ? words : prefixes).emplace_back(NodeText(tree, n));
            });
            tree->Delete(child);
        } else if (!IsWordNode(tree, child)) {
            RemoveShared(tree, child, shared, words, prefixes);
        }
        if (!hasNext) {
            return;
        }
        child = next;
    }
}

// Puts texts back in order of length, shorter first, each as the first child of the deepest
// prefix node whose text is a beginning of its own.
void KeywordMergeByLength(Tree* tree, TreeHandle root, std::vector<std::string>& texts,
                          bool isWord) {
    std::stable_sort(texts.begin(), texts.end(), [](const std::string& a, const std::string& b) {
        return a.size() < b.size();
    });
    for (const std::string& text : texts) {
        TreeHandle parent = DeepestPrefixOf(tree, root, text.c_str());
        AddFirstChild(tree, parent, MakeWordNode(text.data(), text.size(), isWord));
    }
}

uint32_t CountWords(const Tree* tree, TreeHandle node) {
    uint32_t count = 0;
    VisitSubtree(tree, node, [&](TreeHandle n) { count += IsWordNode(tree, n) ? 1 : 0; });
    return count;
}

// Whether a node stays a candidate for the prefix: a word when the prefix is a beginning of its
// text, a prefix node when the two agree over the shorter length.
bool Matches(const Tree* tree, TreeHandle node, const char* prefix, size_t prefixLen) {
    const char* text = NodeText(tree, node);
    if (IsWordNode(tree, node)) {
        return std::strncmp(text, prefix, prefixLen) == 0;
    }
    const size_t n = std::min(prefixLen, std::strlen(text));
    return std::strncmp(text, prefix, n) == 0;
}

} // namespace

void FreeWordNode(void* data) {
    auto* node = static_cast<KeywordNode*>(data);
    if (!node) {
        return;
    }
    std::free(node->Text);
    delete node;
}

void KeywordInit(Tree* dictionary) {
    if (!dictionary) {
        return;
    }
    dictionary->Clear();
    TreeHandle root = dictionary->CreateRoot();
    dictionary->SetData(root, MakeWordNode("", 0, false));
}

bool KeywordAdd(Tree* dictionary, const char* word) {
    TreeHandle root = nullptr;
    if (!dictionary || !word || word[0] == '\0' || !dictionary->GetRoot(root)) {
        return false;
    }
    if (FindWord(dictionary, root, word)) {
        return false;
    }

    const size_t sharedLen = CommonPrefixSearch(dictionary, root, word);
    const std::string shared(word, sharedLen);
    if (TreeHandle prefixNode = FindPrefixNode(dictionary, root, shared.c_str())) {
        AddFirstChild(dictionary, prefixNode, MakeWordNode(word, std::strlen(word), true));
        return true;
    }

    // Rebuild the part of the tree that shares the beginning under a new prefix node for it.
    std::vector<std::string> words;
    std::vector<std::string> prefixes;
    RemoveShared(dictionary, root, shared.c_str(), words, prefixes);
    words.emplace_back(word);
    prefixes.push_back(shared);
    KeywordMergeByLength(dictionary, root, prefixes, false);
    KeywordMergeByLength(dictionary, root, words, true);
    return true;
}

int32_t KeywordComplete(Tree* dictionary, const char* prefix, char** out) {
    if (out) {
        *out = nullptr;
    }
    TreeHandle node = nullptr;
    if (!dictionary || !dictionary->GetRoot(node)) {
        return 0;
    }
    if (!prefix) {
        prefix = "";
    }
    const size_t prefixLen = std::strlen(prefix);
    for (;;) {
        if (!Matches(dictionary, node, prefix, prefixLen)) {
            return 0;
        }
        if (IsWordNode(dictionary, node)) {
            break;
        }
        TreeHandle child = node;
        TreeHandle match = nullptr;
        int matches = 0;
        if (dictionary->ToChild(child)) {
            do {
                if (Matches(dictionary, child, prefix, prefixLen)) {
                    match = child;
                    ++matches;
                }
            } while (matches < 2 && dictionary->ToNext(child));
        }
        if (matches == 0) {
            return 0;
        }
        if (matches >= 2) {
            if (prefixLen > std::strlen(NodeText(dictionary, node))) {
                return 0;
            }
            break;
        }
        node = match;
    }
    const int32_t count =
        IsWordNode(dictionary, node) ? 1 : static_cast<int32_t>(CountWords(dictionary, node));
    if (out) {
        *out = strdup(NodeText(dictionary, node));
    }
    return count;
}

uint32_t KeywordCollect(Tree* dictionary, TreeHandle node, Tree* list, const char* prefix) {
    if (!dictionary || !list) {
        return 0;
    }
    if (!node && !dictionary->GetRoot(node)) {
        return 0;
    }
    if (!prefix) {
        prefix = "";
    }
    TreeHandle last = nullptr;
    if (list->GetRoot(last)) {
        while (list->ToNext(last)) {
        }
    }
    uint32_t count = 0;
    VisitSubtree(dictionary, node, [&](TreeHandle n) {
        const char* text = NodeText(dictionary, n);
        if (IsWordNode(dictionary, n) && BeginsWith(text, prefix)) {
            AppendToList(list, last, MakeWordNode(text, std::strlen(text), true));
            ++count;
        }
    });
    return count;
}

void KeywordSetActive(Tree* dictionary) {
    s_ActiveDictionary = dictionary;
}

Tree* KeywordGetActive() {
    return s_ActiveDictionary;
}
