#include "ProgramFolder.h"

#include "mdlPublic.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace programfolder {
namespace {
std::optional<std::string> Env(const char* name) {
    const char* v = std::getenv(name);
    if (!v || !*v) return std::nullopt;
    return std::string(v);
}
}  // namespace

std::string Choose(const Facts& f) {
    if (f.vistrovaHome) return *f.vistrovaHome;
    if (!f.exeDir.empty() && (f.exeDirHasSettings || f.exeDirWritable)) return f.exeDir;
    std::string base = f.xdgConfigHome ? *f.xdgConfigHome : f.home + "/.config";
    return base + "/vistrova";
}

std::string ExecutableDir() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

std::string Resolve() {
    Facts f;
    f.vistrovaHome = Env("VISTROVA_HOME");
    f.exeDir = ExecutableDir();
    if (!f.exeDir.empty()) {
        std::error_code ec;
        f.exeDirHasSettings = std::filesystem::exists(mdlPublic::SettingsPathOf(f.exeDir), ec);
        f.exeDirWritable = ::access(f.exeDir.c_str(), W_OK) == 0;
    }
    // XDG says a relative XDG_CONFIG_HOME is to be ignored.
    if (auto xdg = Env("XDG_CONFIG_HOME"); xdg && xdg->front() == '/') f.xdgConfigHome = xdg;
    f.home = Env("HOME").value_or("");
    const std::string folder = Choose(f);
    if (!f.vistrovaHome && folder != f.exeDir) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
    }
    return folder;
}

}  // namespace programfolder
