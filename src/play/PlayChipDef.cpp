#include "play/PlayChipDef.h"

#include "play/Keywords.h"

#include <initializer_list>

ChipDef g_ChipDef;

void StartChipDefinition(bool acquired) {
    g_ChipDef.SetHotMode(acquired);
    for (const char* name : {"autostride", "pip1autostride", "pip2autostride"}) {
        if (g_ChipDef.IsFeatureInProduct(name)) {
            g_ChipDef.SetFeatureRawValue(name, 0);
        }
    }
}

void FillFeatureDictionary(Tree* dictionary) {
    KeywordInit(dictionary);
    const char* key = nullptr;
    for (uint32_t n = 0; g_ChipDef.GetFeatureKey(n, &key); ++n) {
        if (key && g_ChipDef.IsFeatureInProduct(key)) {
            KeywordAdd(dictionary, key);
        }
    }
    KeywordSetActive(dictionary);
}
