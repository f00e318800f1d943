#pragma once
// File > Import: the user picks an INI file written by the INI export, and the working
// configuration takes its values. The check box "Overwrite Registers from Imported Data"
// chooses between replacing the register list and merging the imported values into it; its
// state is kept for the run. The import's warnings are shown in a message box.
#include <string>

// The check box's id in the import chooser.
inline constexpr int kIdOverwriteRegisters = 3001;
// The size of the import's report text.
inline constexpr unsigned kImportReportSize = 16384;

// Runs the import through the file chooser; true when a file was imported.
bool OnImport();

// The check box's state for the next import (off at the program's start).
bool GetImportOverwriteRegisters();
void SetImportOverwriteRegisters(bool on);
