#pragma once
// printf-style formatting into a string of the exact size, with no length limit.
//
//     std::string text = FormatText("File \"%s\" opened.", path);
#include <string>

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
