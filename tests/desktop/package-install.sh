#!/usr/bin/env bash
# The Debian package as a user gets it: made from this build folder with CPack, checked by lintian,
# installed with apt-get, the installed program run by a user (and from its menu entry), then purged,
# leaving none of its files behind.
# It installs into this machine, so it runs only as root and only where no tidewell is installed;
# exit 77 (skipped) otherwise.
# Usage: package-install.sh BUILD_FOLDER VERSION APP_ID
set -euo pipefail
BUILD="$1"
VERSION="$2"
ID="$3"

skip() {
    echo "package test skipped: $*"
    exit 77
}
fail() {
    echo "package test FAILED: $*" >&2
    exit 1
}
[ "$(id -u)" -eq 0 ] || skip "it installs the package into this machine, which needs root"
for tool in dpkg dpkg-deb dpkg-shlibdeps file apt-get cpack setpriv flock; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
# One run at a time on this machine, whichever build folder it comes from.
LOCK_DIR=/run/lock
[ -d "$LOCK_DIR" ] || LOCK_DIR=/tmp
exec 9>"$LOCK_DIR/tidewell-package-test.lock"
flock 9
dpkg-query -W -f='${Status}' tidewell 2>/dev/null | grep -q "ok installed" \
    && skip "a tidewell package is installed here; it is left alone"
[ ! -e /usr/bin/tidewell ] || skip "/usr/bin/tidewell exists without a package"

WORK="$(mktemp -d)"
chmod 755 "$WORK" # apt reads the package as its own user
installed=0
# apt waits while another install holds the package database, instead of failing at once.
apt_get() {
    DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=120 "$@"
}
cleanup() {
    [ "$installed" -eq 0 ] || apt_get purge tidewell >/dev/null 2>&1 || true
    rm -rf "$WORK"
}
trap cleanup EXIT

echo "== package"
cpack --config "$BUILD/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1 \
    || { cat "$WORK/cpack.log"; fail "cpack"; }
DEB="$WORK/out/tidewell_${VERSION}_$(dpkg --print-architecture).deb"
[ -f "$DEB" ] || fail "cpack made no $DEB"
dpkg-deb --field "$DEB" Package Version Section Depends Recommends
dpkg-deb --field "$DEB" Depends | grep -q libqt6widgets6 || fail "the dependencies lack Qt's widgets"

if command -v lintian >/dev/null; then
    echo "== lintian"
    lintian --fail-on error,warning "$DEB" || fail "lintian found errors or warnings"
else
    echo "lintian is not installed: the package is not checked by it"
fi

echo "== install"
installed=1
apt_get install --no-install-recommends "$DEB" >"$WORK/apt.log" 2>&1 || { cat "$WORK/apt.log"; fail "apt-get install"; }
dpkg -L tidewell >"$WORK/files"

echo "== the installed program, run by a user"
[ "$(/usr/bin/tidewell --version)" = "tidewell $VERSION" ] || fail "tidewell --version says $(/usr/bin/tidewell --version)"
HOME_DIR="$WORK/home"
mkdir "$HOME_DIR"
chown nobody "$HOME_DIR"
as_user() {
    env -i PATH=/usr/bin:/bin HOME="$HOME_DIR" QT_QPA_PLATFORM=offscreen \
        setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"
}
as_user tidewell --list --demo >"$WORK/list.txt" || fail "tidewell --list --demo"
grep -q $'^BramblePaint3\tBramble Paint 3\t' "$WORK/list.txt" || fail "the demo's list lacks Bramble Paint 3"
echo "tidewell --list --demo: $(wc -l <"$WORK/list.txt") programs"
[ -f "$HOME_DIR/.local/share/tidewell/demo/system.reg" ] || fail "the demo was not copied to the user's data folder"
# The demo's own uninstaller ships in the package and runs without Wine.
as_user tidewell --demo --uninstall PinecrestSolitaire >"$WORK/uninstall.txt" \
    || fail "tidewell --demo --uninstall PinecrestSolitaire: $(cat "$WORK/uninstall.txt")"
echo "tidewell --demo --uninstall PinecrestSolitaire: $(cat "$WORK/uninstall.txt")"

if command -v gio >/dev/null; then
    # The window, started as the menu starts it; it stays open until it is closed.
    as_user gio launch "/usr/share/applications/$ID.desktop" >"$WORK/launch.log" 2>&1 || fail "gio launch"
    pid=""
    for _ in $(seq 50); do
        for proc in /proc/[0-9]*; do
            [ "$(stat -c %U "$proc" 2>/dev/null)" = nobody ] \
                && [ "$(tr '\0' ' ' <"$proc/cmdline" 2>/dev/null)" = "tidewell " ] && pid="${proc#/proc/}"
        done
        [ -n "$pid" ] && break
        sleep 0.1
    done
    [ -n "$pid" ] || fail "the menu entry started no tidewell"
    sleep 1
    kill -0 "$pid" 2>/dev/null || fail "tidewell started from the menu ended at once"
    kill "$pid"
    echo "started from the menu entry: tidewell (pid $pid), closed"
else
    echo "gio is not installed (package libglib2.0-bin): the menu entry's command is not run"
fi

echo "== purge"
apt_get purge tidewell >"$WORK/purge.log" 2>&1 || { cat "$WORK/purge.log"; fail "apt-get purge"; }
installed=0
left=""
while read -r file; do
    [ -d "$file" ] || [ ! -e "$file" ] || left+="$file"$'\n'
done <"$WORK/files"
for path in /usr/share/tidewell /usr/share/doc/tidewell /usr/bin/UnLog.log; do
    [ ! -e "$path" ] || left+="$path"$'\n'
done
[ -z "$left" ] || fail "left behind after purging: $left"
echo "purged: none of its $(wc -l <"$WORK/files") paths left"
