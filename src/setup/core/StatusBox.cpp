// The status box's text and flags.
#include "setup/core/StatusBox.h"

#include "setup/core/FeatureTree.h"
#include "setup/core/UIFeatures.h"

#include "setup/core/SetupState.h"

#include <vector>

StatusBox::StatusBox(DiagnosticsSource source) : m_Source(std::move(source)) {}

StatusBox::Update StatusBox::SetStatusText(std::uint32_t id, std::uint32_t flags,
                                           const std::string& text) {
    if (id == 0) {
        return {};
    }
    if (m_HoldId != 0 && id != m_HoldId && (flags & kStatusForce) == 0) {
        return {};
    }
    m_HoldId = 0;
    if (id == m_StickyOwner || (flags & kStatusForce) != 0) {
        m_Sticky.clear();
        m_StickyOwner = 0;
    }
    std::string message = text;
    if (m_Sticky != text) {
        message += m_Sticky;
    }
    const bool keep = (flags & kStatusKeep) != 0 ||
                      ((flags & kStatusSticky) != 0 && (flags & kStatusNoSticky) == 0);
    if (keep) {
        m_Sticky = text;
        m_StickyOwner = id;
    } else {
        m_Sticky.clear();
        m_StickyOwner = 0;
    }
    m_Warning = (flags & kStatusWarning) != 0;
    if (m_Source) {
        const StatusDiagnostics diagnostics = m_Source();
        message += diagnostics.Model;
        message += diagnostics.Chip;
        message += diagnostics.Warnings;
        if (!diagnostics.Model.empty() || !diagnostics.Chip.empty()) {
            m_Warning = true;
        }
    }
    if (!message.empty() && message.back() == '\n') {
        message.pop_back();
    }
    if (message == m_Shown) {
        return {true, false};
    }
    m_Shown = message;
    return {true, true};
}

StatusDiagnostics ChipDefDiagnostics() {
    // The chip definition's diagnostics and warnings fit its text size.
    std::vector<char> buffer(ChipDefBase::kTextSize + 1, '\0');
    StatusDiagnostics diagnostics;
    if (g_UIFeatures != nullptr) {
        diagnostics.Model = g_UIFeatures->GetDiagnosticText();
    }
    g_ChipDef.GetDiagnosticText(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    diagnostics.Chip = buffer.data();
    buffer[0] = '\0';
    g_ChipDef.GetWarningText(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    diagnostics.Warnings = buffer.data();
    return diagnostics;
}
