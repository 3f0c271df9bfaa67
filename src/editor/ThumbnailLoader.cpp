#include "ThumbnailLoader.h"

#include "EditorRules.h"
#include "ThumbnailRules.h"
#include "dialogs/Version.h"
#include "platform/ClipThumbnail.h"
#include "platform/PictureDecode.h"
#include "shared/FileKinds.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QMutex>
#include <QSet>
#include <QTemporaryFile>

#include <algorithm>
#include <deque>

#include <stdio.h>
#include <sys/stat.h>

namespace editor {

struct ThumbnailLoader::Queue {
    QMutex mutex;
    ThumbnailLoader* owner = nullptr;  // GUI thread only; null once the loader is gone
    std::deque<Job> jobs;
    quint64 generation = 0;
    bool running = false;
    QString root;
    QSize shown;
};

namespace {

// Thumbnails are made in the normal size; a large one a file manager made
// serves too when there is no normal one.
constexpr auto kFlavor = thumbs::Flavor::Normal;

// The cached thumbnail when it is current; null otherwise (missing, corrupt,
// stale, another file's). Only a regular file is opened: a pipe planted in the
// cache must not block the worker.
QImage readCached(const QString& cachePath, thumbs::Flavor flavor, const QByteArray& uri, qint64 mtime) {
    if (!files::isOpenableFile(QFile::encodeName(cachePath).toStdString())) return {};
    // The stamps are read with the image: the reader's own text lookup splits
    // keys at their first colon, which "Thumb::URI" has.
    const QImage image = platform::readThumbnailPng(cachePath, thumbs::pixelsOf(flavor));
    if (image.isNull() || !thumbs::isCurrent(image.text(QStringLiteral("Thumb::URI")),
                                             image.text(QStringLiteral("Thumb::MTime")), uri, mtime))
        return {};
    return image;
}

// This program's folder of failures, by its version: a later one may read
// what this one could not.
QString failureFolder() {
    return QStringLiteral("vistrova-%1.%2.%3").arg(version::kMajor).arg(version::kMinor).arg(version::kRevision);
}

// Each missing folder down to `folder` (the cache folder itself may be
// missing too), private to the user.
bool makePrivateFolders(const QString& folder) {
    QStringList missing;
    for (QString f = folder; !QFileInfo::exists(f) && f.size() > 1; f = QFileInfo(f).path()) missing.prepend(f);
    for (const QString& f : missing)
        if (::mkdir(QFile::encodeName(f).constData(), 0700) != 0 && !QFileInfo(f).isDir()) return false;
    return QFileInfo(folder).isDir();
}

// Written beside its place and renamed over it, so a reader never sees half a file.
void writeCached(const QString& cachePath, QImage image, const QByteArray& uri,
                 qint64 mtime, qint64 bytes) {
    const QString folder = QFileInfo(cachePath).path();
    if (!makePrivateFolders(folder)) return;
    QTemporaryFile temp(folder + QStringLiteral("/.vistrova-XXXXXX.png"));
    if (!temp.open()) return;
    ::fchmod(temp.handle(), 0600);
    // On the image, not the writer: the writer splits its texts at the first
    // colon, which would cut "Thumb::URI" to "Thumb".
    image.setText(QStringLiteral("Thumb::URI"), QString::fromUtf8(uri));
    image.setText(QStringLiteral("Thumb::MTime"), QString::number(mtime));
    image.setText(QStringLiteral("Thumb::Size"), QString::number(bytes));
    image.setText(QStringLiteral("Software"), QStringLiteral("Vistrova"));
    QImageWriter writer(&temp, "png");
    if (!writer.write(image) || !temp.flush()) return;
    if (::rename(QFile::encodeName(temp.fileName()).constData(), QFile::encodeName(cachePath).constData()) == 0)
        temp.setAutoRemove(false);
}

}  // namespace

ThumbnailLoader::ThumbnailLoader(const QString& cacheRoot, QObject* parent)
    : QObject(parent), m_queue(std::make_shared<Queue>()) {
    m_queue->owner = this;
    m_queue->root = cacheRoot.isEmpty()
                        ? thumbs::cacheRoot(qEnvironmentVariable("XDG_CACHE_HOME"), QDir::homePath())
                        : QDir::cleanPath(cacheRoot);
}

ThumbnailLoader::~ThumbnailLoader() {
    // A decode under way is not waited for: closing the editor must not wait
    // on a large picture. It finishes alone and its result goes nowhere.
    cancel();
    m_queue->owner = nullptr;
}

QThreadPool& ThumbnailLoader::pool() {
    // One worker: decoding is memory-hungry and the GUI thread needs the other
    // core. Never destroyed, so nothing waits for it at the end.
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(1);
        return p;
    }();
    return *pool;
}

