#pragma once
// Where the settings file and the list files live, for both programs.

#include <optional>
#include <string>
#include <string_view>

namespace programfolder {

struct Facts {
    std::optional<std::string> vistrovaHome;  // VISTROVA_HOME, when set and not empty
    std::string exeDir;                       // folder of the running executable
    bool exeDirHasSettings = false;           // it holds VISTROVA.INI
    bool exeDirWritable = false;
    bool exeDirOwnedByUser = false;           // owned by the running (effective) user
    bool exeDirWritableByOthers = false;      // world-writable, like /tmp
    bool exeDirInstalled = false;             // a bin folder beside share/vistrova: an installed layout
    std::optional<std::string> xdgConfigHome; // XDG_CONFIG_HOME, when set and absolute
    std::string home;                         // HOME
};

// True for the folders an installed program lives in (/usr/bin, /opt/...,
// /snap/...): they belong to the system, not to whoever runs the program.
bool isSystemFolder(std::string_view folder);

// VISTROVA_HOME; else the executable's folder when it is a folder of the
// user's own (owned by them, not writable by everyone, no system folder and
// no installed layout) that holds the settings file or can take one; else
// $XDG_CONFIG_HOME/vistrova (~/.config/vistrova).
std::string choose(const Facts& facts);

// Folder of the running executable ("" when it cannot be found).
std::string executableDir();

// choose() on this process's environment and files. Creates the per-user
// folder when that is the answer and it is missing.
std::string resolve();

}  // namespace programfolder
