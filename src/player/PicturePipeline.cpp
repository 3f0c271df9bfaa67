#include "PicturePipeline.h"

#include "PrefetchRules.h"
#include "platform/PictureDecode.h"

#include <QFileInfo>
#include <QPromise>
#include <QThreadPool>

#include <algorithm>
#include <cmath>

namespace player {

namespace {
constexpr int kQueued = 0;
constexpr int kDecoding = 1;
constexpr int kClaimed = 2;

bool sameDpr(qreal a, qreal b) { return std::abs(a - b) < 0.001; }

// A picture decoded before the file changed is read again.
bool stillCurrent(const FittedPicture& picture, const QString& path) {
    const QFileInfo info(path);
    return picture.modified == info.lastModified() && picture.bytes == info.size();
}
}  // namespace

FittedPicture decodeFitted(const QString& path, QSize frame, qreal dpr) {
    FittedPicture out;
    const QFileInfo info(path);
    out.modified = info.lastModified();
    out.bytes = info.size();
    if (dpr <= 0) dpr = 1.0;
    out.natural = platform::pictureSize(path);
    if (!out.natural.isValid() || out.natural.isEmpty()) return out;
    out.fit = fitImage(frame.width(), frame.height(), out.natural.width(), out.natural.height());
    const QSize device(std::max(1, static_cast<int>(std::lround(out.fit.width * dpr))),
                       std::max(1, static_cast<int>(std::lround(out.fit.height * dpr))));
    out.image = platform::decodePicture(path, device);
    if (out.image.isNull()) return out;
    out.image.setDevicePixelRatio(dpr);
    out.animated = platform::isAnimatedPicture(path);
    return out;
}

PicturePipeline::~PicturePipeline() {
    // Waiting for a decode under way would hold the closing player (and the
    // program) until it ends; it finishes alone and its result is dropped.
    for (Entry& e : m_entries) abandon(e);
}

QThreadPool& PicturePipeline::pool() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(1);
        p->setExpiryTimeout(5000);
        return p;
    }();
    return *pool;
}

PicturePipeline::Entry* PicturePipeline::find(const QString& path, QSize frame, qreal dpr) {
    for (Entry& e : m_entries) {
        if (e.path == path && e.frame == frame && sameDpr(e.dpr, dpr)) return &e;
    }
    return nullptr;
}

void PicturePipeline::abandon(Entry& entry) {
    // A job still waiting in the queue is skipped; one under way finishes
    // and its result is dropped with the last reference to it.
    int expected = kQueued;
    entry.stage->compare_exchange_strong(expected, kClaimed);
}

FittedPicture PicturePipeline::take(const std::string& path, QSize frame, qreal dpr) {
    const QString file = QString::fromStdString(path);
    FittedPicture picture;
    bool have = false;
    if (Entry* e = find(file, frame, dpr)) {
        int expected = kQueued;
        if (!e->stage->compare_exchange_strong(expected, kClaimed)) {
            // Under way or done: its result is nearer than a decode of our own.
            e->result.waitForFinished();
            if (e->result.resultCount() > 0) {
                picture = e->result.result();
                have = !picture.image.isNull() && stillCurrent(picture, file);
            }
        }
    }
    if (!have) picture = decodeFitted(file, frame, dpr);

    // Kept as a finished entry, so stepping back finds it.
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&](Entry& e) { return e.path == file; }),
                    m_entries.end());
    if (!picture.image.isNull()) {
        Entry done{file, frame, dpr, QtFuture::makeReadyFuture(picture), std::make_shared<std::atomic<int>>(kClaimed)};
        m_entries.push_back(std::move(done));
    }
    return picture;
}

QFuture<FittedPicture> PicturePipeline::request(const std::string& path, QSize frame, qreal dpr) {
    const QString file = QString::fromStdString(path);
    if (Entry* e = find(file, frame, dpr)) {
        int expected = kQueued;
        if (!e->stage->compare_exchange_strong(expected, kClaimed)) {
            if (!e->result.isFinished()) return e->result;
            if (e->result.resultCount() > 0 && !e->result.result().image.isNull() &&
                stillCurrent(e->result.result(), file))
                return e->result;
        }
    }
    // Queued behind neighbours, failed before or stale: decoded again, first.
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&](const Entry& e) { return e.path == file; }),
                    m_entries.end());
    start(file, frame, dpr, true);
    return m_entries.back().result;
}

void PicturePipeline::start(const QString& path, QSize frame, qreal dpr, bool wanted) {
    auto promise = std::make_shared<QPromise<FittedPicture>>();
    auto stage = std::make_shared<std::atomic<int>>(kQueued);
    promise->start();
    m_entries.push_back(Entry{path, frame, dpr, promise->future(), stage});
    // The picture wanted now has a worker of its own, so it never waits
    // behind a decode ahead (as it did not when the GUI thread decoded it).
    static QThreadPool* const shownPool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(1);
        return p;
    }();
    QThreadPool& workers = wanted ? *shownPool : pool();
    workers.start([promise, stage, path, frame, dpr] {
        int expected = kQueued;
        if (stage->compare_exchange_strong(expected, kDecoding)) promise->addResult(decodeFitted(path, frame, dpr));
        promise->finish();
    });
}

void PicturePipeline::prefetch(const mdlPublic::PlayList& list, QSize frame, qreal dpr) {
    const int count = std::min<int>(list.count, mdlPublic::kPlayListSlots);
    std::vector<std::string> kept;
    for (int p : keptPositions(list.position, count)) kept.push_back(list.paths[static_cast<std::size_t>(p)]);

    for (Entry& e : m_entries) {
        if (!keepCached(e.path.toStdString(), kept) || e.frame != frame || !sameDpr(e.dpr, dpr)) abandon(e);
    }
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&](const Entry& e) {
                                       return !keepCached(e.path.toStdString(), kept) || e.frame != frame ||
                                              !sameDpr(e.dpr, dpr);
                                   }),
                    m_entries.end());

    for (int p : prefetchOrder(list.position, count)) {
        const std::string& path = list.paths[static_cast<std::size_t>(p)];
        if (!isPrefetchable(path)) continue;
        const QString file = QString::fromStdString(path);
        if (find(file, frame, dpr)) continue;
        if (m_entries.size() >= kMaxCachedPictures) break;
        start(file, frame, dpr);
    }
}

}  // namespace player
