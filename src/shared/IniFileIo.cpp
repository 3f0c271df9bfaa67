#include "IniFileIo.h"

#include "IniFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>
#include <vector>

namespace ini {
namespace {

mode_t currentUmask() {
    // Read once; umask() can only be read by setting it.
    static const mode_t mask = [] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return mask;
}

// Writes all of `data`; 0, or the error number of the write that failed.
int writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}


// Reads to the end of an open regular file straight into one buffer; 0, or
// the error number of a read that failed part-way.
int readAll(int fd, std::string& out, std::size_t sizeHint) {
    out.clear();
    out.resize(sizeHint);
    std::size_t filled = 0;
    char more[1 << 12];
    for (;;) {
        // Past the size the file had, a small block tells the end from growth,
        // so a full buffer is not reallocated just to find the end.
        const bool full = filled == out.size();
        const ssize_t n = full ? ::read(fd, more, sizeof more) : ::read(fd, out.data() + filled, out.size() - filled);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            out.clear();
            return errno;
        }
        if (full) out.append(more, static_cast<std::size_t>(n));
        filled += static_cast<std::size_t>(n);
    }
    out.resize(filled);
    return 0;
}

bool isMissingError(int error) { return error == ENOENT || error == ENOTDIR; }

// What following the links of a path found.
enum class Resolved {
    Ok,       // `target` holds the path without links (it may not exist)
    Refused,  // a link another user planted in a shared folder, or a loop
};

// Whether a link may be followed, by the rule the kernel applies with
// protected_symlinks: a link in a sticky folder that everyone may write (like
// /tmp) is followed only when it belongs to the follower or to the folder's
// owner. Applied by hand, as the kernel leaves it switched off on some systems
// and never applies it to links a program reads itself.
bool mayFollow(const std::string& folder, const struct stat& link) {
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0) return false;
    const bool shared = (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == dir.st_uid;
}

std::string joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// The path a read or a write lands on, with every link of every component
// followed by hand, so that each hop of a chain is judged by mayFollow; the
// file opened afterwards is reached without following any link.
Resolved resolveTarget(const std::filesystem::path& file, std::filesystem::path& target) {
    std::error_code ec;
    const std::filesystem::path absolute = file.is_absolute() ? file : std::filesystem::current_path(ec) / file;
    if (ec) return Resolved::Refused;
    std::vector<std::string> pending;  // components still to walk, the next one last
    const auto push = [&pending](const std::filesystem::path& p) {
        std::vector<std::string> parts;
        for (const auto& part : p.relative_path()) parts.push_back(part.string());
        pending.insert(pending.end(), parts.rbegin(), parts.rend());
    };
    push(absolute);
    std::string resolved = "/";
    int links = 0;
    while (!pending.empty()) {
        const std::string part = std::move(pending.back());
        pending.pop_back();
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            // `resolved` holds no link, so its parent is the real one.
            resolved = std::filesystem::path(resolved).parent_path().string();
            continue;
        }
        std::string next = joined(resolved, part);
        struct stat st {};
        if (::lstat(next.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            resolved = std::move(next);
            continue;
        }
        if (++links > 40 || !mayFollow(resolved, st)) return Resolved::Refused;
        const std::filesystem::path link = std::filesystem::read_symlink(next, ec);
        if (ec) return Resolved::Refused;
        if (link.is_absolute()) resolved = "/";
        push(link);
    }
    target = resolved;
    return Resolved::Ok;
}

// Opens a regular file without following it into anything else: the path is
// resolved by hand first (a refused link reads as unreadable), lstat before
// opening so a device is never opened, O_NONBLOCK so a FIFO swapped in
// meanwhile cannot block, and fstat to check what was opened. When nothing is
// opened, `error` tells why: the failed call's error number, EINVAL for a
// refused link or what is not a regular file.
int openRegular(const std::filesystem::path& file, int flags, Presence& presence, struct stat& st, int& error) {
    const auto fail = [&](Presence found, int why) {
        presence = found;
        error = why;
        return -1;
    };
    std::filesystem::path target;
    if (resolveTarget(file, target) != Resolved::Ok) return fail(Presence::Unreadable, EINVAL);
    if (::lstat(target.c_str(), &st) != 0) {
        return fail(isMissingError(errno) ? Presence::Missing : Presence::Unreadable, errno);
    }
    if (!S_ISREG(st.st_mode)) return fail(Presence::NotRegular, EINVAL);
    const int fd = ::open(target.c_str(), flags | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return fail(isMissingError(errno) ? Presence::Missing : Presence::Unreadable, errno);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(Presence::NotRegular, EINVAL);
    }
    presence = Presence::Read;
    error = 0;
    return fd;
}

