#pragma once
// What SHOW and FLOAD share when they put frame after frame on the display: the TE function
// ("tefunc") changed for one command and put back at its end, and the pacing of frames to a
// wanted rate with the rate reached reported at the end.
//
//     FramePacer pacer(rateGiven, rate);
//     for (...) { ...one frame...; pacer.FrameShown(); if (...) break; pacer.Pause(first); }
//     pacer.ReportRate();
#include <cstdint>

// Puts "tefunc" back at the end of the command when it was changed.
class TeFunctionGuard {
public:
    TeFunctionGuard() = default;
    TeFunctionGuard(const TeFunctionGuard&) = delete;
    TeFunctionGuard& operator=(const TeFunctionGuard&) = delete;
    ~TeFunctionGuard();

    // Keeps the current value and sets function.
    void Set(uint32_t function);

private:
    uint32_t m_Saved = 0;
    bool m_Changed = false;
};

// Paces frames: the time from the start to the end of the first frame sets the pause after
// every frame that brings the rate down to the one wanted (none when the first frame was
// slower, or without a rate).
class FramePacer {
public:
    // rateGiven: a rate (frames a second) was asked for; 0 paces nothing but is still reported.
    FramePacer(bool rateGiven, uint32_t rate);

    // One frame is on the display.
    void FrameShown() { ++m_Shown; }
    // Milliseconds since the pacer was made.
    uint32_t ElapsedMs() const;
    // After a frame: computes the pause when firstFrame, then waits it.
    void Pause(bool firstFrame);
    // "Frame rate: %d fps\n" (CAT_OUT) when a rate was asked for and one was measured: the rate
    // asked for when it was paced, else the rate measured.
    void ReportRate() const;

private:
    bool m_RateGiven;
    uint32_t m_Rate;
    uint32_t m_StartMs;
    uint32_t m_PauseMs = 0;
    uint32_t m_Shown = 0;
};
