// The launcher's buttons and keys on the offscreen platform, with the windows
// they open replaced by recorders: which action runs, where the show starts,
// the refusal of an empty list, the pointer while the editor opens.

#include "launcher/frmStart.h"
#include "shared/mdlPublic.h"

#include "FakeMixer.h"
#include "MessageBoxes.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QWindow>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <string>
#include <vector>

using launcher::frmStart;

namespace {

// The launcher with every action recorded as one letter: S show, L editor,
// A about, H help; the show records the position it starts at.
struct Launcher {
    FakeMixer mixer;
    mdlPublic::PublicState state;
    frmStart form{state, mixer};
    std::string log;
    std::vector<int> startPositions;
    Qt::CursorShape editorCursor = Qt::ArrowCursor;

    explicit Launcher(std::int16_t count, std::int16_t position) {
        state.playList.count = count;
        state.playList.position = position;
        frmStart::Actions actions;
        actions.showSequence = [this](QWidget* owner) {
            EXPECT_EQ(owner, &form);
            log += 'S';
            startPositions.push_back(state.playList.position);
        };
        actions.runEditor = [this](QWidget* owner) {
            EXPECT_EQ(owner, &form);
            log += 'L';
            const QCursor* cursor = QApplication::overrideCursor();
            editorCursor = cursor ? cursor->shape() : Qt::ArrowCursor;
        };
        actions.showAbout = [this](QWidget* owner) {
            EXPECT_EQ(owner, &form);
            log += 'A';
        };
        actions.openHelp = [this] { log += 'H'; };
        form.setActions(std::move(actions));
        EXPECT_TRUE(form.Form_Load());
    }