using Existing = PendingReplace::Existing;

// Temporaries are named "." + file name + "." + six letters or digits + ".tmp",
// which no other file's temporary can be.
constexpr std::string_view kTempSuffix = ".tmp";
constexpr int kTempRandom = 6;

bool isTempOf(std::string_view entry, std::string_view name) {
    const std::size_t prefix = 1 + name.size() + 1;
    if (entry.size() != prefix + kTempRandom + kTempSuffix.size()) return false;
    if (entry[0] != '.' || entry.substr(1, name.size()) != name || entry[prefix - 1] != '.') return false;
    if (entry.substr(prefix + kTempRandom) != kTempSuffix) return false;
    const std::string_view random = entry.substr(prefix, kTempRandom);
    return std::all_of(random.begin(), random.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

// Removes temporaries of `name` left by killed writes. A writer holds a lock on
// its temporary until it is renamed, so one being written right now is kept.
void removeStaleTemps(const std::filesystem::path& dir, std::string_view name) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    const int dirFd = ::dirfd(d);
    while (const dirent* e = ::readdir(d)) {
        if (!isTempOf(e->d_name, name)) continue;
        const int fd = ::openat(dirFd, e->d_name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ::unlinkat(dirFd, e->d_name, 0);
        }
        ::close(fd);
    }
    ::closedir(d);
}

// Writes to a file descriptor through a block buffer, so that the many short
// pieces of an edit cost few system calls; long pieces go straight through.
class FdSink {
public:
    explicit FdSink(int fd) : m_fd(fd) { m_buffer.reserve(kBlock); }
    bool put(std::string_view bytes) {
        if (m_error != 0) return false;
        if (m_buffer.size() + bytes.size() > kBlock && !flush()) return false;
        if (bytes.size() >= kBlock) return (m_error = writeAll(m_fd, bytes)) == 0;
        m_buffer.append(bytes);
        return true;
    }
    bool flush() {
        if (m_error == 0 && !m_buffer.empty()) m_error = writeAll(m_fd, m_buffer);
        m_buffer.clear();
        return m_error == 0;
    }
    // The error number of the write that failed, 0 while none has.
    int error() const { return m_error; }

private:
    static constexpr std::size_t kBlock = 1 << 16;
    int m_fd;
    std::string m_buffer;
    int m_error = 0;
};

// Writes the new content through `fill` into a temporary beside `target`,
// then renames it over the target. The reason is that of the first call that
// failed; EINVAL when `fill` gave up without a write failing.
errors::Outcome<> replaceTarget(const std::filesystem::path& target, const std::function<bool(const Put&)>& fill,
                                const Existing& old) {
    std::filesystem::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    const std::string name = target.filename().string();

    std::string tmpl = (dir / ("." + name + "." + std::string(kTempRandom, 'X') + std::string(kTempSuffix))).string();
    const int fd = ::mkstemps(tmpl.data(), static_cast<int>(kTempSuffix.size()));
    if (fd < 0) return errors::systemFailure(errno);
    // The lock lives as long as `lockFd`, past the checked close of `fd`, so no
    // other writer takes this temporary for a stale one before the rename.
    ::flock(fd, LOCK_EX);
    const int lockFd = ::dup(fd);

    int error = 0;
    const auto check = [&error](bool done) {
        if (!done && error == 0) error = errno;
        return done;
    };
    const mode_t mode = old.exists ? old.mode : (0666 & ~currentUmask());
    bool ok = check(::fchmod(fd, mode) == 0);
    // Keep the owner of a file written by someone allowed to (best effort).
    if (ok && old.exists && (old.uid != ::geteuid() || old.gid != ::getegid())) {
        if (::fchown(fd, old.uid, old.gid) != 0) { /* the file becomes ours */ }
        ok = check(::fchmod(fd, mode) == 0);  // chown clears set-id bits
    }
    if (ok) {
        FdSink sink(fd);
        ok = fill([&sink](std::string_view bytes) { return sink.put(bytes); }) && sink.flush();
        if (!ok) error = sink.error() != 0 ? sink.error() : EINVAL;
    }
    // The bytes reach the disk before the name points at them, so a crash
    // right after a save leaves the old file or the new one, never an empty one.
    if (ok) ok = check(::fdatasync(fd) == 0);
    ok = check(::close(fd) == 0) && ok;
    if (ok) ok = check(std::rename(tmpl.c_str(), target.c_str()) == 0);
    if (!ok) ::unlink(tmpl.c_str());
    if (lockFd >= 0) ::close(lockFd);
    if (!ok) return errors::systemFailure(error);
    removeStaleTemps(dir, name);
    return {};
}

// Follows the links of `file` to the path a write lands on.
errors::Outcome<std::filesystem::path> writeTarget(const std::filesystem::path& file) {
    std::filesystem::path target;
    if (file.empty() || !file.has_filename() || resolveTarget(file, target) != Resolved::Ok) {
        return errors::systemFailure(EINVAL);
    }
    return target;
}

}  // namespace

