#pragma once
// The shell's texts that follow the selected product: the program's name (the caption of
// every message box), the build number, the main window's title and the debug window's title.
//
//     MainTitle("/tmp/play");   // "play - 47K20 Configuration Utility  (Build 38)"
#include <string>

// "%sSETUP" with the product's name.
std::string GetProgramName();
// The number in the program's revision text.
unsigned GetBuildNumber();
// "[name - ]<product> Configuration Utility  ([Debug ]Build n)"; openPath empty for none.
std::string MainTitle(const std::string& openPath, bool debugBuild);
// "<prefix and name> Debug Output".
std::string DebugTitle();
// "&About %sSETUP..." with the product's name.
std::string AboutItemText();
// The About box's title: "About %sSETUP" with the product's name.
std::string AboutTitle();
// The About box's version line: "<program name> - Build n [L:84 A:62]", with the numbers of
// the layer's and the API's revision texts. The program carries no version resource, so no
// " Version ..." follows the name.
std::string AboutVersionText();