    void moveTo(QPointF p) {
        QMouseEvent event(QEvent::MouseMove, p, form.mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &event);
    }
    void release(QPointF p, Qt::MouseButton button = Qt::LeftButton) {
        QMouseEvent event(QEvent::MouseButtonRelease, p, form.mapToGlobal(p), button, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &event);
    }
    void sendKey(QEvent::Type type, int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(type, key, modifiers, text);
        // Through the native window where there is one, as the X server sends keys.
        QObject* target = form.windowHandle() ? static_cast<QObject*>(form.windowHandle()) : &form;
        QApplication::sendEvent(target, &event);
    }
};

// The one box shown was the refusal of an empty list.
bool isRefused(const ModalScript& boxes) {
    const auto& seen = boxes.seen();
    return seen.size() == 1 && seen[0].text == QStringLiteral("ファイルリストを選択してください。") &&
           seen[0].title == QStringLiteral("Vistrova!!") && seen[0].icon == QMessageBox::Warning;
}

TEST(frmStartMenu, LeftReleaseAtTheEdgePixels) {
    struct Row {
        QPointF at;
        const char* log;
        int positionAfter;
    };
    const std::vector<Row> rows = {
        {{236, 213}, "S", 0},  // 29 pixels below the Start centre
        {{236, 214}, "", 5},   // 30 pixels: outside
        {{272, 184}, "", 5},   // between Start and List
        {{236, 184}, "S", 0},
        {{308, 210}, "L", 5},
        {{279, 184}, "L", 5},
        {{10, 10}, "", 5},
    };
    for (const Row& r : rows) {
        Launcher l(7, 5);
        l.moveTo(r.at);
        l.release(r.at);
        EXPECT_EQ(l.log, r.log) << r.at.x() << "," << r.at.y();
        EXPECT_EQ(l.state.playList.position, r.positionAfter) << r.at.x() << "," << r.at.y();
        EXPECT_EQ(l.form.selectedMenu(), 1) << r.at.x() << "," << r.at.y();
        if (!l.startPositions.empty()) {
            EXPECT_EQ(l.startPositions, std::vector<int>{0});
        }
        EXPECT_TRUE(l.form.isVisible());
    }
}

TEST(frmStartMenu, StartWithAnEmptyListIsRefusedAndTheStripFollowsThePointer) {
    // The box takes the pointer off the launcher while it is up (a leave);
    // once it closes, the button under the pointer is lit again.
    struct Row {
        QPointF pointerAfter;
        int lit;
    };
    for (const Row& r : {Row{{236, 184}, 2}, Row{{308, 184}, 3}, Row{{5, 5}, 1}}) {
        Launcher l(0, 3);
        l.form.show();
        QCursor::setPos(l.form.mapToGlobal(QPoint(236, 184)));
        l.moveTo({236, 184});
        ASSERT_EQ(l.form.selectedMenu(), 2);
        const ModalScript boxes({[&](QWidget* modal) {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(&l.form, &leave);
            QCursor::setPos(l.form.mapToGlobal(r.pointerAfter.toPoint()));
            if (auto* box = qobject_cast<QMessageBox*>(modal)) answerBox(box);
        }});
        l.release({236, 184});
        EXPECT_TRUE(isRefused(boxes));
        EXPECT_EQ(l.log, "");
        EXPECT_EQ(l.form.selectedMenu(), r.lit) << r.pointerAfter.x();
        EXPECT_EQ(l.state.playList.position, 0);
    }
}

TEST(frmStartMenu, ListShowsTheHourglassWhileTheEditorOpens) {
    Launcher l(1, 0);
    l.release({308, 184});
    EXPECT_EQ(l.log, "L");
    EXPECT_EQ(l.editorCursor, Qt::WaitCursor);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass stayed";
    // The L key opens it without touching the pointer.
    l.sendKey(QEvent::KeyPress, Qt::Key_L, QStringLiteral("l"));
    EXPECT_EQ(l.log, "LL");
    EXPECT_EQ(l.editorCursor, Qt::ArrowCursor);
}

TEST(frmStartMenu, OtherButtonsAndTheRightClickAnywhere) {
    Launcher l(4, 2);
    l.release({236, 184}, Qt::RightButton);  // on Start: the about window, not the show
    l.release({380, 184}, Qt::RightButton);  // on Exit: the launcher stays
    l.release({5, 5}, Qt::RightButton);
    l.release({236, 184}, Qt::MiddleButton);
    EXPECT_EQ(l.log, "AAA");
    EXPECT_TRUE(l.form.isVisible());
    EXPECT_EQ(l.state.playList.position, 2);
    EXPECT_TRUE(l.mixer.writes.empty());
}

TEST(frmStartMenu, KeysContinueAtTheCurrentEntry) {
    struct Row {
        int key;
        QString text;
        Qt::KeyboardModifiers modifiers;
        const char* log;
    };
    const std::vector<Row> rows = {
        {Qt::Key_S, QStringLiteral("s"), Qt::NoModifier, "S"},
        {Qt::Key_S, QStringLiteral("S"), Qt::ShiftModifier, "S"},
        {Qt::Key_S, QStringLiteral("\x13"), Qt::ControlModifier, ""},
        {Qt::Key_L, QStringLiteral("L"), Qt::ShiftModifier, "L"},
        {Qt::Key_X, QStringLiteral("x"), Qt::NoModifier, ""},
        {Qt::Key_F1, QString(), Qt::NoModifier, ""},  // the help opens on release only
    };
    for (const Row& r : rows) {
        Launcher l(5, 3);
        l.sendKey(QEvent::KeyPress, r.key, r.text, r.modifiers);
        EXPECT_EQ(l.log, r.log) << r.key << " " << r.text.toStdString();
        if (l.log == "S") {
            EXPECT_EQ(l.startPositions, std::vector<int>{3});
        }
        EXPECT_TRUE(l.form.isVisible());
    }
}

TEST(frmStartMenu, SKeyWithAnEmptyListIsRefused) {
    Launcher l(0, 0);
    const ModalScript boxes;
    l.sendKey(QEvent::KeyPress, Qt::Key_S, QStringLiteral("s"));
    EXPECT_TRUE(isRefused(boxes));
    EXPECT_EQ(l.log, "");
}

TEST(frmStartMenu, F1OnReleaseOpensTheHelpDocument) {
    Launcher l(0, 0);
    l.sendKey(QEvent::KeyRelease, Qt::Key_F1, QString());
    EXPECT_EQ(l.log, "") << "a release whose press went elsewhere";
    l.sendKey(QEvent::KeyPress, Qt::Key_F1, QString());
    l.sendKey(QEvent::KeyRelease, Qt::Key_F1, QString());
    l.sendKey(QEvent::KeyPress, Qt::Key_F2, QString());
    l.sendKey(QEvent::KeyRelease, Qt::Key_F2, QString());
    EXPECT_EQ(l.log, "H");
}

TEST(frmStartMenu, TerminationClosesModalWindowsInsideAHostWindow) {
    // A dialog whose native window is a child of another window, as the
    // player is inside a screen-saver host's window, under a plain one.
    QWindow host;
    host.resize(400, 300);
    QDialog outer;
    QDialog inner;
    inner.winId();
    inner.windowHandle()->setParent(&host);
    std::vector<std::string> order;
    QObject::connect(&outer, &QDialog::finished, [&order] { order.push_back("outer"); });
    QObject::connect(&inner, &QDialog::finished, [&order] { order.push_back("inner"); });
    // A fault must fail the test, not hang it.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        order.push_back("forced");
        if (inner.isVisible()) inner.done(0);
        if (outer.isVisible()) outer.done(0);
    });
    guard.start(3000);
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            ASSERT_EQ(QApplication::activeModalWidget(), &inner);
            frmStart::closeModalWindows();
        });
        inner.exec();
    });
    outer.exec();
    EXPECT_EQ(order, (std::vector<std::string>{"inner", "outer"}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    frmStart::closeModalWindows();  // nothing open: nothing to do
}

}  // namespace
