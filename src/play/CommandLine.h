#pragma once
// The switches of Play's command line (/?, /nocard, /debug:, /break:, /cpu:) and the usage text
// of "/?". Every word is tested in order, so switches stand anywhere and in any case; recognised
// words are emptied, and the words left over (Words, an empty one included) are the command of
// the one-command mode.
#include <cstdint>
#include <vector>

// What the switches asked for. A switch that ends the program sets Exit.
struct Switches {
    bool Exit = false;       // "/?" was shown, or a switch was refused
    int ExitCode = 0;        // the program's exit code when Exit is set
    bool CpuGiven = false;   // a "/cpu:" switch was given ...
    uint32_t CpuMask = 0;    // ... with this mask (the last one given)
    bool DebugGiven = false; // the trace is to be written at exit
    std::vector<int> Words;  // the indices (from 1) of the words that are no switch, in order
};

// Lower-cases every word in place and acts on the switches among them: "/?" prints the usage
// and ends; "/nocard" warns, clears g_Acquired and sets g_NoCard; "/debug:" and "/break:" hand
// their text to the hardware layer's parsers and end the program with code 1 when refused; "/cpu:"
// takes a mask, hexadecimal by default (or an expression), and ends the program silently with code
// 1 when it is none. The affinity itself is left to the caller.
Switches HandleSwitches(int argc, char** argv);

// Prints the usage text of "/?" (CAT_OUT).
void PrintUsage();
