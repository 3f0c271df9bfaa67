#include "ProgramFolder.h"

#include "mdlPublic.h"

#include <sys/stat.h>
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

// Folders of the system's own tree. Whoever runs a copy there, root included,
// must not leave files beside it: the next user's run would pick that folder
// for its settings and fail to write them.
constexpr std::string_view kSystemRoots[] = {"/usr", "/bin",  "/sbin", "/lib", "/lib32", "/lib64",
                                             "/libx32", "/opt", "/snap", "/nix", "/etc", "/boot"};
}  // namespace

bool isSystemFolder(std::string_view folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
    for (std::string_view root : kSystemRoots) {
        if (folder.substr(0, root.size()) == root && (folder.size() == root.size() || folder[root.size()] == '/'))
            return true;
    }
    return false;
}

std::string choose(const Facts& f) {
    if (f.vistrovaHome) return *f.vistrovaHome;
    const bool ownFolder = !f.exeDir.empty() && f.exeDirOwnedByUser && !f.exeDirWritableByOthers &&
                           !f.exeDirInstalled && !isSystemFolder(f.exeDir);
    if (ownFolder && (f.exeDirHasSettings || f.exeDirWritable)) return f.exeDir;
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
        struct stat st {};
        if (::stat(f.exeDir.c_str(), &st) == 0) {
            f.exeDirOwnedByUser = st.st_uid == ::geteuid();
            f.exeDirWritableByOthers = (st.st_mode & S_IWOTH) != 0;
        }
        const std::filesystem::path dir(f.exeDir);
        f.exeDirInstalled = dir.filename() == "bin" &&
                            std::filesystem::is_directory(dir.parent_path() / "share" / "vistrova", ec);
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
