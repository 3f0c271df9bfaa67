// Draws the programs' icons at every size the desktop asks for and writes them
// under data/icons. Run by hand (make icons); the images are committed.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

// A framed sunrise over a dark shore: the slideshow.
QImage Vistrova(int s) {
    QImage img(s, s, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(s * 0.06, s * 0.06, s * 0.88, s * 0.88);
    QPainterPath clip;
    clip.addRoundedRect(frame, s * 0.14, s * 0.14);
    QLinearGradient sky(0, frame.top(), 0, frame.bottom());
    sky.setColorAt(0, QColor(255, 170, 96));
    sky.setColorAt(0.55, QColor(214, 92, 120));
    sky.setColorAt(1, QColor(84, 40, 128));
    p.fillPath(clip, sky);
    p.setClipPath(clip);
    QRadialGradient sun(QPointF(s * 0.5, s * 0.6), s * 0.24);
    sun.setColorAt(0, QColor(255, 248, 200));
    sun.setColorAt(1, QColor(255, 214, 120));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(s * 0.5, s * 0.6), s * 0.22, s * 0.22);
    QPainterPath hills;
    hills.moveTo(frame.left(), s * 0.72);
    hills.cubicTo(s * 0.3, s * 0.6, s * 0.45, s * 0.8, s * 0.62, s * 0.7);
    hills.cubicTo(s * 0.75, s * 0.62, s * 0.85, s * 0.68, frame.right(), s * 0.66);
    hills.lineTo(frame.right(), frame.bottom());
    hills.lineTo(frame.left(), frame.bottom());
    hills.closeSubpath();
    p.fillPath(hills, QColor(36, 28, 60));
    p.setClipping(false);
    p.setPen(QPen(QColor(36, 28, 60), s / 24.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(clip);
    return img;
}

// Two stacked sheets with an arrow: the list converter.
QImage tarnquill(int s) {
    QImage img(s, s, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const auto sheet = [&](QPointF at, QColor fill) {
        const QRectF r(at.x(), at.y(), s * 0.5, s * 0.62);
        p.setPen(QPen(QColor(36, 28, 60), s / 28.0));
        p.setBrush(fill);
        p.drawRoundedRect(r, s * 0.05, s * 0.05);
        p.setPen(QPen(QColor(36, 28, 60, 150), s / 40.0));
        for (int i = 1; i <= 4; ++i) {
            const double y = r.top() + r.height() * i / 5.5;
            p.drawLine(QPointF(r.left() + s * 0.07, y), QPointF(r.right() - s * 0.07, y));
        }
    };
    sheet(QPointF(s * 0.08, s * 0.08), QColor(236, 228, 210));
    sheet(QPointF(s * 0.42, s * 0.3), QColor(255, 214, 150));
    QPainterPath arrow;
    arrow.moveTo(s * 0.14, s * 0.86);
    arrow.lineTo(s * 0.38, s * 0.86);
    arrow.lineTo(s * 0.38, s * 0.78);
    arrow.lineTo(s * 0.52, s * 0.9);
    arrow.lineTo(s * 0.38, s * 1.0 - 0.02 * s);
    arrow.lineTo(s * 0.38, s * 0.94);
    arrow.lineTo(s * 0.14, s * 0.94);
    arrow.closeSubpath();
    p.fillPath(arrow, QColor(0, 0, 192));
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("data/icons");
    for (int size : {48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(root).arg(size);
        QDir().mkpath(dir);
        if (!Vistrova(size).save(dir + QStringLiteral("/vistrova.png")) ||
            !tarnquill(size).save(dir + QStringLiteral("/tarnquill.png"))) {
            std::fprintf(stderr, "cannot write icons into %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
