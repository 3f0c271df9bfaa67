#pragma once
// The interval box and its slider: which typed characters the box takes, and
// what a change of its text does to the display time value and the slider.
// Qt Core at most.

#include <QChar>
#include <QString>

#include <optional>

namespace editor {

inline constexpr int kIntervalMin = 0;
inline constexpr int kIntervalMax = 99;

// A typed character: digits only while the text stays within two characters
// (the selection is replaced), Backspace and "." always, nothing else.
bool intervalKeyAccepted(const QString& text, int selectionStart, int selectionLength, QChar c);

// What a change of the box's text leads to. When `replaceText` is set, the box
// takes that text (which runs the change again) and nothing else happens now.
struct IntervalChange {
    std::optional<QString> replaceText;
    int value = 0;   // the display time value
    int slider = 0;  // the slider position
};
// Non-numeric text becomes "0"; a number outside 0..99 (a paste) is clamped
// into the range in the box as well.
IntervalChange intervalTextChanged(const QString& text);

}  // namespace editor
