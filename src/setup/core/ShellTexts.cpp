// Texts that carry the product's name.
#include "setup/core/ShellTexts.h"

#include "hcl/HclVersion.h"
#include "setup/core/SetupState.h"
#include "setup/core/TextFormat.h"

namespace {

// Parts of the product's text.
constexpr std::uint32_t kProductName = 0x01;
constexpr std::uint32_t kProductPrefix = 0x80;
constexpr std::uint32_t kProductSuffix = 0x100;

constexpr const char kSetupRevision[] = " $Revision: 38 $";
// The revisions of the layer and the API that the About box names.
constexpr const char kLayerRevision[] = " $Revision: 84 $";
constexpr const char kApiRevision[] = " $Revision: 62 $";

std::string ProductText(std::uint32_t parts) {
    return g_ChipDef.GetProductText(nullptr, parts);
}

} // namespace

std::string GetProgramName() {
    return ProductText(kProductName) + "SETUP";
}

unsigned GetBuildNumber() {
    return oxHclRevisionNumber(kSetupRevision);
}

std::string MainTitle(const std::string& openPath, bool debugBuild) {
    std::string title;
    if (!openPath.empty()) {
        const std::size_t slash = openPath.rfind('/');
        title = (slash == std::string::npos ? openPath : openPath.substr(slash + 1)) + " - ";
    }
    title += FormatText("%s Configuration Utility  (%sBuild %u)",
                        ProductText(kProductPrefix | kProductName | kProductSuffix).c_str(),
                        debugBuild ? "Debug " : "", GetBuildNumber());
    return title;
}

std::string DebugTitle() {
    return ProductText(kProductPrefix | kProductName) + " Debug Output";
}

std::string AboutItemText() {
    return "&About " + GetProgramName() + "...";
}

std::string AboutTitle() {
    return "About " + GetProgramName();
}

std::string AboutVersionText() {
    return FormatText("%s - Build %u [L:%u A:%u]", GetProgramName().c_str(), GetBuildNumber(),
                      oxHclRevisionNumber(kLayerRevision), oxHclRevisionNumber(kApiRevision));
}
