#pragma once
// The section index of a script: every occurrence of the letters "section" (any case, anywhere:
// in a comment, inside a longer word) marks a place that GOTO can jump to, named by the text
// after the letters. The index is built once when the script is loaded.
#include "play/ScriptState.h"

#include <string_view>

// Clears the table and indexes the text. An entry's offset is where the letters stand; its name
// is the text after them, blanks and tabs skipped, up to a blank, tab, CR, LF or the end (empty
// names are kept but never found). More than kMaxSections occurrences, or a name of
// kSectionNameSize characters or more, is reported (CAT_ERR) and ends the indexing; then every
// name given more than once is reported once. Reports never stop the script.
void BuildSectionIndex(const char* text, ScriptSection (&sections)[kMaxSections]);

// The first non-empty section named name ignoring case; nullptr when none.
const ScriptSection* FindSection(const ScriptSection (&sections)[kMaxSections],
                                 std::string_view name);
