#!/usr/bin/env bash
# Installs the build into a temporary root and checks what lands there:
# exactly the listed files, programs that start, a desktop entry whose icon
# and program are installed, and man pages that man finds and groff reads
# without a warning.
# Usage: install_tree.sh CMAKE BUILD_DIR EXPECTED_FILE_LIST
set -euo pipefail
cmake=$1 build=$2 expected=$3

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root "$cmake" --install "$build" --prefix /usr >/dev/null

status=0
fail() {
    echo "FAIL: $*" >&2
    status=1
}

if ! diff -u <(LC_ALL=C sort "$expected") \
    <(cd "$root" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort); then
    fail "installed files differ from $expected (- listed, + installed)"
fi

for program in printdeck-cli printdeck-virtual-printer; do
    "$root/usr/bin/$program" --version | grep -q "^$program [0-9]" || fail "$program --version"
done
QT_QPA_PLATFORM=offscreen "$root/usr/bin/printdeck" --version | grep -q "^printdeck [0-9]" ||
    fail "printdeck --version"

desktop=$(find "$root/usr/share/applications" -name '*.desktop')
icon=$(sed -n 's/^Icon=//p' "$desktop")
exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon named $icon"
[ -x "$root/usr/bin/$exec" ] || fail "desktop entry starts $exec, which is not installed"
[ "$(basename "$desktop" .desktop).svg" = "$icon.svg" ] || fail "icon $icon is not named by the id"

for page in printdeck printdeck-cli printdeck-virtual-printer; do
    file=$root/usr/share/man/man1/$page.1
    if command -v man >/dev/null; then
        found=$(MANPATH=$root/usr/share/man man -w "$page" 2>&1) || true
        [ "$found" = "$file" ] || fail "man -w $page gives '$found'"
    fi
    if command -v groff >/dev/null; then
        warnings=$(groff -man -ww -z -Tutf8 "$file" 2>&1)
        [ -z "$warnings" ] || fail "groff warns on $page.1: $warnings"
    fi
    if grep -q '@[A-Z_]*@' "$file"; then
        fail "$page.1 has an unfilled placeholder"
    fi
done
exit $status
