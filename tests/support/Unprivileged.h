#pragma once
// Runs a test body as an ordinary user, so that permission checks hold when the
// tests run as root too (root reads and writes every file): the body runs in a
// child process, which under root first hands `folder` (recursively) to nobody
// and drops to nobody/nogroup. Expectations that fail in the body are printed
// by the child and fail the test through its exit status.

#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>

inline void asUnprivileged(const std::filesystem::path& folder, const std::function<void()>& body) {
    const bool root = ::geteuid() == 0;
    uid_t uid = 65534;
    gid_t gid = 65534;
    if (root) {
        if (const passwd* pw = ::getpwnam("nobody")) uid = pw->pw_uid;
        if (const group* gr = ::getgrnam("nogroup")) gid = gr->gr_gid;
        // Modes stay as the test set them; only the owner changes.
        if (::lchown(folder.c_str(), uid, gid) != 0) ADD_FAILURE() << "cannot hand " << folder << " to nobody";
        std::error_code ec;
        for (const auto& e : std::filesystem::recursive_directory_iterator(folder, ec)) {
            if (::lchown(e.path().c_str(), uid, gid) != 0) ADD_FAILURE() << "cannot hand " << e.path() << " to nobody";
        }
    }
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0) << "fork failed";
    if (pid == 0) {
        if (root && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)) ::_exit(3);
        body();
        std::fflush(nullptr);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the unprivileged part failed (status " << status << ")";
}
