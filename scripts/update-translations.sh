#!/usr/bin/env bash
# Refreshes the nine translation sources in resources/ml/ from the code with lupdate.
#   bash scripts/update-translations.sh          rewrite the .ts files (then translate what is new)
#   bash scripts/update-translations.sh --check  change nothing; fail when a text of the code is
#                                                new, changed, gone or left untranslated
set -euo pipefail
cd "$(dirname "$0")/.."

languages=(English Chinese French German Italian Japanese Korean Russian Spanish)
# Everything whose texts reach the screen: the window, the dialogs, and the engine's state and
# summary texts shown in the queue and the raw command dialog.
sources=(app/maidialog.h app/maidialog.ui app/maidialog*.cpp dialogs sites
         server/startftpdialog.h server/startftpdialog.cpp server/startftpdialog.ui
         engine/ktdufile.cpp engine/ktdelinfo.cpp engine/ftpclient*.cpp)

run_lupdate() {
    lupdate -silent -locations none -I . "$@" "${sources[@]}" -ts "${targets[@]}"
}

if [ "${1:-}" != "--check" ]; then
    targets=()
    for lang in "${languages[@]}"; do targets+=("resources/ml/$lang.ts"); done
    run_lupdate -no-obsolete
    exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
targets=()
for lang in "${languages[@]}"; do
    cp "resources/ml/$lang.ts" "$work/$lang.ts"
    targets+=("$work/$lang.ts")
done
run_lupdate
status=0
for lang in "${languages[@]}"; do
    if grep -n -E 'type="(unfinished|vanished|obsolete)"|<translation></translation>' "$work/$lang.ts" \
        > "$work/$lang.bad"; then
        echo "resources/ml/$lang.ts: texts new, gone or untranslated:" >&2
        grep -B3 -E 'type="(unfinished|vanished|obsolete)"|<translation></translation>' \
            "$work/$lang.ts" | grep '<source>' | head -20 >&2
        status=1
    fi
done
exit $status
