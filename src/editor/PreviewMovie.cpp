#include "PreviewMovie.h"

#include <QFileInfo>
#include <QLabel>

namespace editor {
namespace {

// Stands in for the media element: shows the clip's name and type on a dark
// box of the usual video proportions.
class PlaceholderMovie final : public IPreviewMovie {
public:
    explicit PlaceholderMovie(QWidget* parent) : m_label(new QLabel(parent)) {
        m_label->setAlignment(Qt::AlignCenter);
        m_label->setWordWrap(true);
        m_label->setStyleSheet(QStringLiteral("background:#202020;color:#e0e0e0;"));
        m_label->setToolTip(QStringLiteral("クリックで再生/一時停止"));
        m_label->hide();
    }
    QWidget* widget() override { return m_label; }
    bool load(const QString& path, const QString& typeName) override {
        m_label->setText(QFileInfo(path).fileName() + QStringLiteral("\n") + typeName);
        m_loaded = true;
        return true;
    }
    void unload() override {
        m_label->clear();
        m_loaded = false;
    }
    QSize naturalSize() const override { return m_loaded ? QSize(320, 240) : QSize(); }
    void play() override {}

private:
    QLabel* m_label;
    bool m_loaded = false;
};

}  // namespace

std::unique_ptr<IPreviewMovie> CreatePreviewMovie(QWidget* parent) {
    return std::make_unique<PlaceholderMovie>(parent);
}

}  // namespace editor
