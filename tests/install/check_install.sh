#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what a desktop user gets: both programs,
# the desktop entry, the icon in every size, the AppStream file and the manual pages; the
# validators' verdicts on the entry and the AppStream file; and that the installed programs run.
#   tests/install/check_install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
expect() {
    if [ ! -e "$prefix/$1" ]; then
        echo "missing from the installed tree: $1"
        fail=1
    fi
}
id=org.orvello.Orvello
expect bin/orvello
expect bin/orvello-arc
expect share/applications/$id.desktop
expect share/metainfo/$id.metainfo.xml
expect share/icons/hicolor/scalable/apps/$id.svg
for s in 16 32 48 64 128 256; do expect share/icons/hicolor/${s}x${s}/apps/$id.png; done
expect share/man/man1/orvello.1
expect share/man/man1/orvello-arc.1

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail=1
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null || {
    appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
    fail=1
}
# The manual pages must format without warnings.
for page in orvello orvello-arc; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1" 2>&1 >/dev/null || true)
    if [ -n "$warnings" ]; then
        echo "manual page $page.1: $warnings"
        fail=1
    fi
done

version=$(grep -m1 -o 'project(Orvello VERSION [0-9.]*' "$(dirname "$0")/../../CMakeLists.txt" | awk '{print $3}')
out=$("$prefix/bin/orvello-arc" --version)
[ "$out" = "orvello-arc $version" ] || { echo "orvello-arc --version printed: $out"; fail=1; }
out=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/orvello" --version)
[ "$out" = "Orvello $version" ] || { echo "orvello --version printed: $out"; fail=1; }
# The installed tool works on a real archive.
tmp=$prefix/work
mkdir -p "$tmp"
printf 'hello' >"$tmp/ROM.SMC"
(cd "$tmp" && zip -q -X ROMS.ZIP ROM.SMC)
"$prefix/bin/orvello-arc" list "$tmp/ROMS.ZIP" | grep -q "^ROM.SMC	5	" || { echo "installed orvello-arc cannot list a ZIP"; fail=1; }

[ $fail -eq 0 ] && echo "installed tree, validators and programs: all good"
exit $fail
