// The line editor on a real terminal with a small fixed dictionary: prints the prompt "=",
// reads lines with history and completion, and answers each with "got:[line]" until "quit"
// or the end of the input. Driven by tmux_test.py.
#include "play/Keywords.h"
#include "play/LineEditor.h"

#include <cstdio>
#include <cstring>
#include <string>

int main() {
    ConsoleInit();
    Tree dictionary(&FreeWordNode);
    KeywordInit(&dictionary);
    for (const char* word : {"hdp", "hdisp", "vdp"}) {
        KeywordAdd(&dictionary, word);
    }
    for (int i = 10; i < 22; ++i) {
        KeywordAdd(&dictionary, ("pip" + std::to_string(i)).c_str());
    }
    KeywordSetActive(&dictionary);
    char line[256];
    for (;;) {
        std::printf("=");
        std::fflush(stdout);
        const char* got = ReadCommandLine(line, sizeof line);
        if (LineInputEnded()) {
            break;
        }
        std::printf("got:[%s]\n", got ? got : "");
        if (got && std::strcmp(got, "quit") == 0) {
            break;
        }
    }
    KeywordSetActive(nullptr);
    return 0;
}
