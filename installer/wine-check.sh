#!/usr/bin/env bash
# Runs the Windows build of pelmix under wine against a registry set up with `wine reg add`
# and checks its exit codes, the files it writes and, through wine's call trace, the
# question it asks. Without a display the message box cannot be answered Yes, so the run
# takes the No path: nothing is started. The files must hold the same bytes as those the
# stand-in build writes.
#
#   installer/wine-check.sh [pelmix.exe [stand-in pelmix]]
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
exe="$(realpath "${1:-build-win/pelmix.exe}")"
standin="$(realpath "${2:-build/bin/pelmix}")"

if ! command -v wine >/dev/null; then
    # In CI wine comes from .ci/packages; its absence there is a fault, not a skip.
    if [ "${CI:-}" = "true" ]; then echo "wine-check: wine is not installed" >&2; exit 1; fi
    echo "wine-check: wine is not installed, skipped"
    exit 0
fi
for f in "$exe" "$standin"; do
    [ -x "$f" ] || { echo "wine-check: $f is missing" >&2; exit 1; }
done

work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() { wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"; }
trap cleanup EXIT

failures=0
passes=0
check() { # description, then a command that must succeed
    local what="$1"; shift
    if "$@"; then passes=$((passes + 1)); echo "ok: $what"
    else failures=$((failures + 1)); echo "FAILED: $what"; fi
}

timeout 300 wineboot -i >/dev/null 2>&1 ||
    { echo "wine-check: cannot create the wine prefix $WINEPREFIX" >&2; exit 1; }
vog="$WINEPREFIX/drive_c/Vog"
mkdir -p "$vog"
cp "$here/aVogLoader.lsp" "$vog/aVogLoader.lsp"

# The same runs through the stand-in build, in a folder where C:\Vog\ names its files.
standin_dir="$work/standin"
mkdir -p "$standin_dir"
cp "$here/aVogLoader.lsp" "$standin_dir/C:\\Vog\\aVogLoader.lsp"
registry="$standin_dir/registry.txt"
: >"$registry"

reg_add() { # HIVE\key, value name (empty: default), data
    local name=(/ve)
    [ -z "$2" ] || name=(/v "$2")
    wine reg add "$1" "${name[@]}" /d "$3" /f >/dev/null 2>&1 ||
        { echo "wine-check: wine reg add $1 failed" >&2; exit 1; }
    printf '%s|%s|%s\n' "$1" "$2" "$3" >>"$registry"
}
run_exe() { # trace file; prints the exit code
    local rc=0
    (cd "$work" && WINEDEBUG="-all,+relay" timeout 120 wine "$exe" 2>"$1") || rc=$?
    echo "$rc"
}
run_standin() {
    local rc=0
    (cd "$standin_dir" && PELMIX_REGISTRY=registry.txt "$standin" >/dev/null 2>&1) || rc=$?
    echo "$rc"
}
same_files() { cmp "$vog/$1" "$standin_dir/C:\\Vog\\$1"; }
called() { grep -qF "$2" "$1"; }
not_called() { ! grep -qF "$2" "$1"; }

pair="$work/pair"
printf '(setq dpath "C:\\\\Vog\\\\")\r\n(dovogpath)\r\n' >"$pair"
printf '(LOAD "C:\\\\Vog\\\\aVogLoader.lsp")\r\n;;End of script' >"$work/script"
cat "$here/aVogLoader.lsp" >"$work/loader"

# 1. No add-on key: exit 1, nothing written.
rc="$(run_exe "$work/trace1")"
check "missing Install_Dir exits with 1" [ "$rc" = 1 ]
check "missing Install_Dir leaves the loader alone" cmp "$vog/aVogLoader.lsp" "$work/loader"
check "missing Install_Dir writes no script" [ ! -e "$vog/gocad.scr" ]

# 2. No .dwg association: exit 1 after the loader has been appended.
reg_add 'HKEY_CURRENT_USER\SOFTWARE\Quillmark\VOG' Install_Dir 'C:\Vog\'
rc="$(run_exe "$work/trace2")"
check "missing association exits with 1" [ "$rc" = 1 ]
cat "$pair" >>"$work/loader"
check "missing association appends the two loader lines" cmp "$vog/aVogLoader.lsp" "$work/loader"
check "missing association writes no script" [ ! -e "$vog/gocad.scr" ]
check "stand-in exits with 1 too" [ "$(run_standin)" = 1 ]

# 3. An accepted program: the question is asked, the answer is not Yes, nothing starts.
reg_add 'HKEY_CLASSES_ROOT\.dwg' '' 'Vog.Drawing.1'
reg_add 'HKEY_CLASSES_ROOT\Vog.Drawing.1\shell\open\command' '' \
    '"C:\Program Files\CAD\acad.exe" /p "Vog profile"'
rc="$(run_exe "$work/trace3")"
check "accepted program exits with 0" [ "$rc" = 0 ]
check "the question names the quoted program, with Yes and No" called "$work/trace3" \
    'user32.MessageBoxA(00000000,'
check "the question text" called "$work/trace3" \
    '"Do you want to install the Quillmark menus in \n\"C:\\Program Files\\CAD\\acad.exe\"",'
check "the caption and MB_YESNO" called "$work/trace3" '"Install Quillmark Menus",00000004)'
check "no program is started without a Yes" not_called "$work/trace3" 'ShellExecuteExA'
cat "$pair" >>"$work/loader"
check "a second run leaves both pairs of lines" cmp "$vog/aVogLoader.lsp" "$work/loader"
check "gocad.scr holds the two script lines" cmp "$vog/gocad.scr" "$work/script"
check "stand-in exits with 0 too" [ "$(run_standin)" = 0 ]
check "both builds write the same loader" same_files aVogLoader.lsp
check "both builds write the same script" same_files gocad.scr

# 4. A refused program: no question, exit 0, files written.
rm "$vog/gocad.scr"
reg_add 'HKEY_CLASSES_ROOT\Vog.Drawing.1\shell\open\command' '' '"C:\Carlson\acad.exe" "%1"'
rc="$(run_exe "$work/trace4")"
check "refused program exits with 0" [ "$rc" = 0 ]
check "refused program is not asked about" not_called "$work/trace4" 'MessageBoxA'
check "refused program still gets the script" cmp "$vog/gocad.scr" "$work/script"

echo "wine-check: $passes passed, $failures failed"
[ "$failures" = 0 ]
