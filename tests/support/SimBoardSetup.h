#pragma once
// Shared pieces of the fixtures that run the layer against the simulated board: a freshly
// powered board in a test folder with every control back at its default, and the answers to the
// layer's prompts.

#include "board/BoardControl.h"
#include "board/SimBoard.h"
#include "platform/Console.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace q3vtest {

// Selects the folder as the boards' folder and board 0 (Q3VBOARD unset), puts the board
// controls back at their defaults with every board present, and powers board 0 on afresh.
// nullptr when the board cannot be attached.
inline std::shared_ptr<board::SimBoard> PowerOnFreshBoard(const std::string& folder) {
    setenv("Q3VSIM_DIR", folder.c_str(), 1);
    unsetenv("Q3VBOARD");
    board::ResetControls();
    for (unsigned i = 0; i < board::kBoardCount; ++i) {
        board::SetAbsent(i, false);
    }
    auto simBoard = board::SimBoard::Attach(folder, 0);
    if (simBoard != nullptr) {
        simBoard->PowerOn();
    }
    return simBoard;
}

// Keys for the layer's prompts: every report is answered n ("go on").
inline void AnswerNo() {
    static const std::string s_Keys(512, 'n');
    ConsoleSetInputForTesting(s_Keys.data(), static_cast<unsigned>(s_Keys.size()));
}

} // namespace q3vtest
