#pragma once
// Finding and answering the message boxes a window shows. A box runs its own
// event loop, so the answer comes from a timer that polls for it. GUI thread only.

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>

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

// Presses the button labelled `label` (the first button when empty) and
// returns what the box showed.
inline ShownBox answerBox(QMessageBox* box, const QString& label = {}) {
    const QList<QAbstractButton*> buttons = box->buttons();
    const ShownBox shown{box->text(), box->windowTitle(), box->icon(), static_cast<int>(buttons.size())};
    const auto it =
        std::find_if(buttons.begin(), buttons.end(), [&](auto* b) { return label.isEmpty() || b->text() == label; });
    if (it != buttons.end()) (*it)->click();
    return shown;
}

// Calls `act` with the next modal window (or message box) shown within five
// seconds while `context` lives.
inline void onNextModal(QObject* context, std::function<void(QWidget*)> act) {
    auto* poll = new QTimer(context);
    QElapsedTimer started;
    started.start();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, started, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) modal = shownMessageBox();
        if (!modal && !started.hasExpired(5000)) return;
        poll->stop();
        poll->deleteLater();
        if (modal) act(modal);
    });
    poll->start(10);
}

// Answers the next message box that way and hands what it showed to `seen`.
inline void answerNextBox(QObject* context, std::function<void(const ShownBox&)> seen, const QString& label = {}) {
    onNextModal(context, [seen, label](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) seen(answerBox(box, label));
    });
}

// Answers every box shown while it lives, the same way each time.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::function<void(const ShownBox&)> seen = {}, const QString& label = {}) {
        QObject::connect(&m_poll, &QTimer::timeout, [this, seen, label] {
            if (QMessageBox* box = shownMessageBox()) {
                const ShownBox shown = answerBox(box, label);
                if (seen) seen(shown);
            }
        });
        m_poll.start(10);
    }

private:
    QTimer m_poll;
};
