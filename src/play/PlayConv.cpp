// The program-wide query converter, built on first use.
#include "play/PlayConv.h"

Conv& QueryConv() {
    static Conv conv;
    return conv;
}
