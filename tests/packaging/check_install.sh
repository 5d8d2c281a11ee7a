#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks that the files land where the desktop
# looks for them (programs, desktop entries, icons, metainfo, man pages) and that the installed
# programs run and tell the project's version; then uninstalls it again.
#
#   check_install.sh BUILD_DIR VERSION PROGRAM...
set -uo pipefail
build=$1
version=$2
shift 2
programs=("$@")

work=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# Runs an installed program with no display at all, unless it is given one
# (run [NAME=VALUE...] PROGRAM ARGS...); its standard error goes to $work/stderr.
run() { timeout 30 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" 2>"$work/stderr"; }
errors() { tr '\n' ' ' <"$work/stderr"; }

if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    echo "FAIL: cmake --install $build --prefix $prefix"
    exit 1
fi

# Every installed file is in the manifest `make uninstall` removes.
while IFS= read -r file; do
    grep -qxF "$file" "$build/install_manifest.txt" || fail "$file is not in install_manifest.txt"
done < <(find "$prefix" -type f)

# The programs, and a man page for each that names every long option its --help lists.
for program in "${programs[@]}"; do
    exe=$prefix/bin/$program
    [[ -f "$exe" && -x "$exe" ]] || { fail "no program $exe"; continue; }
    page=$prefix/share/man/man1/$program.1.gz
    if ! man_text=$(gzip -dc "$page" 2>/dev/null) || [[ "$man_text" != .TH* ]]; then
        fail "no man page $page"
        continue
    fi
    man_text=${man_text//\\-/-}
    help=$(run QT_QPA_PLATFORM=offscreen "$exe" --help) || fail "$program --help: $(errors)"
    for option in $(grep -oE -- '--[a-z][a-z0-9-]*' <<<"$help" | sort -u); do
        grep -qF -- "$option" <<<"$man_text" || fail "the man page of $program lacks $option"
    done
done

# The version: without a display, with a Qt option, and the board's.
vantrel=$prefix/bin/vantrel
expected="Vantrel $version"
got=$(run "$vantrel" --version)
[[ "$got" == "$expected" ]] ||
    fail "vantrel --version without a display printed '$got', not '$expected': $(errors)"
got=$(run "$vantrel" -platform offscreen --version)
[[ "$got" == "$expected" ]] || fail "vantrel -platform offscreen --version printed '$got': $(errors)"
got=$(run QT_QPA_PLATFORM=offscreen "$prefix/bin/vantrel-board" --version)
[[ "$got" == "vantrel-board $version" ]] || fail "vantrel-board --version printed '$got': $(errors)"
# One FILE is a picture to open; a second one is a usage error.
run "$vantrel" -platform offscreen picture.png stray-word >/dev/null
rc=$?
[[ $rc -eq 2 ]] && grep -qF "'stray-word'" "$work/stderr" ||
    fail "vantrel with a stray argument: exit $rc, '$(errors)' (expected exit 2 naming it)"

# vantrelctl's shell completion where bash-completion and zsh look for it.
for file in bash-completion/completions/vantrelctl zsh/vendor-completions/_vantrelctl; do
    [[ -s "$prefix/share/$file" ]] || fail "no shell completion $prefix/share/$file"
done

# The PNG's own width and height, from its header.
png_size() { od -An -tu4 --endian=big -j16 -N8 "$1" 2>/dev/null | awk '{ print $1 "x" $2 }'; }

# Each desktop entry starts an installed program by its path and shows an installed icon.
icons=$prefix/share/icons/hicolor
started=()
for entry in "$prefix"/share/applications/*.desktop; do
    [[ -f "$entry" ]] || { fail "no desktop entry in $prefix/share/applications"; break; }
    exec_line=$(sed -n 's/^Exec=//p' "$entry")
    icon=$(sed -n 's/^Icon=//p' "$entry")
    exe=${exec_line%% *}
    [[ "$exe" == "$prefix/bin/"* && -x "$exe" ]] ||
        fail "$(basename "$entry"): Exec=$exec_line is not an installed program"
    started+=("$(basename "$exe")")
    [[ -f "$icons/scalable/apps/$icon.svg" ]] || fail "no scalable icon $icon.svg"
    for size in 16 22 24 32 48 64 128 256; do
        png=$icons/${size}x${size}/apps/$icon.png
        got=$(png_size "$png")
        [[ "$got" == "${size}x${size}" ]] || fail "$png: '${got:-missing}', not ${size}x${size}"
    done
done
for program in vantrel vantrel-board; do
    [[ " ${started[*]} " == *" $program "* ]] || fail "no desktop entry starts $program"
done

# The metainfo is named after its id, launches an installed entry and has this release.
metainfo=("$prefix"/share/metainfo/*.metainfo.xml)
if [[ ${#metainfo[@]} -ne 1 || ! -f "${metainfo[0]}" ]]; then
    fail "expected one metainfo file, found: ${metainfo[*]}"
else
    xml=$(<"${metainfo[0]}")
    id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' <<<"$xml")
    [[ "$(basename "${metainfo[0]}")" == "$id.metainfo.xml" ]] ||
        fail "$(basename "${metainfo[0]}") is not named after its id $id"
    launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' <<<"$xml")
    [[ -n "$launchable" && -f "$prefix/share/applications/$launchable" ]] ||
        fail "the metainfo launches '$launchable', which is not installed"
    newest=$(grep -m1 -oE '<release [^>]*version="[^"]+"' <<<"$xml" | sed -E 's/.*version="([^"]+)"/\1/')
    [[ "$newest" == "$version" ]] || fail "the metainfo's newest release is '$newest', not $version"
fi

# `make uninstall` removes every file again.
"$(dirname "$0")/../../packaging/uninstall.sh" "$build/install_manifest.txt" >/dev/null
left=$(find "$prefix" -type f)
[[ -z "$left" ]] || fail "left after uninstalling: $left"

if [[ $failures -ne 0 ]]; then
    echo "$failures check(s) failed; installed files:"
    (cd "$prefix" && find . -type f | sort)
    exit 1
fi
echo "installed into a temporary prefix: ${programs[*]}, desktop entries, icons, metainfo and" \
    "man pages where the desktop looks for them; version $version"
