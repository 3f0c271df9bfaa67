#pragma once
// Where the settings file and the list files live, for both programs.

#include <optional>
#include <string>

namespace programfolder {

struct Facts {
    std::optional<std::string> vistrovaHome;  // VISTROVA_HOME, when set and not empty
    std::string exeDir;                       // folder of the running executable
    bool exeDirHasSettings = false;           // it holds VISTROVA.INI
    bool exeDirWritable = false;
    std::optional<std::string> xdgConfigHome; // XDG_CONFIG_HOME, when set and absolute
    std::string home;                         // HOME
};

// VISTROVA_HOME; else the executable's folder when it holds the settings file
// or can take one; else $XDG_CONFIG_HOME/vistrova (~/.config/vistrova).
std::string choose(const Facts& facts);

// Folder of the running executable ("" when it cannot be found).
std::string executableDir();

// choose() on this process's environment and files. Creates the per-user
// folder when that is the answer and it is missing.
std::string resolve();

}  // namespace programfolder
