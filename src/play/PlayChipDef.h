#pragma once
// Play's chip definition: the one ChipDef object of the program (the built-in chip database
// over the program's own configuration block), its start in hot mode, and the completion
// dictionary filled with the feature names of the selected product.
//
//     FillFeatureDictionary(&g_Keywords);   // at start: Tab now completes "set swh"
//     g_ChipDef.GetFeatureValue("hdp");
#include "chipdef/ChipDef.h"
#include "common/Tree.h"

// Play's one chip definition. Setup has its own g_ChipDef, a SetupChipDef (in
// setup/core/SetupState.h); the two programs are linked apart, so each has one of that name.
extern ChipDef g_ChipDef;

// At start, after the layer has started: hot mode on when the controller was acquired (feature
// and register changes then reach the chip at once), and the automatic strides of the layers
// that the product has set to 0.
void StartChipDefinition(bool acquired);

// Empties dictionary, adds the KEYNAME of every feature of the selected product and makes it
// the dictionary of Tab completion.
void FillFeatureDictionary(Tree* dictionary);
