// The command table of Play and the look-up of a command word in it.
#include "play/Commands.h"

#include "play/CmdCalc.h"
#include "play/CmdQuit.h"
#include "play/DisplayCommands.h"
#include "play/FileCommands.h"
#include "play/InfoCommands.h"
#include "play/LutCommands.h"
#include "play/MemCommands.h"
#include "play/OutputCommands.h"
#include "play/RegCommands.h"
#include "play/ScriptCommands.h"
#include "play/TokenCommands.h"

// clang-format off
// One row per command: section, aliases, handler (nullptr = not implemented yet), may run under
// /nocard, HELP's line.
CommandEntry g_Commands[kCommandCount] = {
    {SEC_BASIC, "init", CmdInit, 0, "INIT [NOflags|ONLYflags]                  - Initializes LCD controller"},
    {SEC_BASIC, "m", CmdMode, 1, "M                                         - Shows current Mode info"},
    {SEC_BASIC, "show;sh", CmdShow, 1, "SHOW [..]                                 - Shows a test pattern to screen"},
    {SEC_BASIC, "win", CmdWin, 0, "WIN [MAIN|PIP] [SA=addr] [F=n] [..]       - Sets up the display window"},
    {SEC_BASIC, "set", CmdSet, 1, "SET [token [expression]]                  - Sets register, feature, $variable"},
    {SEC_BASIC, "r;r8;r16;r32", CmdRead, 0, "R[8|16|32] [addr1 addr2 ..]               - Reads from memory"},
    {SEC_BASIC, "w;w8;w16;w32", CmdWrite, 0, "W[8|16|32] [addr [data1 data2 ..]         - Writes to memory"},
    {SEC_BASIC, "f;f8;f16;f32", CmdFill, 0, "F[8|16|32] start end|len data1 [data2 ..] - Fills current window"},
    {SEC_BASIC, "d;d8;d16;d32", CmdDump, 0, "D[8|16|32] [start [end|len]]              - Dumps memory to screen"},
    {SEC_BASIC, "s;s8;s16;s32", CmdSearch, 0, "S[8|16|32] start end|len data1 [data2 ..] - Searches memory for a match"},
    {SEC_BASIC, "x;x8;x16;x32;xa;xb", CmdReg, 0, "X[A|B][8|16|32] [index [data]]            - Register Get/Set"},
    {SEC_BASIC, "xf;xf8;xf16;xf32", CmdRegFill, 0, "XF[8|16|32] index cycle data1 [data2 ..]  - Register Fill"},
    {SEC_BASIC, "xr;xr8;xr16;xr32", CmdRegReread, 0, "XR[8|16|32] index [cycle]                 - Register Re-Read"},
    {SEC_BASIC, "xfb;xfb8;xfb16;xfb32", CmdRegFillBurst, 0, "XFB[8|16|32] index cycle data1 [data2 ..] - Register Fill in burst"},
    {SEC_BASIC, "xrb;xrb8;xrb16;xrb32", CmdRegRereadBurst, 0, "XRB[8|16|32] index [cycle]                - Register Re-Read in burst"},
    {SEC_BASIC, "xbs;bitstatus", CmdBitStatus, 0, "XBS REG[8|16|32]=r [BIT=b [GPIO=g]] [..]  - Register Bit Status"},
    {SEC_BASIC, "bar;bar8;bar16;bar32", CmdBar, 0, "BAR[8|16|32] n [index [data]]             - Register Get/Set using PCI BAR"},
    {SEC_BASIC, "q;quit;ex;exit", CmdQuit, 1, "Q                                         - Quits PLAY"},
    {SEC_BASIC, "?;help", CmdHelp, 1, "? [regindex|searchtext]                   - Help, or use to search chip info"},
    {SEC_ADVANCED, "calc", CmdCalc, 1, "CALC expression                           - Built-in calculator"},
    {SEC_ADVANCED, "debug", CmdDebug, 0, "DEBUG                                     - HCL debugging"},
    {SEC_ADVANCED, "diagnose;diagn", CmdDiagnose, 1, "DIAGNOSE                                  - Diagnose using spec restrictions"},
    {SEC_ADVANCED, "fdump;fdump8;fdump16;fdump32", CmdFdump, 0, "FDUMP[8|16|32] file area s [e|len] [..]   - Write to file"},
    {SEC_ADVANCED, "fload;fload8;fload16;fload32", CmdFload, 0, "FLOAD[8|16|32] file area s [e|len] [..]   - Read from file"},
    {SEC_ADVANCED, "flog", CmdFlog, 0, "FLOG file [CMD|OUT|SET=ON|OFF] [..]       - Logs output to file"},
    {SEC_ADVANCED, "fsize;fsize8;fsize16;fsize32", CmdFsize, 1, "FSIZE[8|16|32] file                       - Returns file size"},
    {SEC_ADVANCED, "h;halt", CmdHalt, 1, "H [nLines]                                - Halts by nLines when screen fills"},
    {SEC_ADVANCED, "l;l1;l2;l1a;l2a", CmdLut, 0, "L[1|2][A] index [[red green blue]|[data]] - Programs the Look-Up Tables"},
    {SEC_ADVANCED, "run", CmdRun, 1, "[RUN] [scriptfile]                        - Runs a script file"},
    {SEC_ADVANCED, "runpath", CmdRunPath, 1, "RUNPATH [path1[ path2 path3 .. pathN]]    - Sets path to run scripts from"},
    {SEC_ADVANCED, "ver;version", CmdVersion, 1, "VER                                       - Show build version info"},
    {SEC_SCRIPT, "goto", CmdGoto, 1, "GOTO sectionname                          - Jumps execution to section"},
    {SEC_SCRIPT, "section", CmdSection, 1, "SECTION sectionname                       - Defines start of a section"},
    {SEC_SCRIPT, "if", CmdIf, 1, "IF expression [THEN] statements           - Single-line IF statement"},
    {SEC_SCRIPT, "else", CmdElse, 1, "ELSE statements                           - Tied to the last IF statement"},
    {SEC_SCRIPT, "while", CmdWhile, 1, "WHILE expression [DO] statements          - Single-line WHILE statement"},
    {SEC_SCRIPT, "delay", CmdDelay, 1, "DELAY microseconds                        - Delays for a period of time"},
    {SEC_SCRIPT, "sleep", CmdSleep, 1, "SLEEP milliseconds                        - Sleeps for a period of time"},
    {SEC_SCRIPT, "print", CmdPrint, 1, "PRINT \"message\"|token|expression [..]     - Prints multiple messages|tokens"},
    {SEC_SCRIPT, "input", CmdInput, 1, "INPUT LINE|KEY|PEEK                       - Returns user keyboard input"},
    {SEC_SCRIPT, "shell", CmdShell, 1, "SHELL [\"command\" [\"args\"] [..]]           - Start system command shell"},
    {SEC_SCRIPT, "singlestep", CmdSingleStep, 1, "SINGLESTEP [ON|OFF]                       - Runs scripts one line at a time"},
    {SEC_SCRIPT, "verbose", CmdVerbose, 1, "VERBOSE [CMD|OUT|SET=ON|OFF] [..]         - Silences: COMmandline,OUTput,SETs"},
    {SEC_HIDDEN, "reset", CmdReset, 1, "RESET                                     - Reset USB interface"},
};
// clang-format on

bool FindCommand(const char* word, uint32_t* row) {
    return FindCommand(g_Commands, word, row);
}
