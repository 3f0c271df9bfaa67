// One running copy per executable name, checked with real second processes.

#include "platform/InstanceLock.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <QString>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString folderOf(const TempDir& dir) { return QString::fromStdString(dir.path().string()); }

// Runs `body` in a forked process; returns its exit status (-1 when it did not exit).
template <typename Body>
int inChild(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int tryInChild(const QString& folder, const QString& name) {
    return inChild([&] {
        platform::InstanceLock lock(folder, name);
        return lock.tryAcquire() ? 0 : 1;
    });
}

TEST(InstanceLock, SecondProcessIsRefusedWhileTheFirstRuns) {
    TempDir dir;
    platform::InstanceLock first(folderOf(dir), QStringLiteral("vistrova"));
    ASSERT_TRUE(first.tryAcquire());
    EXPECT_EQ(tryInChild(folderOf(dir), QStringLiteral("vistrova")), 1);
    // Another executable name (the installed screen saver) is not excluded.
    EXPECT_EQ(tryInChild(folderOf(dir), QStringLiteral("VISTROVA.SCR")), 0);
}

TEST(InstanceLock, ReleasedWhenTheOwnerEnds) {
    TempDir dir;
    {
        platform::InstanceLock first(folderOf(dir), QStringLiteral("vistrova"));
        ASSERT_TRUE(first.tryAcquire());
    }
    EXPECT_EQ(tryInChild(folderOf(dir), QStringLiteral("vistrova")), 0);
}

TEST(InstanceLock, StaleLockOfAKilledProcessDoesNotCount) {
    TempDir dir;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        platform::InstanceLock lock(folderOf(dir), QStringLiteral("vistrova"));
        const char ok = lock.tryAcquire() ? 'y' : 'n';
        [[maybe_unused]] const ssize_t n = ::write(ready[1], &ok, 1);
        ::pause();
        ::_exit(0);
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');
    ::close(ready[0]);
    ::close(ready[1]);
    // While it lives, it holds the lock.
    {
        platform::InstanceLock probe(folderOf(dir), QStringLiteral("vistrova"));
        EXPECT_FALSE(probe.tryAcquire());
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "vistrova.lock"));  // left behind
    platform::InstanceLock next(folderOf(dir), QStringLiteral("vistrova"));
    EXPECT_TRUE(next.tryAcquire());
}

TEST(InstanceLock, MissingFolderIsCreated) {
    TempDir dir;
    const QString folder = folderOf(dir) + QStringLiteral("/run/user");
    platform::InstanceLock lock(folder, QStringLiteral("vistrova"));
    EXPECT_TRUE(lock.tryAcquire());
    EXPECT_EQ(tryInChild(folder, QStringLiteral("vistrova")), 1);
}

}  // namespace
