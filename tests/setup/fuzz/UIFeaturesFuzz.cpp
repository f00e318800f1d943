// Fuzz entry of the UI description and template file loader: the input up to its first NUL is
// the description, the rest is the template file "t.xml" in the working folder (a temporary
// folder of the run's own, removed when it ends). The model is built over the built-in chip
// database, then every node is hidden, named and, for template items, matched and applied.
// Assertions are ignored, not fatal; any crash or sanitizer report is a fault.
#include "chipdef/ChipDefTestDouble.h"
#include "chipdef/ChipDefXml.h"
#include "common/Assert.h"
#include "setup/core/UIFeatures.h"
#include "support/FuzzChecks.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

ListChip& Chip() {
    static ListChip* s_Chip = [] {
        auto* chip = new ListChip;
        std::string document;
        for (uint32_t i = 0; i < ChipDefXmlLineCount; ++i) {
            document += ChipDefXml[i];
            document += '\n';
        }
        chip->LoadDocument(document);
        chip->SelectProduct("47K20");
        return chip;
    }();
    return *s_Chip;
}

void Exercise(UIFeatures& model, TreeHandle node) {
    do {
        model.IsHidden(node);
        model.IsReadOnly(node);
        model.GetDisplayText(node, 0x01 | 0x08);
        if (model.GetType(node) == UIT_TEMPLATE) {
            model.FindMatchingTemplate(node);
            for (int n = 0; n < 4 && model.GetTemplate(node, n, nullptr); ++n) {
                model.GetTemplateName(node, n);
                for (uint32_t i = 0; model.HasTemplateFeature(node, n, i); ++i) {
                    model.GetTemplateFeatureName(node, n, i, 0x01);
                    model.GetTemplateFeatureValue(node, n, i);
                }
                std::string error;
                model.ApplyTemplate(node, n, error);
            }
        }
        TreeHandle child = node;
        if (model.ToChild(child)) {
            Exercise(model, child);
        }
    } while (model.ToNext(node));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    q3vtest::CountAssertions();
    const std::string& folder = q3vtest::ProgramTempFolder("uifeatures-fuzz");
    q3vtest::FuzzCheck(folder != "/tmp" && chdir(folder.c_str()) == 0);
    unsetenv("ConfigTemplatePath");
    Chip();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    const size_t split = std::find(text, text + size, '\0') - text;
    if (FILE* file = std::fopen("t.xml", "wb")) {
        if (split < size) {
            std::fwrite(text + split + 1, 1, size - split - 1, file);
        }
        std::fclose(file);
    }
    UIFeatures model(Chip(), std::string_view(text, split));
    TreeHandle root = nullptr;
    if (model.GetRoot(root)) {
        Exercise(model, root);
    }
    return 0;
}
