#pragma once
// The editor's icon set, drawn in code so the program carries it wherever it
// runs: one picture per media type name and the two folder pictures. GUI thread.

#include <QIcon>
#include <QString>

namespace editor {
// Icon of a type name; small (16) and large (32) sizes in one icon.
QIcon TypeIcon(const QString& typeName);
// The tree's folder picture: "close" normally, "open" when selected.
QIcon FolderIcon();
// A tool bar picture: a coloured tile with a short mark.
QIcon ToolIcon(const QString& mark, const QColor& colour);
}  // namespace editor
