#pragma once
// The board's controls by name, as tests/support/board_controls.txt lists them (the build passes
// the list in as Q3V_BOARD_CONTROLS, the names separated by spaces).

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace q3vtest {

inline std::vector<std::string> BoardControlNames() {
    std::vector<std::string> names;
    std::istringstream list(Q3V_BOARD_CONTROLS);
    for (std::string name; list >> name;) {
        names.push_back(name);
    }
    return names;
}

// Removes every control from the process's environment.
inline void ClearBoardControls() {
    for (const std::string& name : BoardControlNames()) {
        unsetenv(name.c_str());
    }
}

} // namespace q3vtest
