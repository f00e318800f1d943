#pragma once
// Words that name files. Here "/" separates folders, so a file word that holds a "/" and does
// not begin with "$", "(" or a double quote is a path taken as given: "run ab/cd" runs the
// file ab/cd instead of dividing two hexadecimal numbers. Every other file word is evaluated.
#include <string>

// Whether the word is a path to take as given (above).
bool IsPathWord(const char* word);

// The file name that a word gives: a path word as given; otherwise the word evaluated in the
// running script's scope: a text as it is, a number as its digits in upper case, hexadecimal by
// default ("bed" gives "BED") or decimal, a word that does not evaluate taken literally.
enum class FileNumberDigits { kHexadecimal, kDecimal };
std::string FileNameOfWord(const char* word,
                           FileNumberDigits digits = FileNumberDigits::kHexadecimal);
