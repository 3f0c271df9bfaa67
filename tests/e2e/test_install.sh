#!/usr/bin/env bash
# cmake --install puts the programs, their desktop entries, icons and the help
# document into the prefix, and the installed programs run from there.
source "$(dirname "$0")/lib.sh"

prefix="$E2E_TMP/prefix"
cmake --install "$BUILD_DIR" --prefix "$prefix" >/dev/null
for f in bin/vistrova bin/tarnquill share/vistrova/Readme.html \
         share/applications/vistrova.desktop share/applications/tarnquill.desktop \
         share/icons/hicolor/48x48/apps/vistrova.png share/icons/hicolor/256x256/apps/tarnquill.png; do
  [ -e "$prefix/$f" ] || fail "missing after install: $f"
done
desktop-file-validate "$prefix/share/applications/vistrova.desktop" "$prefix/share/applications/tarnquill.desktop" \
  || fail "desktop entries do not validate"
grep -q '^Exec=vistrova$' "$prefix/share/applications/vistrova.desktop" || fail "vistrova.desktop has no Exec line"
grep -q '^Icon=vistrova$' "$prefix/share/applications/vistrova.desktop" || fail "vistrova.desktop has no Icon line"
identify "$prefix/share/icons/hicolor/128x128/apps/vistrova.png" | grep -q ' 128x128 ' || fail "icon size"

# Only system libraries are linked: no library of the build folder is needed.
for exe in vistrova tarnquill; do
  if ldd "$prefix/bin/$exe" | grep -q "$BUILD_DIR"; then fail "$exe links a library of the build folder"; fi
  if ldd "$prefix/bin/$exe" | grep -q 'not found'; then fail "$exe misses a library"; fi
done

# The installed copy starts and, as a screen-saver preview, ends at once.
timeout 10 "$prefix/bin/vistrova" /P 1234 || fail "installed vistrova /P did not end cleanly"
# The help document is where an installed program looks for it.
[ -e "$prefix/bin/Readme.html" ] && fail "the help document belongs in share/vistrova, not bin"
echo "install ok"
