#include "IntervalBar.h"

#include "EditorRules.h"
#include "IntervalRules.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>

namespace editor {

namespace {
// Typed characters and focus of the interval box.
class IntervalBoxEvents : public QObject {
public:
    explicit IntervalBoxEvents(QLineEdit* box) : QObject(box), m_box(box) { box->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_box) return false;
        if (event->type() == QEvent::KeyPress) {
            const QString typed = static_cast<QKeyEvent*>(event)->text();
            if (typed.isEmpty()) return false;
            const QChar c = typed.front();
            // Other control characters (Delete, Ctrl+V...) are editing keys, not typed text.
            if (c.unicode() != 8 && (c.unicode() < 0x20 || c.unicode() == 0x7f)) return false;
            const int start = m_box->hasSelectedText() ? m_box->selectionStart() : m_box->cursorPosition();
            const int length = m_box->hasSelectedText() ? int(m_box->selectedText().size()) : 0;
            return !intervalKeyAccepted(m_box->text(), start, length, c);
        }
        if (event->type() == QEvent::FocusIn) {
            // After the click that gave the focus has placed the caret.
            QTimer::singleShot(0, m_box, [box = m_box] { box->selectAll(); });
        }
        return false;
    }

private:
    QLineEdit* m_box;
};
}  // namespace

IntervalBar::IntervalBar(const TwipsScale& scale, int barPixels, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picCustomBar"));
    lblText = new QLabel(QStringLiteral("インターバル"), this);
    lblText->setObjectName(QStringLiteral("lblText"));
    lblText->setToolTip(QStringLiteral("画像ファイルの更新間隔"));
    sldTime = new QSlider(Qt::Horizontal, this);
    sldTime->setObjectName(QStringLiteral("sldTime"));
    sldTime->setRange(0, 99);
    sldTime->setToolTip(QStringLiteral("0～99"));
    txtTime = new QLineEdit(QStringLiteral("0"), this);
    txtTime->setObjectName(QStringLiteral("txtTime"));
    txtTime->setToolTip(QStringLiteral("0～99"));
    optTime[0] = new QRadioButton(QStringLiteral("秒"), this);
    optTime[1] = new QRadioButton(QStringLiteral("分"), this);
    for (int i = 0; i < 2; ++i) {
        optTime[i]->setObjectName(QStringLiteral("optTime(%1)").arg(i));
        optTime[i]->setToolTip(QStringLiteral("時間単位"));
    }
    optTime[0]->setChecked(true);
    place(scale, barPixels);

    new IntervalBoxEvents(txtTime);
    connect(txtTime, &QLineEdit::textChanged, this, [this] { txtTime_Change(); });
    connect(sldTime, &QSlider::valueChanged, this, [this] { sldTime_Change(); });
    for (int i = 0; i < 2; ++i) connect(optTime[i], &QRadioButton::clicked, this, [this, i] { optTime_Click(i); });
}

void IntervalBar::place(const TwipsScale& scale, int barPixels) {
    // Designed places inside the bar, twips.
    lblText->setGeometry(scale.rect({120, 90, 840, 180}));
    sldTime->setGeometry(scale.rect({1080, 90, 2655, 255}));
    txtTime->setGeometry(scale.rect({3840, 45, 375, 270}));
    optTime[0]->setGeometry(scale.rect({4320, 90, 495, 180}));
    optTime[1]->setGeometry(scale.rect({4920, 90, 495, 180}));
    for (QWidget* w : std::initializer_list<QWidget*>{lblText, optTime[0], optTime[1], txtTime})
        w->setMinimumHeight(qMin(w->sizeHint().height(), barPixels - 4));
    // The designed places assume the original font; keep the order, make room for the texts.
    lblText->adjustSize();
    int x = qMax(sldTime->x(), lblText->x() + lblText->width() + 6);
    sldTime->move(x, sldTime->y());
    x += sldTime->width() + 6;
    txtTime->setGeometry(x, txtTime->y(),
                         qMax(txtTime->width(), txtTime->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 8),
                         txtTime->height());
    x += txtTime->width() + 6;
    for (QRadioButton* o : optTime) {
        o->adjustSize();
        o->move(x, o->y());
        x += o->width() + 6;
    }
    setFixedSize(optTime[1]->x() + optTime[1]->width() + 8, barPixels - 4);
    for (QWidget* w : std::initializer_list<QWidget*>{lblText, sldTime, txtTime, optTime[0], optTime[1]})
        w->move(w->x(), qMax(0, (height() - w->height()) / 2));
}

void IntervalBar::showValues(int interval, int unit) {
    txtTime->setText(QString::number(interval));
    {
        // The slider follows the box, never the reverse: a value above its range stays in the box.
        const QSignalBlocker block(sldTime);
        sldTime->setValue(qBound(0, interval, 99));
    }
    optTime[unit != 0 ? 1 : 0]->setChecked(true);
    m_live = true;
}

void IntervalBar::store(CloseView& v) const {
    v.intervalText = txtTime->text().toStdString();
    v.unit = optTime[0]->isChecked() ? 0 : 1;  // 0 seconds, 1 minutes
}

void IntervalBar::txtTime_Change() {
    if (!m_live) return;
    const IntervalChange change = intervalTextChanged(txtTime->text());
    if (change.replaceText) {
        txtTime->setText(*change.replaceText);
        return;
    }
    emit intervalChanged(change.value);
    sldTime->setValue(change.slider);
}

void IntervalBar::sldTime_Change() {
    const QString text = QString::number(sldTime->value());
    if (txtTime->text() != text) txtTime->setText(text);
}

void IntervalBar::optTime_Click(int index) { emit unitChanged(index); }

}  // namespace editor
