// The built-in UI description as one text.
#include "setup/core/UIFeatures.h"
#include "setup/core/UIFeaturesXml.h"

std::string_view BuiltInUIDescription() {
    static const std::string s_Text = [] {
        std::string text;
        for (uint32_t i = 0; i < UIFeaturesXmlLineCount; ++i) {
            text += UIFeaturesXml[i];
            text += '\n';
        }
        return text;
    }();
    return s_Text;
}
