#include "InstanceLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace platform {

InstanceLock::InstanceLock(const QString& folder, const QString& name)
    : m_lock(std::make_unique<QLockFile>(QDir(folder).filePath(name + QStringLiteral(".lock")))),
      m_folder(folder) {
    // Only a dead owner makes a lock stale, never its age: a show can run for days.
    m_lock->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::tryAcquire() {
    if (m_lock->tryLock(0)) return true;
    if (m_lock->error() == QLockFile::LockFailedError) return false;
    // No folder, no permission: better to run twice than not at all.
    return !QDir().mkpath(m_folder) || m_lock->tryLock(0) || m_lock->error() != QLockFile::LockFailedError;
}

void InstanceLock::release() { m_lock->unlock(); }

QString InstanceLock::defaultFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return folder;
}

QString InstanceLock::executableName() {
    QString path = QCoreApplication::applicationFilePath();
    if (path.isEmpty()) path = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? QStringLiteral("vistrova") : name;
}

}  // namespace platform
