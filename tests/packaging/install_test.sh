#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and runs the installed logtool there, with
# a data home of its own so that the user's real one is never touched.
# usage: install_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
usr=$root/usr
tool=$usr/bin/velkaro-logtool

[ "$("$tool" --version)" = "velkaro-logtool $version" ] || fail "--version: $("$tool" --version)"
info=$("$tool" info "$usr/share/velkaro/dlg/demo.dlg") || fail "info on the installed demo log"
grep -q 4711 <<<"$info" || fail "info: $info"
status=0; "$tool" --no-such-option 2>/dev/null || status=$?
[ "$status" = 2 ] || fail "unknown option exits $status"

# An installed copy's configuration comes from the user's data folder, seeded at first use.
export XDG_DATA_HOME=$root/home
"$tool" csv "$usr/share/velkaro/dlg/demo.dlg" --from 0 --to 10 -o "$root/demo.csv" ||
  fail "csv with the seeded configuration"
cmp -s "$usr/share/velkaro/cfg/config.cfg" "$XDG_DATA_HOME/velkaro/cfg/config.cfg" || fail "cfg/ not seeded"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$usr"/share/applications/*.desktop || fail "desktop entries"
fi
for page in velkaro-logger velkaro-meter velkaro-logtool velkaro-sim; do
  [ -x "$usr/bin/$page" ] && [ -s "$usr/share/man/man1/$page.1.gz" ] || fail "$page or its manual page"
done
echo "installed and ran from $root"
