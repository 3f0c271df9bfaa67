#include "PreviewMovie.h"

#include "platform/MpvElement.h"

#include <QEvent>
#include <QMouseEvent>

namespace editor {
namespace {

// The preview on the movie element: the clip is loaded paused and its size
// arrives from the element a moment later.
class MpvPreviewMovie final : public QObject, public IPreviewMovie {
public:
    explicit MpvPreviewMovie(QWidget* parent) : m_element(new platform::MpvElement(parent)) {
        m_element->setToolTip(QStringLiteral("クリックで再生/一時停止"));
        m_element->hide();
        m_element->installEventFilter(this);
        QObject::connect(m_element, &platform::MpvElement::naturalSizeChanged, this, [this](int w, int h) {
            if (w > 0 && h > 0) fire();
        });
        // The element closes a clip at its end: the next click opens it again.
        QObject::connect(m_element, &platform::MpvElement::endOfStream, this, [this](int) {
            m_playing = false;
            m_ended = true;
        });
    }
    QWidget* widget() override { return m_element; }
    bool load(const QString& path, const QString&) override {
        m_ready = nullptr;
        m_loaded = m_element->isAvailable();
        m_playing = m_ended = false;
        m_path = path;
        if (m_loaded) m_element->setFile(path.toStdString());
        return m_loaded;
    }
    void unload() override {
        m_ready = nullptr;
        m_loaded = m_playing = m_ended = false;
        m_element->stop();
    }
    QSize naturalSize() const override { return {m_element->naturalWidth(), m_element->naturalHeight()}; }
    void play() override {
        m_element->play();
        m_playing = true;
    }
    void whenReady(std::function<void()> ready) override {
        m_ready = std::move(ready);
        if (!naturalSize().isEmpty()) fire();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_element && event->type() == QEvent::MouseButtonRelease && m_loaded &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            if (m_playing) {
                m_element->pause();
                m_playing = false;
            } else {
                // An ended clip plays again from its start.
                if (m_ended) m_element->setFile(m_path.toStdString());
                m_ended = false;
                play();
            }
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void fire() {
        if (!m_loaded || !m_ready) return;
        auto ready = std::move(m_ready);
        m_ready = nullptr;
        ready();
    }

    platform::MpvElement* m_element;
    std::function<void()> m_ready;
    bool m_loaded = false;
    bool m_playing = false;
    bool m_ended = false;
    QString m_path;
};

}  // namespace

std::unique_ptr<IPreviewMovie> createPreviewMovie(QWidget* parent) {
    return std::make_unique<MpvPreviewMovie>(parent);
}

}  // namespace editor