Loaded load(const std::filesystem::path& file) {
    Loaded loaded;
    struct stat st {};
    int error = 0;
    const int fd = openRegular(file, O_RDONLY, loaded.presence, st, error);
    if (fd < 0) return loaded;
    if (readAll(fd, loaded.content, static_cast<std::size_t>(st.st_size)) != 0) {
        loaded.presence = Presence::Unreadable;
        loaded.content.clear();
    }
    ::close(fd);
    return loaded;
}

std::string loadFile(const std::filesystem::path& file) { return load(file).content; }

errors::Outcome<PendingReplace> PendingReplace::open(const std::filesystem::path& file) {
    const errors::Outcome<std::filesystem::path> target = writeTarget(file);
    if (!target) return target.failure();
    PendingReplace pending;
    pending.m_target = target.value();
    Presence presence = Presence::Missing;
    struct stat st {};
    int error = 0;
    const int fd = openRegular(pending.m_target, O_RDWR, presence, st, error);
    if (fd < 0) {
        if (presence == Presence::Missing) return pending;
        return errors::systemFailure(error);
    }
    error = readAll(fd, pending.m_content, static_cast<std::size_t>(st.st_size));
    ::close(fd);
    if (error != 0) return errors::systemFailure(error);
    pending.m_existing = {true, static_cast<mode_t>(st.st_mode & 07777), st.st_uid, st.st_gid};
    return pending;
}

errors::Outcome<> PendingReplace::commit(const std::function<bool(const Put&)>& fill) const {
    return replaceTarget(m_target, fill, m_existing);
}

errors::Outcome<> replaceFile(const std::filesystem::path& file, std::string_view content) {
    const errors::Outcome<PendingReplace> pending = PendingReplace::open(file);
    if (!pending) return pending.failure();
    return pending->commit([content](const Put& put) { return put(content); });
}

errors::Outcome<> copyFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    const errors::Outcome<std::filesystem::path> target = writeTarget(to);
    if (!target) return target.failure();
    Presence presence = Presence::Missing;
    struct stat st {};
    int error = 0;
    const int fd = openRegular(from, O_RDONLY, presence, st, error);
    if (fd < 0) return errors::systemFailure(error);
    std::string content;
    error = readAll(fd, content, static_cast<std::size_t>(st.st_size));
    ::close(fd);
    if (error != 0) return errors::systemFailure(error);
    // Ours from now on: the copy takes the source's mode, not the old owner.
    const Existing mode{true, static_cast<mode_t>(st.st_mode & 07777), ::geteuid(), ::getegid()};
    return replaceTarget(target.value(), [&content](const Put& put) { return put(content); }, mode);
}

Snapshot Snapshot::load(const std::filesystem::path& file) { return Snapshot(loadFile(file)); }

std::string readProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key) {
    return readValue(loadFile(file), section, key);
}

errors::Outcome<> writeProfileString(const std::filesystem::path& file, std::string_view section,
                                     std::string_view key, std::string_view value) {
    return writeProfileBatch(file, {Write{std::string(section), std::string(key), std::string(value)}});
}

errors::Outcome<> writeProfileBatch(const std::filesystem::path& file, const std::vector<Write>& writes) {
    const errors::Outcome<PendingReplace> pending = PendingReplace::open(file);
    if (!pending) return pending.failure();
    // A value the file cannot hold is an invalid argument, whether it fails alone or all fail.
    const std::size_t refused = refusedWrites(writes);
    if (refused != 0 && refused == writes.size()) return errors::systemFailure(EINVAL);
    // The old bytes are streamed into the new file around the edits: the file
    // is held in memory once, whatever its size.
    const errors::Outcome<> replaced =
        pending->commit([&](const Put& put) { return streamWrites(pending->content(), writes, put); });
    if (replaced && refused != 0) return errors::systemFailure(EINVAL);
    return replaced;
}

}  // namespace ini
