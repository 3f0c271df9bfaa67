#include "dialogs/PlainText.h"
#include "dialogs/frmHelp.h"
#include "dialogs/mdlMessage.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTextDocument>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using dialogs::frmHelp;

namespace {

// Runs `act` on the box once it is shown, then returns the box's answer. A box
// that `act` left open is answered with its first button.
int answer(int flags, const std::function<void(QMessageBox*)>& act, QStringList* labels = nullptr,
           QString* title = nullptr) {
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        if (labels) {
            labels->clear();
            for (auto* b : box->buttons()) labels->append(b->text());
        }
        if (title) *title = box->windowTitle();
        act(box);
        // Still open after the action: close it the only sure way, and note it.
        QTimer::singleShot(400, [guard = QPointer<QMessageBox>(box)] {
            if (guard && guard->isVisible()) guard->buttons().front()->click();
        });
    });
    return mdlMessage::msgBox(QStringLiteral("text"), flags);
}

void pressKey(QMessageBox* box, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(box->focusWidget() ? box->focusWidget() : box, &press);
}

TEST(MsgBoxTest, ButtonsTitlesAndTheirAnswers) {
    QStringList labels;
    QString title;
    EXPECT_EQ(answer(48, [](QMessageBox* b) { b->buttons().front()->click(); }, &labels, &title), mdlMessage::kOk);
    EXPECT_EQ(labels, QStringList{"OK"});
    EXPECT_EQ(title, "Vistrova!!");

    answer(33, [](QMessageBox* b) { b->buttons().front()->click(); }, &labels);
    EXPECT_EQ(labels, (QStringList{"OK", "キャンセル"}));
    answer(18, [](QMessageBox* b) { b->buttons().front()->click(); }, &labels);
    EXPECT_EQ(labels, (QStringList{"中止(&A)", "再試行(&R)", "無視(&I)"}));
    answer(35, [](QMessageBox* b) { b->buttons().front()->click(); }, &labels);
    EXPECT_EQ(labels, (QStringList{"はい(&Y)", "いいえ(&N)", "キャンセル"}));

    for (int i = 0; i < 3; ++i) {
        const int answers[] = {mdlMessage::kAbort, mdlMessage::kRetry, mdlMessage::kIgnore};
        EXPECT_EQ(answer(18, [i](QMessageBox* b) { b->buttons().at(i)->click(); }), answers[i]);
    }
}

TEST(MsgBoxTest, EnterTakesTheFirstButtonEscOnlyCancels) {
    EXPECT_EQ(answer(35, [](QMessageBox* b) { pressKey(b, Qt::Key_Return); }), mdlMessage::kYes);
    EXPECT_EQ(answer(35, [](QMessageBox* b) { pressKey(b, Qt::Key_Escape); }), mdlMessage::kCancel);
    EXPECT_EQ(answer(33, [](QMessageBox* b) { pressKey(b, Qt::Key_Escape); }), mdlMessage::kCancel);
    EXPECT_EQ(answer(48, [](QMessageBox* b) { pressKey(b, Qt::Key_Escape); }), mdlMessage::kOk);
}

TEST(MsgBoxTest, EscDoesNothingWithoutACancelButton) {
    // Esc must leave Abort/Retry/Ignore open; the helper then clicks the first button.
    int stayed = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        pressKey(box, Qt::Key_Escape);
        QTimer::singleShot(50, [guard = QPointer<QMessageBox>(box), &stayed] {
            if (!guard) return;
            stayed = guard->isVisible() ? 1 : 0;
            guard->buttons().at(1)->click();
        });
    });
    EXPECT_EQ(mdlMessage::msgBox("x", 18), mdlMessage::kRetry);
    EXPECT_EQ(stayed, 1);
}

TEST(MsgBoxTest, MnemonicLetterAnswers) {
    EXPECT_EQ(answer(35, [](QMessageBox* b) { pressKey(b, Qt::Key_N); }), mdlMessage::kNo);
    EXPECT_EQ(answer(18, [](QMessageBox* b) { pressKey(b, Qt::Key_I); }), mdlMessage::kIgnore);
}

// Whether a label shows its text as the characters it holds (Qt's own test
// for an automatic format).
bool showsLiterally(const QLabel* label) {
    return label->textFormat() == Qt::PlainText ||
           (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(label->text()));
}

TEST(PlainText, NamesThatLookLikeMarkupShowAsTheyAre) {
    const QString name = QStringLiteral("<b>x</b>&amp;<img src=\"/tmp/p.png\">.jpg");
    bool literal = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (const QLabel* l : box->findChildren<QLabel*>())
            if (l->text() == name + QStringLiteral(" Can't open!!")) literal = showsLiterally(l);
        box->buttons().front()->click();
    });
    mdlMessage::msgBox(name + QStringLiteral(" Can't open!!"), 18);
    EXPECT_TRUE(literal);

    QLabel label;
    plaintext::setText(&label, name);
    EXPECT_TRUE(showsLiterally(&label));

    // The help window shows the entry's title.
    mdlPublic::PlayList list;
    list.count = 1;
    list.titles[0] = name.toStdString();
    frmHelp help(list);
    const auto* info = help.findChild<QLabel*>(QStringLiteral("lblInfo"));
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->text().endsWith(name));
    EXPECT_TRUE(showsLiterally(info));

    // A tool tip has no plain switch: its markup reads back as the name.
    for (const QString& tip : {name, QStringLiteral("plain name.jpg")}) {
        QTextDocument doc;
        doc.setHtml(plaintext::toolTip(tip));
        EXPECT_EQ(Qt::mightBeRichText(plaintext::toolTip(tip)) ? doc.toPlainText() : plaintext::toolTip(tip), tip);
    }
}

}  // namespace
