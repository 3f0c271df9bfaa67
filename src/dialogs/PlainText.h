#pragma once
// Texts from outside (file names, list entries, settings values) are shown as
// the characters they hold: a name such as "<b>x</b>&amp;.jpg" must not turn
// bold, and an "<img src=...>" in it must load nothing. A QLabel and a tool tip
// read a text that looks like markup as rich text unless told otherwise, so
// every such text reaches a widget through these. GUI thread only.

#include <QString>

class QLabel;

namespace plaintext {

// Makes the label show every text it is given literally; returns it.
QLabel* plain(QLabel* label);

// Sets the text of a label literally.
void setText(QLabel* label, const QString& text);

// A tool tip that shows `text` literally.
QString toolTip(const QString& text);


}  // namespace plaintext
