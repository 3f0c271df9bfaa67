// The interval controls on the custom bar: the two-digit box with its key
// filter, the slider that follows it, and the unit selector.
#include "frmFileListEx.h"

#include "IntervalRules.h"
#include "shared/mdlPublic.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
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
            return !IntervalKeyAccepted(m_box->text(), start, length, c);
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

void frmFileListEx::CreateIntervalCommands() {
    new IntervalBoxEvents(txtTime);
    connect(txtTime, &QLineEdit::textChanged, this, [this] { txtTime_Change(); });
    connect(sldTime, &QSlider::valueChanged, this, [this] { sldTime_Change(); });
    for (int i = 0; i < 2; ++i) connect(optTime[i], &QRadioButton::clicked, this, [this, i] { optTime_Click(i); });
}

void frmFileListEx::txtTime_Change() {
    // The opening shows the value as read (even outside the range) and places the slider itself.
    if (!m_loaded) return;
    const IntervalChange change = IntervalTextChanged(txtTime->text());
    if (change.replaceText) {
        txtTime->setText(*change.replaceText);
        return;
    }
    mdlPublic::Public().interval = static_cast<std::int16_t>(change.value);
    sldTime->setValue(change.slider);
}

void frmFileListEx::sldTime_Change() {
    const QString text = QString::number(sldTime->value());
    if (txtTime->text() != text) txtTime->setText(text);
}

void frmFileListEx::optTime_Click(int index) { mdlPublic::Public().unit = static_cast<std::int16_t>(index); }

}  // namespace editor
