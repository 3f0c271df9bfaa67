#pragma once
// Thumbnails for the file view, off the GUI thread: each file's thumbnail is
// read from the shared cache when a current one is there, else decoded (a
// picture, or a frame of a clip) and written there for every program that
// shares the cache. A file that gives none is recorded as such there and not
// tried again while it stays as it is.
// One job list at a time: a new list or a cancel drops what is left of the
// old one, and results of an old list are never reported.

#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <memory>
#include <vector>

namespace editor {

class ThumbnailLoader : public QObject {
    Q_OBJECT
public:
    struct Job {
        QString path;
        bool mayMake = true;  // false: a cached thumbnail only
        bool clip = false;    // made from a frame of the clip
    };

    // The cache under `cacheRoot` ("<cache>/thumbnails"); empty: the user's.
    explicit ThumbnailLoader(const QString& cacheRoot = QString(), QObject* parent = nullptr);
    ~ThumbnailLoader() override;

    // Replaces the waiting jobs with `jobs`, taken in order.
    void setJobs(std::vector<Job> jobs);
    // Moves the waiting jobs of `paths` to the front, in the order given.
    void prioritize(const QStringList& paths);
    void cancel();
    QString cacheRoot() const;
    // Thumbnails are reported scaled to fit `pixels` (device pixels), so the
    // GUI thread only wraps them; an empty size reports them as cached.
    void setShownSize(const QSize& pixels);

    // The thumbnail of one file, read or made: what a worker runs. Null when
    // there is none (not a regular file, a picture or clip that does not
    // decode, now or before).
    static QImage loadOrMake(const Job& job, const QString& cacheRoot);

signals:
    void thumbnailReady(const QString& path, const QImage& image);

private:
    struct Queue;
    void startWorker();
    static QThreadPool& pool();

    std::shared_ptr<Queue> m_queue;
};

}  // namespace editor
