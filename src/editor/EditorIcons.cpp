#include "EditorIcons.h"

#include "EditorRules.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>

namespace editor {
namespace {

QPixmap Tile(int size, const QColor& colour, const QString& mark, bool page) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal m = size / 8.0;
    QRectF r(m, page ? 0.5 : m, size - 2 * m, size - (page ? 1 : 2 * m));
    p.setPen(QPen(colour.darker(160), 1));
    p.setBrush(page ? QColor(Qt::white) : colour);
    p.drawRoundedRect(r, size / 10.0, size / 10.0);
    if (page) p.fillRect(QRectF(r.left() + 1, r.bottom() - size * 0.45, r.width() - 2, size * 0.4), colour);
    QFont f = p.font();
    f.setPixelSize(qMax(6, size * 3 / 8));
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(page ? QRectF(r.left(), r.bottom() - size * 0.45, r.width(), size * 0.4) : r, Qt::AlignCenter, mark);
    p.end();
    return pm;
}

}  // namespace

QIcon TypeIcon(const QString& typeName) {
    static QHash<QString, QIcon> cache;
    if (auto it = cache.constFind(typeName); it != cache.constEnd()) return *it;
    const std::string t = typeName.toStdString();
    QColor colour(120, 120, 120);
    QString mark = QStringLiteral("?");
    switch (KindOf(t)) {
    case PreviewKind::Movie:
        colour = QColor(180, 70, 60);
        mark = typeName.startsWith(QLatin1String("M3U")) ? QStringLiteral("M3U")
               : typeName.startsWith(QLatin1String("Quick")) ? QStringLiteral("QT")
               : typeName.startsWith(QLatin1String("Video")) ? QStringLiteral("AVI")
                                                             : QStringLiteral("MPG");
        break;
    case PreviewKind::Image:
        colour = QColor(60, 120, 180);
        mark = typeName.startsWith(QLatin1String("JPEG")) ? QStringLiteral("JPG")
               : typeName.startsWith(QLatin1String("GIF")) ? QStringLiteral("GIF")
                                                           : QStringLiteral("BMP");
        break;
    case PreviewKind::Other:
        break;
    }
    QIcon icon;
    icon.addPixmap(Tile(16, colour, QString(), true));
    icon.addPixmap(Tile(32, colour, mark, true));
    cache.insert(typeName, icon);
    return icon;
}

static QPixmap FolderPixmap(int size, bool open) {
    {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal s = size / 16.0;
        p.setPen(QPen(QColor(150, 110, 20), 1));
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(QRectF(1 * s, 3 * s, 5 * s, 2 * s));
        if (open) {
            p.drawRect(QRectF(1 * s, 4 * s, 12 * s, 10 * s));
            p.setBrush(QColor(250, 225, 130));
            const QPointF lid[] = {{3 * s, 7 * s}, {15 * s, 7 * s}, {13 * s, 14 * s}, {1 * s, 14 * s}};
            p.drawPolygon(lid, 4);
        } else {
            p.drawRect(QRectF(1 * s, 4 * s, 14 * s, 10 * s));
        }
        p.end();
        return pm;
    }
}

QIcon FolderIcon() {
    // The selected node shows the open folder, every other one the closed one.
    // Drawn once: a big tree asks for it thousands of times.
    static const QIcon icon = [] {
        QIcon i;
        for (int size : {16, 32}) {
            i.addPixmap(FolderPixmap(size, false), QIcon::Normal);
            i.addPixmap(FolderPixmap(size, true), QIcon::Selected);
        }
        return i;
    }();
    return icon;
}

QIcon ToolIcon(const QString& mark, const QColor& colour) {
    QIcon icon;
    icon.addPixmap(Tile(16, colour, mark, false));
    icon.addPixmap(Tile(24, colour, mark, false));
    return icon;
}

}  // namespace editor
