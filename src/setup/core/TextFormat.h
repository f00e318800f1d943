#pragma once
// printf-style formatting into a string of the exact size, with no length limit.
//
//     std::string text = FormatText("File \"%s\" opened.", path);
#include <cstdarg>
#include <string>

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatTextV(const char* format, va_list args);
