// Draws the launcher artwork: the shaped picture and its four button strips.
// Run by hand when the artwork changes (see build.sh); the build only uses the
// PNG files it writes into src/launcher/art/.
//
// The figure is painted with antialiasing on a transparent layer and then put
// on the flat key colour with a hard alpha threshold, so no half-blended key
// pixels ring the outline once the launcher cuts the key colour out.

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kW = 432;
constexpr int kH = 224;
const QColor kKey(255, 0, 255);
const QRect kStrip(206, 154, 204, 60);

struct Button {
    QPointF centre;
    int lit;  // strip index that lights it
};
const Button kButtons[] = {{{236, 184}, 2}, {{308, 184}, 3}, {{380, 184}, 4}};

void drawCard(QPainter& p, QPointF centre, double angle, QColor top, QColor bottom, int motif) {
    p.save();
    p.translate(centre);
    p.rotate(angle);
    const QRectF outer(-46, -34, 92, 68);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRoundedRect(outer.translated(3, 4), 5, 5);
    p.setBrush(QColor(250, 248, 240));
    p.drawRoundedRect(outer, 5, 5);
    const QRectF inner = outer.adjusted(6, 6, -6, -14);
    QLinearGradient sky(inner.topLeft(), inner.bottomLeft());
    sky.setColorAt(0, top);
    sky.setColorAt(1, bottom);
    p.setBrush(sky);
    p.drawRect(inner);
    p.setClipRect(inner);
    if (motif == 0) {  // sun over a hill
        p.setBrush(QColor(255, 230, 140));
        p.drawEllipse(QPointF(inner.center().x() + 14, inner.top() + 16), 9, 9);
        p.setBrush(QColor(40, 110, 70));
        p.drawEllipse(QPointF(inner.center().x() - 10, inner.bottom() + 22), 52, 34);
    } else if (motif == 1) {  // waves
        p.setBrush(QColor(255, 255, 255, 200));
        for (int i = 0; i < 3; ++i) {
            QPainterPath wave;
            const double y = inner.top() + 20 + i * 9;
            wave.moveTo(inner.left(), y);
            for (double x = inner.left(); x <= inner.right() + 8; x += 8) wave.quadTo(x + 4, y - 4, x + 8, y);
            wave.lineTo(inner.right(), y + 3);
            wave.lineTo(inner.left(), y + 3);
            p.drawPath(wave);
        }
    } else {  // night with stars
        p.setBrush(QColor(255, 250, 220));
        p.drawEllipse(QPointF(inner.left() + 18, inner.top() + 14), 7, 7);
        p.setBrush(top);
        p.drawEllipse(QPointF(inner.left() + 21, inner.top() + 12), 6, 6);
        p.setBrush(QColor(255, 255, 255));
        const QPointF stars[] = {{40, 8}, {58, 20}, {30, 28}, {66, 10}, {50, 33}};
        for (const QPointF& s : stars) p.drawEllipse(inner.topLeft() + s, 1.3, 1.3);
    }
    p.restore();
}

void drawEmblem(QPainter& p) {
    const QPointF c(96, 110);
    const double r = 90;
    // Ring, then the view through it: an evening landscape.
    QRadialGradient ring(c, r);
    ring.setColorAt(0.90, QColor(250, 214, 120));
    ring.setColorAt(1.00, QColor(176, 110, 34));
    p.setPen(Qt::NoPen);
    p.setBrush(ring);
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(60, 34, 20));
    p.drawEllipse(c, r - 9, r - 9);

    QPainterPath lens;
    lens.addEllipse(c, r - 12, r - 12);
    p.save();
    p.setClipPath(lens);
    QLinearGradient sky(0, c.y() - r, 0, c.y() + r);
    sky.setColorAt(0.0, QColor(44, 36, 110));
    sky.setColorAt(0.45, QColor(214, 96, 120));
    sky.setColorAt(0.70, QColor(255, 180, 96));
    p.setBrush(sky);
    p.drawRect(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r));
    p.setBrush(QColor(255, 236, 170));
    p.drawEllipse(QPointF(c.x() + 18, c.y() + 8), 26, 26);
    QPainterPath far;
    far.moveTo(c.x() - r, c.y() + 40);
    far.lineTo(c.x() - 50, c.y() + 2);
    far.lineTo(c.x() - 18, c.y() + 30);
    far.lineTo(c.x() + 22, c.y() - 6);
    far.lineTo(c.x() + 70, c.y() + 34);
    far.lineTo(c.x() + r, c.y() + 26);
    far.lineTo(c.x() + r, c.y() + r);
    far.lineTo(c.x() - r, c.y() + r);
    p.setBrush(QColor(92, 58, 110));
    p.drawPath(far);
    QPainterPath near;
    near.moveTo(c.x() - r, c.y() + 58);
    near.cubicTo(c.x() - 40, c.y() + 34, c.x() + 10, c.y() + 70, c.x() + r, c.y() + 46);
    near.lineTo(c.x() + r, c.y() + r);
    near.lineTo(c.x() - r, c.y() + r);
    p.setBrush(QColor(38, 30, 62));
    p.drawPath(near);
    // Glint on the glass.
    QRadialGradient glint(QPointF(c.x() - 34, c.y() - 40), 46);
    glint.setColorAt(0, QColor(255, 255, 255, 110));
    glint.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(glint);
    p.drawEllipse(QPointF(c.x() - 34, c.y() - 40), 46, 46);
    p.restore();
}

