#include "IntervalRules.h"

#include "shared/Numeric.h"

#include <QtGlobal>

namespace editor {

bool intervalKeyAccepted(const QString& text, int selectionStart, int selectionLength, QChar c) {
    if (c.unicode() >= '0' && c.unicode() <= '9') {
        const int start = qBound(0, selectionStart, int(text.size()));
        const int length = qBound(0, selectionLength, int(text.size()) - start);
        const QString after = text.left(start) + c + text.mid(start + length);
        return after.size() <= 2;
    }
    return c.unicode() == 8 || c.unicode() == '.';
}

IntervalChange intervalTextChanged(const QString& text) {
    IntervalChange change;
    const std::optional<double> v = numeric::parse(text.toStdString());
    if (!v) {
        change.replaceText = QStringLiteral("0");
        return change;
    }
    const double whole = numeric::roundHalfEven(*v);
    if (whole < kIntervalMin || whole > kIntervalMax) {
        change.replaceText = QString::number(whole < kIntervalMin ? kIntervalMin : kIntervalMax);
        return change;
    }
    change.value = int(whole);
    change.slider = change.value;
    return change;
}

}  // namespace editor
