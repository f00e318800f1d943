#include "setup/core/ImportCommand.h"

#include "setup/core/RegistersPage.h"
#include "setup/core/SetupServices.h"
#include "setup/core/SetupState.h"

#include <vector>

namespace {

bool s_OverwriteRegisters = false;

// The register indices of the list, in order, up to its end pair.
std::vector<uint16_t> RegisterIndices(const oxHclData& block) {
    std::vector<uint16_t> indices;
    for (std::size_t i = 0; i < oxHCL_REGSIZE; ++i) {
        indices.push_back(oxHclGetReg(block, i).Index);
        if (indices.back() == oxHCL_REG_END) {
            break;
        }
    }
    return indices;
}

} // namespace

bool GetImportOverwriteRegisters() {
    return s_OverwriteRegisters;
}

void SetImportOverwriteRegisters(bool on) {
    s_OverwriteRegisters = on;
}

bool OnImport() {
    FileRequest request;
    request.Open = true;
    request.Title = "Import";
    request.Filters = {{"Initialization Files (*.ini)", {"*.ini"}}};
    request.DefaultExtension = "ini";
    request.MustExist = true;
    request.AcceptText = "&Import";
    request.CheckBoxText = "&Overwrite Registers from Imported Data";
    bool overwrite = s_OverwriteRegisters;
    request.CheckBox = &overwrite;
    const std::optional<std::string> path = ChooseFile(request);
    if (!path) {
        return false;
    }
    s_OverwriteRegisters = overwrite;
    std::vector<char> report(kImportReportSize, '\0');
    const std::vector<uint16_t> before = RegisterIndices(g_ChipDef.HclData());
    const bool imported = g_ChipDef.ImportIniFile(path->c_str(), report.data(),
                                                  static_cast<uint32_t>(report.size()), overwrite);
    if (imported && overwrite && RegisterIndices(g_ChipDef.HclData()) != before) {
        g_RegistersPage.ClearMarks(); // the rows are another list's now
    }
    if (report[0] != '\0') {
        ShowMessage(imported ? MessageKind::Information : MessageKind::Warning, report.data());
    }
    return imported;
}
