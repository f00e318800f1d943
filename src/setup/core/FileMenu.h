#pragma once
// The File menu's commands on configurable files: Open (the chooser, then the load), Save in
// place, and Save As (the chooser with the filter of the open file's kind, then the save).
// Each reports its own failures in a warning box; a success changes g_OpenPath.
//
//     if (OnFileOpen()) { refresh the title and the page }
#include <string>

// Asks for a file and loads it; on success it becomes the open file.
bool OnFileOpen();
// Saves the open file in place; on success the information box names it.
bool OnFileSave();
// Asks for a new name and saves the open file's bytes there; on success the new name becomes
// the open file and the information box names it.
bool OnFileSaveAs();

// "Configuration data saved in file \"%s\"."
std::string SavedText(const std::string& path);
