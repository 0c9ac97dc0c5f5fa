#!/usr/bin/env bash
# Fails when a text of the windows or the string table has no translation:
# gathers the texts afresh into a copy of each catalogue source and looks for
# entries left unfinished.
set -euo pipefail
top=$1
lupdate=$(command -v lupdate6 || command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ts in "$top"/translations/*.ts; do
    copy="$work/$(basename "$ts")"
    cp "$ts" "$copy"
    (cd "$top" && "$lupdate" -silent -locations none -no-obsolete \
        -tr-function-alias QT_TRANSLATE_NOOP+=TABLE_TEXT -extensions cpp,h,ui src -ts "$copy")
    if grep -q 'type="unfinished"' "$copy"; then
        echo "$(basename "$ts"): untranslated texts:"
        grep -B2 'type="unfinished"' "$copy" | grep '<source>' || true
        status=1
    fi
done
exit $status
