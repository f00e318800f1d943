// The TE function guard and the frame pacer of SHOW and FLOAD.
#include "play/FramePacing.h"

#include "hcl/Services.h"
#include "play/Output.h"
#include "play/PlayChipDef.h"

void TeFunctionGuard::Set(uint32_t function) {
    m_Saved = g_ChipDef.GetFeatureValue("tefunc");
    m_Changed = true;
    g_ChipDef.SetFeatureValue("tefunc", function);
}

TeFunctionGuard::~TeFunctionGuard() {
    if (m_Changed) {
        g_ChipDef.SetFeatureValue("tefunc", m_Saved);
    }
}

FramePacer::FramePacer(bool rateGiven, uint32_t rate)
    : m_RateGiven(rateGiven), m_Rate(rate), m_StartMs(oxGetMsCount()) {}

uint32_t FramePacer::ElapsedMs() const {
    return oxGetMsCount() - m_StartMs;
}

void FramePacer::Pause(bool firstFrame) {
    if (firstFrame && m_RateGiven && m_Rate != 0) {
        const uint32_t elapsed = ElapsedMs();
        if (1000 / m_Rate > elapsed) {
            m_PauseMs = 1000 / m_Rate - elapsed;
        }
    }
    if (m_PauseMs != 0) {
        oxDelayUs(m_PauseMs * 1000);
    }
}

void FramePacer::ReportRate() const {
    if (!m_RateGiven) {
        return;
    }
    const uint64_t elapsed = ElapsedMs();
    uint64_t measured = 0;
    if (elapsed != 0) {
        const uint64_t scaled = uint64_t{m_Shown} * 1000;
        measured = scaled / elapsed + (scaled % elapsed > elapsed / 2 ? 1 : 0);
    }
    if (measured != 0) {
        PlayPrint(CAT_OUT, "Frame rate: %d fps\n",
                  static_cast<int>(m_PauseMs != 0 ? m_Rate : measured));
    }
}
