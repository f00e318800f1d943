// Prints the version text of its own configuration block, as a program built on the layer does
// at start.

#include "hcl/HclVersion.h"

#include <cstdio>

int main() {
    char text[1024];
    oxHclGetVersionText("ELFBLOCK", "block round trip", " $Revision: 1 $", text, sizeof text);
    std::fputs(text, stdout);
    return 0;
}
