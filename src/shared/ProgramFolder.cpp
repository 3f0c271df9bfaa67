#include "ProgramFolder.h"

#include "mdlPublic.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace programfolder {
namespace {
std::optional<std::string> env(const char* name) {
    const char* v = std::getenv(name);
    if (!v || !*v) return std::nullopt;
    return std::string(v);
}
}  // namespace

std::string choose(const Facts& f) {
    if (f.vistrovaHome) return *f.vistrovaHome;
    if (!f.exeDir.empty() && (f.exeDirHasSettings || f.exeDirWritable)) return f.exeDir;
    std::string base = f.xdgConfigHome ? *f.xdgConfigHome : f.home + "/.config";
    return base + "/vistrova";
}

std::string executableDir() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

std::string resolve() {
    Facts f;
    f.vistrovaHome = env("VISTROVA_HOME");
    f.exeDir = executableDir();
    if (!f.exeDir.empty()) {
        std::error_code ec;
        f.exeDirHasSettings = std::filesystem::exists(mdlPublic::settingsPathOf(f.exeDir), ec);
        f.exeDirWritable = ::access(f.exeDir.c_str(), W_OK) == 0;
    }
    // XDG says a relative XDG_CONFIG_HOME is to be ignored.
    if (auto xdg = env("XDG_CONFIG_HOME"); xdg && xdg->front() == '/') f.xdgConfigHome = xdg;
    f.home = env("HOME").value_or("");
    const std::string folder = choose(f);
    if (!f.vistrovaHome && folder != f.exeDir) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
    }
    return folder;
}

}  // namespace programfolder
