#include "PlainText.h"

#include <QLabel>

namespace plaintext {

QLabel* plain(QLabel* label) {
    label->setTextFormat(Qt::PlainText);
    return label;
}

void setText(QLabel* label, const QString& text) {
    plain(label)->setText(text);
}

QString toolTip(const QString& text) {
    if (!Qt::mightBeRichText(text)) return text;
    // Escaped and kept on its lines: a tool tip has no plain-text switch.
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

}  // namespace plaintext
