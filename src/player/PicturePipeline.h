#pragma once
// The player's pictures: decoded at the size they are shown (times the
// screen's device pixel ratio, so they stay sharp on HiDPI screens), the next
// and the previous entries decoded ahead on a worker thread, animated GIFs
// noted as such. The lookup of the file and the failure path stay with the
// caller: Take only hands over a picture, or a null one when it cannot be
// decoded. GUI thread only; the workers touch nothing but their own job, so a
// decode nobody waits for any more may finish after the pipeline is gone.

#include "Fit.h"
#include "shared/mdlPublic.h"

#include <QDateTime>
#include <QFuture>
#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class QThreadPool;

namespace player {

struct FittedPicture {
    QImage image;       // null when the file is no readable picture
    QSize natural;      // as shown, EXIF orientation applied
    Rect fit;           // logical pixels inside the frame
    bool animated = false;
    QDateTime modified; // of the file when it was read; a newer file is read again
    qint64 bytes = -1;
};

// Decodes `path` fitted into a `frame` of logical pixels at `dpr`.
FittedPicture decodeFitted(const QString& path, QSize frame, qreal dpr);

class PicturePipeline {
public:
    PicturePipeline() = default;
    ~PicturePipeline();
    PicturePipeline(const PicturePipeline&) = delete;
    PicturePipeline& operator=(const PicturePipeline&) = delete;

    // The picture of `path` for this frame: the one decoded ahead when it is
    // there (waiting for it when its decode is under way), else decoded now.
    FittedPicture take(const std::string& path, QSize frame, qreal dpr);

    // The same without waiting on this thread: a future that is finished when
    // the picture was decoded ahead, else one the worker decodes before any
    // neighbour. Take it once the future has finished.
    QFuture<FittedPicture> request(const std::string& path, QSize frame, qreal dpr);

    // Starts decoding the neighbours of the list's position and drops
    // whatever is no longer wanted.
    void prefetch(const mdlPublic::PlayList& list, QSize frame, qreal dpr);

    // Number of pictures held or under way (tests).
    std::size_t cachedCount() const { return m_entries.size(); }

    // The workers decoding ahead: one, so a decode ahead takes at most one
    // core from the picture being shown (which has a worker of its own).
    static QThreadPool& pool();

private:
    struct Entry {
        QString path;
        QSize frame;
        qreal dpr = 1.0;
        QFuture<FittedPicture> result;
        // 0 queued, 1 decoding on the worker, 2 claimed here (worker skips it)
        std::shared_ptr<std::atomic<int>> stage;
    };
    Entry* find(const QString& path, QSize frame, qreal dpr);
    // `wanted`: the picture to show now, not one decoded ahead.
    void start(const QString& path, QSize frame, qreal dpr, bool wanted = false);
    static void abandon(Entry& entry);

    std::vector<Entry> m_entries;
};

}  // namespace player
