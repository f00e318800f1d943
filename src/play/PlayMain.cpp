#include <cstdio>

int main() {
    std::printf("PLAY test utility\n");
    return 0;
}
