#pragma once
// Installing the program as a screen saver: the copied set (program as
// VISTROVA.SCR, settings file, list files 00..99) and the entry in the
// user's xscreensaver configuration.

#include <optional>
#include <string>
#include <string_view>

namespace screensaver {

inline constexpr std::string_view kProgramName = "VISTROVA.SCR";

// $XDG_DATA_HOME/vistrova/screensaver, by default ~/.local/share/vistrova/screensaver.
std::string targetFolder(const std::optional<std::string>& xdgDataHome, const std::string& home);
std::string targetFolder();  // from this process's environment

struct Result {
    enum Status {
        Done,
        NoTarget,    // the target folder could not be made (a file stands there, no permission)
        CopyFailed,  // `path` could not be copied
        NoSettings,  // the program was copied, the settings file is missing
    };
    Status status = Done;
    std::string path;
};

// Copies the set into `target` (made when missing). Each file is replaced
// atomically, so a running copy of the screen saver is never cut short; a source
// that is the target itself is skipped. Copies made before a failure stay.
Result install(const std::string& programPath, const std::string& settingsPath, const std::string& listPrefix,
               const std::string& target);

// The xscreensaver configuration with one entry running `command` added to its
// programs list; nothing when an entry for the program is there already.
std::optional<std::string> addProgramEntry(std::string_view config, std::string_view programPath);

enum class Registration { Added, AlreadyThere, NoConfig, Refused };
// Registers the installed copy in `configPath` (~/.xscreensaver) when that file
// exists. A file that cannot be read or written, or is implausibly large, is
// left exactly as it was (Refused).
Registration registerProgram(const std::string& configPath, const std::string& programPath);

}  // namespace screensaver
