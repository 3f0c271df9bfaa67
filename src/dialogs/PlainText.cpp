#include "PlainText.h"

#include <QLabel>

namespace plaintext {

QLabel* Plain(QLabel* label) {
    label->setTextFormat(Qt::PlainText);
    return label;
}

void SetText(QLabel* label, const QString& text) {
    Plain(label)->setText(text);
}

QString ToolTip(const QString& text) {
    if (!Qt::mightBeRichText(text)) return text;
    // Escaped and kept on its lines: a tool tip has no plain-text switch.
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

}  // namespace plaintext