void drawPlate(QPainter& p) {
    const QRectF plate(10, 118, 414, 102);
    QLinearGradient fill(plate.topLeft(), plate.bottomLeft());
    fill.setColorAt(0, QColor(38, 70, 120));
    fill.setColorAt(1, QColor(16, 28, 58));
    p.setPen(QPen(QColor(250, 214, 120), 3));
    p.setBrush(fill);
    p.drawRoundedRect(plate, 38, 38);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(plate.adjusted(5, 5, -5, -5), 33, 33);
}

void drawTitle(QPainter& p) {
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(30);
    font.setBold(true);
    font.setItalic(true);
    p.setFont(font);
    const QRectF box(196, 118, 220, 38);
    p.setPen(QColor(0, 0, 0, 140));
    p.drawText(box.translated(2, 2), Qt::AlignCenter, QStringLiteral("Vistrova!!"));
    p.setPen(QColor(255, 226, 140));
    p.drawText(box, Qt::AlignCenter, QStringLiteral("Vistrova!!"));
}

void drawIcon(QPainter& p, int index, QPointF c, QColor colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    if (index == 2) {  // play
        QPainterPath tri;
        tri.moveTo(c + QPointF(-8, -12));
        tri.lineTo(c + QPointF(14, 0));
        tri.lineTo(c + QPointF(-8, 12));
        tri.closeSubpath();
        p.drawPath(tri);
    } else if (index == 3) {  // list
        for (int i = -1; i <= 1; ++i) {
            p.drawEllipse(c + QPointF(-12, i * 9), 2.6, 2.6);
            p.drawRoundedRect(QRectF(c.x() - 6, c.y() + i * 9 - 2.5, 20, 5), 2.5, 2.5);
        }
    } else {  // exit: a cross
        p.setPen(QPen(colour, 5.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(-10, -10), c + QPointF(10, 10));
        p.drawLine(c + QPointF(10, -10), c + QPointF(-10, 10));
    }
}

void drawButton(QPainter& p, const Button& b, bool lit) {
    const QPointF c = b.centre;
    QRadialGradient rim(c, 30);
    rim.setColorAt(0.80, lit ? QColor(255, 244, 190) : QColor(240, 200, 110));
    rim.setColorAt(1.00, lit ? QColor(255, 170, 60) : QColor(150, 96, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(c, 29, 29);
    QRadialGradient face(c + QPointF(-8, -10), 34);
    if (lit) {
        face.setColorAt(0, QColor(255, 170, 120));
        face.setColorAt(1, QColor(200, 40, 60));
    } else {
        face.setColorAt(0, QColor(90, 130, 200));
        face.setColorAt(1, QColor(24, 44, 96));
    }
    p.setBrush(face);
    p.drawEllipse(c, 24, 24);
    drawIcon(p, b.lit, c + QPointF(1, 1), QColor(0, 0, 0, 90));
    drawIcon(p, b.lit, c, lit ? QColor(255, 255, 240) : QColor(230, 236, 250));
    p.setPen(Qt::NoPen);
    QRadialGradient shine(c + QPointF(0, -14), 18);
    shine.setColorAt(0, QColor(255, 255, 255, 90));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(shine);
    p.drawEllipse(c + QPointF(0, -12), 18, 10);
}

// The figure with button `lit` (1 = none) lit, on a transparent layer.
QImage drawFigure(int lit) {
    QImage layer(kW, kH, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter p(&layer);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawCard(p, {372, 58}, 10, QColor(20, 24, 70), QColor(70, 60, 140), 2);
    drawCard(p, {296, 50}, -4, QColor(60, 150, 220), QColor(20, 90, 170), 1);
    drawCard(p, {222, 66}, -12, QColor(120, 200, 255), QColor(250, 220, 160), 0);
    drawPlate(p);
    drawEmblem(p);
    drawTitle(p);
    for (const Button& b : kButtons) drawButton(p, b, b.lit == lit);
    p.end();
    return layer;
}

// Hard threshold onto the key colour; no figure pixel may equal the key.
QImage flatten(const QImage& layer) {
    QImage out(kW, kH, QImage::Format_RGB32);
    const QImage src = layer.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < kH; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < kW; ++x) {
            QRgb px = in[x];
            if (qAlpha(px) < 128) {
                to[x] = kKey.rgb();
                continue;
            }
            // Semi-transparent edge pixels take a dark outline tone underneath.
            const int a = qAlpha(px);
            const auto mix = [a](int c, int under) { return (c * a + under * (255 - a)) / 255; };
            QRgb solid = qRgb(mix(qRed(px), 20), mix(qGreen(px), 16), mix(qBlue(px), 40));
            if (solid == kKey.rgb()) solid = qRgb(254, 0, 255);
            to[x] = solid;
        }
    }
    return out;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_launcher_art OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const char* names[] = {"NoSelect", "Start", "List", "Exit"};
    bool ok = true;
    for (int lit = 1; lit <= 4; ++lit) {
        const QImage picture = flatten(drawFigure(lit));
        if (lit == 1) ok = picture.save(folder + QStringLiteral("/launcher.png")) && ok;
        ok = picture.copy(kStrip).save(folder + QStringLiteral("/%1.png").arg(QLatin1String(names[lit - 1]))) && ok;
    }
    if (!ok) std::fprintf(stderr, "make_launcher_art: cannot write into %s\n", argv[1]);
    return ok ? 0 : 1;
}
