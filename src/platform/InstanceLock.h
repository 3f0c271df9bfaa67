#pragma once
// One running copy per executable name: a lock file in the per-user runtime
// folder. A lock left by a dead process does not count. GUI thread only.

#include <QString>

#include <memory>

class QLockFile;

namespace platform {

class InstanceLock {
public:
    // `folder` holds the lock file `name` + ".lock".
    InstanceLock(const QString& folder, const QString& name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this process now holds the lock; false when a live process
    // holds it. A folder that cannot take the file does not refuse the start.
    bool tryAcquire();
    // Gives the lock up now (before an end that skips destructors).
    void release();

    // The per-user runtime folder and this executable's file name.
    static QString defaultFolder();
    static QString executableName();

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_folder;
};

}  // namespace platform
