#pragma once
// Play's chip definition: the one ChipDef object of the program (the built-in chip database
// over the program's own configuration block), and the completion dictionary filled with the
// feature names of the selected product.
//
//     FillFeatureDictionary(&g_Keywords);   // at start: Tab now completes "set swh"
//     g_ChipDef.GetFeatureValue("hdp");
#include "chipdef/ChipDef.h"
#include "common/Tree.h"

extern ChipDef g_ChipDef;

// Empties dictionary, adds the KEYNAME of every feature of the selected product and makes it
// the dictionary of Tab completion.
void FillFeatureDictionary(Tree* dictionary);
