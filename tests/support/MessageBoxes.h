#pragma once
// Finding and answering the message boxes and other modal windows a window
// opens. A modal window runs its own event loop, so the answers come from a
// timer that polls for it. GUI thread only.

#include "QtWait.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>
#include <type_traits>
#include <vector>

// What a box showed when it was answered.
struct ShownBox {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
};

// The message box on screen now, or null.
inline QMessageBox* shownMessageBox() {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); box && box->isVisible()) return box;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return box;
    }
    return nullptr;
}

inline ShownBox shownBox(const QMessageBox* box) {
    return {box->text(), box->windowTitle(), box->icon(), static_cast<int>(box->buttons().size())};
}

// Presses the button labelled `label` (the first button when empty) and
// returns what the box showed.
inline ShownBox answerBox(QMessageBox* box, const QString& label = {}) {
    const ShownBox shown = shownBox(box);
    const QList<QAbstractButton*> buttons = box->buttons();
    const auto it =
        std::find_if(buttons.begin(), buttons.end(), [&](auto* b) { return label.isEmpty() || b->text() == label; });
    if (it != buttons.end()) {
        (*it)->click();
    } else {
        ADD_FAILURE() << "no button " << label.toStdString() << " on " << shown.text.toStdString();
        box->reject();
    }
    return shown;
}

// One answer: a message box's button by its label ("" for the first button)
// or a key pressed on the box; or anything done to a modal window.
class ModalStep {
public:
    ModalStep(const char* label) : m_label(QString::fromUtf8(label)) {}
    ModalStep(Qt::Key key) : m_key(key) {}
    template <typename F, typename = std::enable_if_t<std::is_invocable_v<F, QWidget*>>>
    ModalStep(F act) : m_act(std::move(act)) {}

    bool fits(QWidget* modal) const { return m_act || qobject_cast<QMessageBox*>(modal); }
    void take(QWidget* modal) const {
        if (m_act) return m_act(modal);
        auto* box = static_cast<QMessageBox*>(modal);
        if (!m_key) return void(answerBox(box, m_label));
        QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, *m_key);
    }

private:
    QString m_label;
    std::optional<Qt::Key> m_key;
    std::function<void(QWidget*)> m_act;
};

// Answers the modal windows that open while it lives, one step each in the
// order they open, then every later one with `rest` (by default a message
// box's first button); a box step waits for a message box. Keeps what each
// box answered showed, so a test can tell the boxes it did not expect.
class ModalScript {
public:
    explicit ModalScript(std::vector<ModalStep> steps = {}, ModalStep rest = "")
        : m_steps(steps.begin(), steps.end()), m_rest(std::move(rest)) {
        QObject::connect(&m_poll, &QTimer::timeout, [this] { poll(); });
        m_poll.start(10);
    }
    const std::vector<ShownBox>& seen() const { return m_seen; }
    bool done() const { return m_steps.empty(); }
    // Runs the event loop until every step was taken; false after `ms`.
    bool finish(int ms = 5000) const { return waitFor([this] { return done(); }, ms); }

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) modal = shownMessageBox();
        if (!modal || modal == m_last) return;
        const ModalStep* step = !m_steps.empty() ? &m_steps.front() : &m_rest;
        if (!step->fits(modal)) return;
        m_last = modal;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) m_seen.push_back(shownBox(box));
        // Answered from the box's own loop, so a box the answer opens is found too.
        QTimer::singleShot(0, modal, [modal, step = *step] { step.take(modal); });
        if (!m_steps.empty()) m_steps.pop_front();
    }

    QTimer m_poll;
    std::deque<ModalStep> m_steps;
    ModalStep m_rest;
    std::vector<ShownBox> m_seen;
    QPointer<QWidget> m_last;
};
