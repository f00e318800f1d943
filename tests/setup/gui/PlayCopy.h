#pragma once
// A copy of the built play in a temporary folder, executable by its owner, beside a folder for
// its simulated board: what the end-to-end tests configure and then run.
#include "support/PlayProcess.h"

#include <QTemporaryDir>
#include <filesystem>
#include <string>

struct PlayCopy {
    QTemporaryDir Folder;
    std::string Program; // the copy
    std::string Board;   // the simulated board's folder

    // Makes a fresh copy; false when the folder could not be made.
    bool Make() {
        namespace fs = std::filesystem;
        if (!Folder.isValid()) {
            return false;
        }
        Program = Folder.filePath("play").toStdString();
        fs::copy_file(q3vtest::PlayPath(), Program, fs::copy_options::overwrite_existing);
        fs::permissions(Program,
                        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
        Board = Folder.filePath("sim").toStdString();
        fs::create_directories(Board);
        return true;
    }
};
