#pragma once
// The profile engine's file access, apart from its text rules: reading a
// profile without following it into a device or a planted link, and
// replacing one atomically (temporary file, write, rename) so that a failed
// or killed write leaves the old file as it was. Failures carry the system's
// reason for the call that failed.

#include "Outcome.h"

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace ini {

// What a read of a file found. Only regular files are opened, never blocking:
// a FIFO or a device named like a profile is neither read nor replaced.
enum class Presence {
    Read,        // a regular file, read whole
    Missing,     // nothing of that name (a dangling link included)
    NotRegular,  // a folder, FIFO, device or socket
    Unreadable,  // exists but could not be opened or read to its end
};

struct Loaded {
    Presence presence = Presence::Missing;
    std::string content;  // empty unless presence is Read
};

Loaded load(const std::filesystem::path& file);

// The bytes of a profile as readers see them: anything but a readable regular
// file reads as empty.
std::string loadFile(const std::filesystem::path& file);

// Replaces the file with `content` atomically (temporary file + rename). A
// symbolic link is written through to its target, which is created when
// missing. An existing target must be a regular file this process may read and
// write. On any failure the old file is untouched. A success also removes
// temporaries that killed writes of this file left.
errors::Outcome<> replaceFile(const std::filesystem::path& file, std::string_view content);

// Copies the regular file `from` over `to` the same way, with `from`'s
// permission bits (a copied program stays executable). On failure `to` is
// untouched.
errors::Outcome<> copyFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Takes the next bytes of a file being written; false once it can take no more.
using Put = std::function<bool(std::string_view bytes)>;

// A file about to be replaced: its links followed, the bytes it holds read.
// A missing file holds nothing; one that is not a regular file, cannot be
// read, or may not be written is refused, so a replace never takes the place
// of content it could not see or may not change.
class PendingReplace {
public:
    static errors::Outcome<PendingReplace> open(const std::filesystem::path& file);

    const std::string& content() const { return m_content; }

    // Writes what `fill` puts to a temporary beside the file and renames it
    // over the file.
    errors::Outcome<> commit(const std::function<bool(const Put&)>& fill) const;

    // What the replacement keeps of the file it replaces.
    struct Existing {
        bool exists = false;
        mode_t mode = 0;
        uid_t uid = 0;
        gid_t gid = 0;
    };

private:
    PendingReplace() = default;

    std::filesystem::path m_target;
    std::string m_content;
    Existing m_existing;
};

}  // namespace ini
