#include "ScreenSaver.h"

#include "shared/IniFile.h"
#include "shared/ListStore.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace screensaver {
namespace {

// The configuration of a real user is a few hundred kilobytes at most.
constexpr std::uintmax_t kMaxConfigBytes = 8u << 20;

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

std::string Join(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (path.empty() || path.back() != '/') path += '/';
    path += name;
    return path;
}

// Quotes a path for the command line xscreensaver hands to the shell.
std::string ShellWord(std::string_view s) {
    if (!s.empty() && s.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-+") ==
                          std::string_view::npos) {
        return std::string(s);
    }
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

std::string targetFolder(const std::optional<std::string>& xdgDataHome, const std::string& home) {
    const std::string base = (xdgDataHome && !xdgDataHome->empty() && xdgDataHome->front() == '/')
                                 ? *xdgDataHome
                                 : home + "/.local/share";
    return base + "/vistrova/screensaver";
}

std::string targetFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    return targetFolder(xdg ? std::optional<std::string>(xdg) : std::nullopt, home ? home : "");
}

Result install(const std::string& programPath, const std::string& settingsPath, const std::string& listPrefix,
               const std::string& target) {
    std::error_code ec;
    fs::create_directories(target, ec);
    if (!fs::is_directory(target, ec)) return {Result::NoTarget, target};

    const auto copy = [](const std::string& from, const std::string& to) {
        return SameFile(from, to) || ini::copyFile(from, to);
    };
    if (!copy(programPath, Join(target, kProgramName))) return {Result::CopyFailed, programPath};
    if (!fs::exists(settingsPath, ec)) return {Result::NoSettings, settingsPath};
    if (!copy(settingsPath, Join(target, "VISTROVA.INI"))) return {Result::CopyFailed, settingsPath};
    for (int n = 0; n < 100; ++n) {
        const std::string list = liststore::listFilePath(listPrefix, n / 10, n % 10);
        if (!fs::exists(list, ec)) continue;
        if (!copy(list, liststore::listFilePath(Join(target, "FILE"), n / 10, n % 10))) {
            return {Result::CopyFailed, list};
        }
    }
    return {};
}

std::optional<std::string> addProgramEntry(std::string_view config, std::string_view programPath) {
    if (config.find(programPath) != std::string_view::npos) return std::nullopt;
    const std::string entry = "  \"Vistrova\"  " + ShellWord(programPath) + " --root";

    // Find the line that starts the programs resource.
    std::size_t lineStart = 0;
    while (lineStart <= config.size()) {
        std::size_t lineEnd = config.find('\n', lineStart);
        if (lineEnd == std::string_view::npos) lineEnd = config.size();
        const std::string_view line = config.substr(lineStart, lineEnd - lineStart);
        const std::size_t first = line.find_first_not_of(" \t");
        if (first != std::string_view::npos && line.substr(first, 9) == "programs:") {
            std::string out(config.substr(0, lineStart));
            std::string_view value = line.substr(first + 9);
            const std::size_t v = value.find_first_not_of(" \t");
            value = v == std::string_view::npos ? std::string_view() : value.substr(v);
            const std::string_view rest = lineEnd < config.size() ? config.substr(lineEnd + 1) : std::string_view();
            if (!value.empty() && value.back() == '\\') {
                // A continued list: our entry goes first, continued in turn.
                out.append(line);
                out += '\n';
                out += entry + "\t\\n\\\n";
                out.append(rest);
            } else {
                out += "programs:\t\\\n";
                if (value.empty()) {
                    out += entry + "\t\\n\n";
                } else {
                    out += entry + "\t\\n\\\n";
                    out += "\t\t";
                    out.append(value);
                    out += '\n';
                }
                out.append(rest);
            }
            return out;
        }
        if (lineEnd == config.size()) break;
        lineStart = lineEnd + 1;
    }
    std::string out(config);
    if (!out.empty() && out.back() != '\n') out += '\n';
    out += "programs:\t\\\n" + entry + "\t\\n\n";
    return out;
}

Registration registerProgram(const std::string& configPath, const std::string& programPath) {
    std::error_code ec;
    if (!fs::exists(configPath, ec)) return Registration::NoConfig;
    const auto size = fs::file_size(configPath, ec);
    if (ec || size > kMaxConfigBytes || ::access(configPath.c_str(), R_OK | W_OK) != 0) return Registration::Refused;
    const std::string config = ini::loadFile(configPath);
    if (config.size() != size) return Registration::Refused;  // unreadable, or changed under us
    const auto updated = addProgramEntry(config, programPath);
    if (!updated) return Registration::AlreadyThere;
    return ini::replaceFile(configPath, *updated) ? Registration::Added : Registration::Refused;
}

}  // namespace screensaver
