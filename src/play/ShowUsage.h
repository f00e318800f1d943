#pragma once
// SHOW's usage text, and with "??" the list of every converter format that F= can name.

// Prints the usage (CAT_OUT); withFormats adds the format list. Always true.
bool PrintShowUsage(bool withFormats);
