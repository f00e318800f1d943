#pragma once
// The Features tab's tree as rows: which model nodes are shown, in which order and depth, with
// which text and look. The page only turns these rows into tree items; the rows are rebuilt
// from the model after every change, so values shown are always the chip definition's own.
//
//     for (const FeatureTreeRow& row : BuildFeatureTreeRows(*g_UIFeatures)) { ... }
#include "common/Tree.h"

#include <string>
#include <vector>

class UIFeatures;

// The program's one feature model, built by main after the chip definition (nullptr until
// then).
extern UIFeatures* g_UIFeatures;

struct FeatureTreeRow {
    TreeHandle Node = nullptr; // nullptr for the blank row between two top-level nodes
    int Depth = 0;             // 0 for a top-level node
    std::string Text;
    bool Bold = false;     // template items
    bool Expanded = false; // shown expanded
};

// The text of one node's tree item (without the upper-casing of top-level items).
std::string FeatureTreeText(UIFeatures& model, TreeHandle node);

// Every shown node in tree order (children follow their parent), top-level texts upper-cased,
// a blank row between two top-level nodes.
std::vector<FeatureTreeRow> BuildFeatureTreeRows(UIFeatures& model);

// The tooltip of a node: its feature's explanation and that of its override feature; empty for
// a node without a chip feature.
std::string FeatureTreeTip(UIFeatures& model, TreeHandle node);
