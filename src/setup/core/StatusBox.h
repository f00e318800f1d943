#pragma once
// The status box's text: the last message, a sticky text that stays below later messages, a
// hold that keeps other owners' messages out, the warning flag, and the diagnostics of the
// feature model and the chip definition appended to every message. The window only shows
// Text() (line feeds as they are) and paints the warning colour while Warning() is set.
//
//     StatusBox box(ChipDefDiagnostics);
//     if (box.SetStatusText(kOwnerOpen, kStatusWarning, "Could not read it.").Changed) {
//         edit->setPlainText(box.Text());
//     }
#include <cstdint>
#include <functional>
#include <string>

// Flag bits of SetStatusText.
constexpr std::uint32_t kStatusWarning = 1;  // beep and show the warning colour
constexpr std::uint32_t kStatusSticky = 2;   // keep as sticky text unless kStatusNoSticky
constexpr std::uint32_t kStatusKeep = 4;     // keep as sticky text
constexpr std::uint32_t kStatusNoSticky = 8; // cancels kStatusSticky
constexpr std::uint32_t kStatusForce = 16;   // pass a hold and clear the sticky text

// The texts appended below every message: the feature model's diagnostics, the chip
// definition's diagnostics and its warnings.
struct StatusDiagnostics {
    std::string Model;
    std::string Chip;
    std::string Warnings;
};

class StatusBox {
public:
    using DiagnosticsSource = std::function<StatusDiagnostics()>;
    explicit StatusBox(DiagnosticsSource source);

    // What a message did: taken (not ignored for a hold or a zero id), and whether the shown
    // text changed.
    struct Update {
        bool Accepted = false;
        bool Changed = false;
    };
    // Sets a message for owner id (not 0).
    Update SetStatusText(std::uint32_t id, std::uint32_t flags, const std::string& text);
    // Messages of owners other than id are ignored until a forced one arrives.
    void Hold(std::uint32_t id) { m_HoldId = id; }

    const std::string& Text() const { return m_Shown; }
    bool Warning() const { return m_Warning; }

private:
    DiagnosticsSource m_Source;
    std::string m_Shown;
    std::string m_Sticky;
    std::uint32_t m_StickyOwner = 0;
    std::uint32_t m_HoldId = 0;
    bool m_Warning = false;
};

// The chip definition's diagnostics and warnings of g_ChipDef (no feature model yet).
StatusDiagnostics ChipDefDiagnostics();
