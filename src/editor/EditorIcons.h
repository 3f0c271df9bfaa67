#pragma once
// The editor's icon set: the desktop theme's icon where it has a fitting one,
// else a picture drawn in code, so the program carries its icons wherever it
// runs: one picture per media type name, the two folder pictures and the
// command pictures of the tool bars. GUI thread.

#include <QIcon>
#include <QString>

namespace editor {
// Icon of a type name; small (16) and large (32) sizes in one icon.
QIcon typeIcon(const QString& typeName);
// The tree's folder picture: "close" normally, "open" when selected.
QIcon folderIcon();
// The command picture at `index` of the editor's icon set (9 to 28, the
// positions the tool bar tables name); an empty icon for any other index.
QIcon commandIcon(int index);
// The picture drawn for `index` alone, without the theme (what a desktop
// without an icon theme shows).
QIcon bundledCommandIcon(int index);
}  // namespace editor
