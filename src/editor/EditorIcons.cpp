#include "EditorIcons.h"

#include "shared/MediaTypes.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>

namespace editor {
namespace {

QPixmap tile(int size, const QColor& colour, const QString& mark, bool page) {
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

// The first of `names` the desktop theme has, else `drawn`.
QIcon themedOr(const QStringList& names, const QIcon& drawn) {
    for (const QString& name : names)
        if (QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    return drawn;
}

QString latin(std::string_view text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }

}  // namespace

QIcon typeIcon(const QString& typeName) {
    static QHash<QString, QIcon> cache;
    if (auto it = cache.constFind(typeName); it != cache.constEnd()) return *it;
    const media::MediaType* type = media::typeNamed(typeName.toStdString());
    QColor colour(120, 120, 120);
    QString mark = QStringLiteral("?");
    QStringList themeNames;
    if (type) {
        mark = latin(type->look.mark);
        themeNames = {latin(type->look.themeName), latin(type->look.genericName)};
        switch (type->kind) {
        case media::TypeKind::Clip: colour = QColor(180, 70, 60); break;
        case media::TypeKind::Picture: colour = QColor(60, 120, 180); break;
        // Sounds have no picture: a colour of their own.
        case media::TypeKind::Sound: colour = QColor(60, 140, 80); break;
        case media::TypeKind::None: break;
        }
    }
    QIcon drawn;
    drawn.addPixmap(tile(16, colour, QString(), true));
    drawn.addPixmap(tile(32, colour, mark, true));
    const QIcon icon = themedOr(themeNames, drawn);
    cache.insert(typeName, icon);
    return icon;
}

static QPixmap folderPixmap(int size, bool open) {
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

QIcon folderIcon() {
    // The selected node shows the open folder, every other one the closed one.
    // Made once: a big tree asks for it thousands of times.
    static const QIcon icon = [] {
        const bool themed =
            QIcon::hasThemeIcon(QStringLiteral("folder")) && QIcon::hasThemeIcon(QStringLiteral("folder-open"));
        const QIcon closed = QIcon::fromTheme(QStringLiteral("folder"));
        const QIcon open = QIcon::fromTheme(QStringLiteral("folder-open"));
        QIcon i;
        for (int size : {16, 32}) {
            i.addPixmap(themed ? closed.pixmap(size) : folderPixmap(size, false), QIcon::Normal);
            i.addPixmap(themed ? open.pixmap(size) : folderPixmap(size, true), QIcon::Selected);
        }
        return i;
    }();
    return icon;
}


namespace {

// Theme names of the command pictures 9..28, best first.
QStringList themeNamesOfCommand(int index) {
    switch (index) {
    case 9: return {QStringLiteral("go-first")};
    case 10: return {QStringLiteral("go-previous")};
    case 11: return {QStringLiteral("go-next")};
    case 12: return {QStringLiteral("go-last")};
    case 13: return {QStringLiteral("document-save")};
    case 14: return {QStringLiteral("edit-delete")};
    case 15: return {QStringLiteral("edit-clear-all"), QStringLiteral("edit-clear")};
    case 16: return {QStringLiteral("list-remove")};
    case 17: return {QStringLiteral("list-add")};
    case 19: return {QStringLiteral("go-up")};
    case 20: return {QStringLiteral("go-down")};
    case 21: return {QStringLiteral("view-list-icons")};
    case 22: return {QStringLiteral("view-list-compact")};
    case 23: return {QStringLiteral("view-list-text")};
    case 24: return {QStringLiteral("view-list-details")};
    case 25: return {QStringLiteral("preferences-desktop-keyboard-shortcuts"), QStringLiteral("preferences-desktop-keyboard")};
    case 26: return {QStringLiteral("preferences-desktop-screensaver")};
    case 27: return {QStringLiteral("preferences-desktop-color"), QStringLiteral("color-management")};
    case 28: return {QStringLiteral("media-playback-start")};
    default: return {};
    }
}

// Pictograms on a 16-unit grid, scaled to the pixmap.
QPixmap commandPixmap(int index, int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    const QColor nav(40, 90, 170), green(40, 140, 60), red(190, 50, 40), grey(90, 90, 90);
    const auto arrow = [&](qreal x, bool right, const QColor& c) {
        const QPointF left[] = {{x + 5, 3}, {x + 5, 13}, {x, 8}};
        const QPointF rightPts[] = {{x, 3}, {x, 13}, {x + 5, 8}};
        p.setPen(QPen(c.darker(140), 0.8));
        p.setBrush(c);
        p.drawPolygon(right ? rightPts : left, 3);
    };
    const auto vertical = [&](bool up) {
        const QPointF pts[] = {{8, up ? 2.0 : 14.0}, {14, up ? 8.0 : 8.0}, {10.5, 8}, {10.5, up ? 14.0 : 2.0},
                               {5.5, up ? 14.0 : 2.0}, {5.5, 8}, {2, 8}};
        p.setPen(QPen(nav.darker(140), 0.8));
        p.setBrush(nav);
        p.drawPolygon(pts, 7);
    };
    const auto sign = [&](qreal cx, qreal cy, bool plus, const QColor& c) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawRect(QRectF(cx - 4, cy - 1.2, 8, 2.4));
        if (plus) p.drawRect(QRectF(cx - 1.2, cy - 4, 2.4, 8));
    };
    const auto page = [&] {
        p.setPen(QPen(grey, 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 1.5, 10, 13));
        p.setPen(QPen(QColor(160, 160, 160), 0.8));
        for (qreal y = 4.5; y < 13; y += 2.5) p.drawLine(QPointF(4.5, y), QPointF(10.5, y));
    };
    switch (index) {
    case 9: arrow(2, false, nav), arrow(8, false, nav); break;
    case 10: arrow(5, false, nav); break;
    case 11: arrow(6, true, nav); break;
    case 12: arrow(3, true, nav), arrow(9, true, nav); break;
    case 13:  // a disk
        p.setPen(QPen(QColor(30, 50, 100), 0.8));
        p.setBrush(QColor(60, 100, 170));
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 1.5, 8, 5));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(4, 9.5, 8, 5));
        break;
    case 14:  // a page crossed out
        page();
        p.setPen(QPen(red, 2));
        p.drawLine(QPointF(5, 6), QPointF(14, 15));
        p.drawLine(QPointF(14, 6), QPointF(5, 15));
        break;
    case 15: sign(8, 4.5, false, red), sign(8, 11.5, false, red); break;
    case 16: sign(8, 8, false, red); break;
    case 17: sign(8, 8, true, green); break;
    case 18: sign(5, 5, true, green), sign(11, 11, true, green); break;
    case 19: vertical(true); break;
    case 20: vertical(false); break;
    case 21:
        p.setPen(Qt::NoPen);
        p.setBrush(nav);
        for (qreal x : {2.0, 9.0})
            for (qreal y : {2.0, 9.0}) p.drawRect(QRectF(x, y, 5, 5));
        break;
    case 22:
        p.setPen(Qt::NoPen);
        for (qreal x : {1.5, 8.5})
            for (qreal y : {2.5, 7.0, 11.5}) {
                p.setBrush(nav);
                p.drawRect(QRectF(x, y, 2.5, 2.5));
                p.setBrush(grey);
                p.drawRect(QRectF(x + 3, y + 0.75, 3, 1));
            }
        break;
    case 23:
    case 24:
        p.setPen(Qt::NoPen);
        for (qreal y : {2.5, 7.0, 11.5}) {
            p.setBrush(nav);
            p.drawRect(QRectF(1.5, y, 2.5, 2.5));
            p.setBrush(grey);
            if (index == 23) {
                p.drawRect(QRectF(5, y + 0.75, 9.5, 1));
            } else {
                p.drawRect(QRectF(5, y + 0.75, 4, 1));
                p.drawRect(QRectF(10.5, y + 0.75, 4, 1));
            }
        }
        break;
    case 25:  // a key cap
        p.setPen(QPen(grey, 0.8));
        p.setBrush(QColor(235, 235, 235));
        p.drawRoundedRect(QRectF(1.5, 3.5, 13, 9), 2, 2);
        p.setPen(QPen(grey, 1.2));
        p.drawLine(QPointF(4, 9.5), QPointF(12, 9.5));
        p.drawPoint(QPointF(4.5, 6.5)), p.drawPoint(QPointF(8, 6.5)), p.drawPoint(QPointF(11.5, 6.5));
        break;
    case 26:  // a screen on its stand
        p.setPen(QPen(grey, 0.8));
        p.setBrush(QColor(20, 30, 70));
        p.drawRect(QRectF(1.5, 2, 13, 9));
        p.setBrush(QColor(250, 210, 70));
        p.drawEllipse(QRectF(6, 4.5, 4, 4));
        p.setBrush(grey);
        p.drawRect(QRectF(6, 11, 4, 2));
        p.drawRect(QRectF(4, 13, 8, 1.5));
        break;
    case 27: {  // four colour tiles
        const QColor tiles[] = {QColor(220, 40, 40), QColor(40, 170, 60), QColor(40, 80, 210), QColor(240, 200, 40)};
        p.setPen(QPen(grey, 0.6));
        int i = 0;
        for (qreal y : {2.0, 8.5})
            for (qreal x : {2.0, 8.5}) p.setBrush(tiles[i++]), p.drawRect(QRectF(x, y, 5.5, 5.5));
        break;
    }
    case 28: {
        const QPointF pts[] = {{4, 2}, {13, 8}, {4, 14}};
        p.setPen(QPen(green.darker(140), 0.8));
        p.setBrush(green);
        p.drawPolygon(pts, 3);
        break;
    }
    default:
        break;
    }
    p.end();
    return pm;
}

}  // namespace

QIcon bundledCommandIcon(int index) {
    if (index < 9 || index > 28) return {};
    QIcon icon;
    for (int size : {16, 24, 32}) icon.addPixmap(commandPixmap(index, size));
    return icon;
}

QIcon commandIcon(int index) { return themedOr(themeNamesOfCommand(index), bundledCommandIcon(index)); }

}  // namespace editor
