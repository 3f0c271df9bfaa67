#!/usr/bin/env bash
# The Debian package: built by CPack from the build folder, installed with apt,
# its programs started from /usr/bin, then removed without leaving its files.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -n "$@"; fi; }
as_root true 2>/dev/null || fail "installing the package needs root (or sudo without a password)"
installed() { dpkg-query -W -f='${Status}' vistrova 2>/dev/null | grep -q 'install ok installed'; }
# A copy the user installed is theirs: the test neither replaces nor removes it.
installed && fail "a vistrova package is already installed here; remove it to run this test"

out="$E2E_TMP/pkg"
cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$out" >"$E2E_TMP/cpack.log" 2>&1 \
  || fail "cpack failed: $(tail -n 20 "$E2E_TMP/cpack.log")"
deb=$(ls "$out"/vistrova_*_"$(dpkg --print-architecture)".deb 2>/dev/null | head -n1)
[ -n "$deb" ] || fail "no vistrova_<version>_<arch>.deb in $(ls "$out")"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libmpv libheif1 qt6-image-formats-plugins qt6-translations-l10n; do
  [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done
chmod 755 "$E2E_TMP" "$out"; chmod 644 "$deb"  # apt reads it as its own user

apt_run() { as_root flock /tmp/apt.lock env DEBIAN_FRONTEND=noninteractive apt-get "$@" >>"$E2E_TMP/apt.log" 2>&1; }
remove_pkg() { if installed; then apt_run remove -y vistrova; fi; }
# Whatever fails later, the package this test installed goes again.
trap 'remove_pkg || true; e2e_cleanup' EXIT
apt_run install -y "$deb" || fail "apt could not install the package: $(tail -n 20 "$E2E_TMP/apt.log")"
installed || fail "the package is not installed after apt"

files=(/usr/bin/vistrova /usr/bin/tarnquill /usr/share/vistrova/Readme.html
       /usr/share/applications/vistrova.desktop /usr/share/applications/tarnquill.desktop
       /usr/share/icons/hicolor/48x48/apps/vistrova.png /usr/share/metainfo/org.vistrova.Vistrova.metainfo.xml)
for f in "${files[@]}"; do [ -e "$f" ] || fail "the package did not install $f"; done
appstreamcli validate --no-net /usr/share/metainfo/org.vistrova.Vistrova.metainfo.xml >"$E2E_TMP/as.log" 2>&1 \
  || fail "metainfo does not validate: $(cat "$E2E_TMP/as.log")"

# The installed programs run, on a program folder of their own.
make_home
start_x_bare
timeout 10 /usr/bin/vistrova /P 1234 || fail "installed vistrova /P did not end cleanly"
/usr/bin/tarnquill 2>"$E2E_TMP/tarnquill.log" &
E2E_PIDS+=($!)
win=$(wait_window Tarnquell 15) || fail "installed tarnquill shows no window: $(cat "$E2E_TMP/tarnquill.log")"
# Its convert button without a settings file answers with a message box.
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove $((X + (480 + 1215) * WIDTH / 10110)) $((Y + (2880 + 495) * HEIGHT / 4290)) click 1
wait_window Tarnquill 10 >/dev/null || fail "installed tarnquill showed no message without a settings file"

remove_pkg || fail "apt could not remove the package: $(tail -n 20 "$E2E_TMP/apt.log")"
installed && fail "the package is still installed after apt-get remove"
for f in "${files[@]}"; do [ -e "$f" ] && fail "$f is left after removal"; done
echo "package ok"
