#include "play/PlayChipDef.h"

#include "play/Keywords.h"

ChipDef g_ChipDef;

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
