#pragma once
// The built-in UI description: the lines of uifeatures.xml compiled into the program, each
// without its line end (a build step writes them from the source file).
#include <cstdint>

extern const char* const UIFeaturesXml[];
extern const uint32_t UIFeaturesXmlLineCount;