QString ThumbnailLoader::cacheRoot() const { return m_queue->root; }

void ThumbnailLoader::setJobs(std::vector<Job> jobs) {
    QMutexLocker lock(&m_queue->mutex);
    ++m_queue->generation;
    m_queue->jobs.assign(std::make_move_iterator(jobs.begin()), std::make_move_iterator(jobs.end()));
    lock.unlock();
    startWorker();
}

void ThumbnailLoader::prioritize(const QStringList& paths) {
    QMutexLocker lock(&m_queue->mutex);
    std::deque<Job>& jobs = m_queue->jobs;
    if (jobs.empty() || paths.isEmpty()) return;
    const QSet<QString> wanted(paths.begin(), paths.end());
    std::stable_partition(jobs.begin(), jobs.end(), [&](const Job& j) { return wanted.contains(j.path); });
}

void ThumbnailLoader::setShownSize(const QSize& pixels) {
    QMutexLocker lock(&m_queue->mutex);
    m_queue->shown = pixels;
}

void ThumbnailLoader::cancel() {
    QMutexLocker lock(&m_queue->mutex);
    ++m_queue->generation;
    m_queue->jobs.clear();
}

void ThumbnailLoader::startWorker() {
    {
        QMutexLocker lock(&m_queue->mutex);
        if (m_queue->running || m_queue->jobs.empty()) return;
        m_queue->running = true;
    }
    std::shared_ptr<Queue> queue = m_queue;
    pool().start([queue] {
        for (;;) {
            QMutexLocker lock(&queue->mutex);
            if (queue->jobs.empty()) {
                queue->running = false;
                return;
            }
            const Job job = std::move(queue->jobs.front());
            queue->jobs.pop_front();
            const quint64 generation = queue->generation;
            const QString root = queue->root;
            const QSize shown = queue->shown;
            lock.unlock();
            QImage image = loadOrMake(job, root);
            if (image.isNull()) continue;
            if (!shown.isEmpty()) image = image.scaled(shown, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            // Posted to the GUI thread: dropped if the loader is gone, ignored
            // if the list changed meanwhile.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [queue, generation, path = job.path, image] {
                    if (queue->owner && queue->generation == generation) emit queue->owner->thumbnailReady(path, image);
                },
                Qt::QueuedConnection);
        }
    });
}

QImage ThumbnailLoader::loadOrMake(const Job& job, const QString& cacheRoot) {
    // A name that is not UTF-8 cannot reach the decoder intact: it keeps its type icon.
    if (holdsRawBytes(job.path) || thumbs::isInsideCache(job.path, cacheRoot)) return {};
    const QByteArray raw = QFile::encodeName(job.path);
    struct stat st {};
    if (::stat(raw.constData(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    const qint64 mtime = st.st_mtime;
    const QByteArray uri = thumbs::fileUri(job.path);
    const QString cachePath = thumbs::thumbnailPath(cacheRoot, kFlavor, uri);
    QImage image = readCached(cachePath, kFlavor, uri, mtime);
    if (image.isNull()) {
        const auto large = thumbs::Flavor::Large;
        image = readCached(thumbs::thumbnailPath(cacheRoot, large, uri), large, uri, mtime);
    }
    if (!image.isNull() || !job.mayMake) return image;
    const QString failure = thumbs::failurePath(cacheRoot, failureFolder(), uri);
    if (!readCached(failure, kFlavor, uri, mtime).isNull()) return {};

    if (job.clip) {
        image = platform::clipThumbnail(job.path, thumbs::pixelsOf(kFlavor));
    } else {
        const QSize size = thumbs::fittedSize(platform::pictureSize(job.path), thumbs::pixelsOf(kFlavor));
        if (size.isValid()) image = platform::decodePicture(job.path, size);
    }
    if (image.isNull()) {
        QImage mark(1, 1, QImage::Format_ARGB32);
        mark.fill(Qt::transparent);
        writeCached(failure, mark, uri, mtime, qint64(st.st_size));
        return {};
    }
    writeCached(cachePath, image, uri, mtime, qint64(st.st_size));
    return image;
}

}  // namespace editor
