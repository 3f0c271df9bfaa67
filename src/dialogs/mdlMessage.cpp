#include "mdlMessage.h"

#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

namespace mdlMessage {

int msgBox(const QString& text, int flags, const QString& title, QWidget* parent) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    // The text often carries a file name or a list entry: never markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    switch (flags & 0x70) {
    case 16: box.setIcon(QMessageBox::Critical); break;
    case 32: box.setIcon(QMessageBox::Question); break;
    case 48: box.setIcon(QMessageBox::Warning); break;
    case 64: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }

    struct Spec {
        const char* label;
        Answer answer;
    };
    static const std::vector<Spec> kSets[] = {
        {{"OK", kOk}},
        {{"OK", kOk}, {"キャンセル", kCancel}},
        {{"中止(&A)", kAbort}, {"再試行(&R)", kRetry}, {"無視(&I)", kIgnore}},
        {{"はい(&Y)", kYes}, {"いいえ(&N)", kNo}, {"キャンセル", kCancel}},
        {{"はい(&Y)", kYes}, {"いいえ(&N)", kNo}},
        {{"再試行(&R)", kRetry}, {"キャンセル", kCancel}},
    };
    const int set = flags & 0x0F;
    const std::vector<Spec>& specs = kSets[(set >= 0 && set <= 5) ? set : 0];

    std::vector<std::pair<QPushButton*, Answer>> buttons;
    for (const Spec& s : specs) {
        // ActionRole everywhere keeps Qt from guessing an escape button.
        QPushButton* b = box.addButton(QString::fromUtf8(s.label), QMessageBox::ActionRole);
        buttons.emplace_back(b, s.answer);
        if (s.answer == kCancel || specs.size() == 1) box.setEscapeButton(b);
    }
    box.setDefaultButton(buttons.front().first);
    box.exec();

    const auto* clicked = box.clickedButton();
    for (const auto& [b, answer] : buttons) {
        if (b == clicked) return answer;
    }
    // Closed without a button (only possible where Esc has an answer).
    for (const auto& [b, answer] : buttons) {
        if (answer == kCancel) return kCancel;
    }
    return buttons.front().second;
}

int show(const errors::Failure& failure, const QString& title, QWidget* parent) {
    return msgBox(QString::fromStdString(failure.text), failure.flags, title, parent);
}

void settingsNotStored(const std::string& path, QWidget* parent) {
    msgBox(QStringLiteral("設定ファイルに書き込めませんでした。\r\n") + QString::fromStdString(path), kExclamation + kOkOnly,
           kTitleVistrova, parent);
}

}  // namespace mdlMessage
