#!/usr/bin/env bash
# Builds the Debian package and checks it as installed: unpacked into a
# scratch root, the program there prints its version with no display, every
# file the desktop entry names is in the package, the desktop entry and
# metainfo pass their validators, the manual pages name the options the
# programs have, and lintian reports no error or warning that
# packaging/lintian-overrides does not name with a reason.
# Usage: scripts/package-check.sh [configured build folder, default: the release preset]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-}

if [ -z "$build" ]; then
  cmake --preset release >/dev/null
  build=build/release
fi
cmake --build "$build"
rm -f "$build"/vexa_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/vexa_*.deb)
echo "package-check: $deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
fail() { echo "package-check: FAIL: $*"; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
echo "package-check: Depends: $depends"
for need in libqt6widgets6 libqt6serialport6 fonts-liberation2; do
  grep -q "$need" <<<"$depends" || fail "Depends lacks $need"
done

version=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen "$root/usr/bin/vexa" --version)
expected=$(sed -n 's/^project(Vexa VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ "$version" = "vexa $expected" ] || fail "vexa --version said '$version', not 'vexa $expected'"
env -u DISPLAY "$root/usr/bin/vexa-module-sim" --help >/dev/null || fail "vexa-module-sim --help"

entry=$(ls "$root"/usr/share/applications/*.desktop)
desktop-file-validate "$entry" || fail "desktop entry"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null ||
  fail "metainfo"

exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$root/usr/bin/$exec_name" ] || fail "Exec=$exec_name is not in /usr/bin"
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in 16 22 24 32 48 64 128 256; do
  png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png"
  [ -s "$png" ] || fail "no $png"
  file "$png" | grep -q "$size x $size" || fail "$png is not $size x $size"
done
id=$(basename "$entry" .desktop)
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
  "$root/usr/share/metainfo/$id.metainfo.xml" || fail "metainfo does not launch $id.desktop"

for program in vexa vexa-module-sim; do
  MANPATH="$root/usr/share/man" man -w "$program" >/dev/null || fail "man $program finds no page"
  sh tests/smoke/man-options.sh "$root/usr/bin/$program" \
    "$root/usr/share/man/man1/$program.1.gz" || fail "manual page of $program"
done
docs="$root/usr/share/doc/vexa"
grep -q '^License: GPL-3.0-or-later$' "$docs/copyright" || fail "copyright names no GPL-3.0-or-later"
zcat "$docs/changelog.gz" | head -1 | grep -qF "vexa ($expected)" ||
  fail "the changelog does not start with $expected"

manual="$root/usr/share/vexa/V6R-Manual.pdf"
[ -s "$manual" ] || fail "no manual"
head -c 5 "$manual" | grep -q '%PDF-' || fail "the manual is no PDF"
if command -v pdfinfo >/dev/null 2>&1; then
  pages=$(pdfinfo "$manual" | sed -n 's/^Pages: *//p')
  [ "${pages:-0}" -ge 5 ] || fail "the manual has ${pages:-no} pages"
fi

# Tags let through are named in the overrides file as "tag: reason".
command -v lintian >/dev/null || fail "no lintian (scripts/setup.sh installs it)"
allowed=$(sed -n 's/^\([a-z0-9][a-z0-9+.-]*\): *[^ ].*/\1/p' packaging/lintian-overrides)
report=$(lintian --fail-on none --tag-display-limit 0 "$deb" 2>&1) || fail "lintian did not run: $report"
found=$(grep -E '^[EW]: ' <<<"$report" || true)
problems=$(while read -r level package tag detail; do
  [ -z "$level" ] || grep -qxF "$tag" <<<"$allowed" || echo "$level $package $tag $detail"
done <<<"$found")
[ -z "$problems" ] || fail "lintian:"$'\n'"$problems"
if [ -z "$found" ]; then
  echo "package-check: lintian: no errors or warnings"
else
  echo "package-check: lintian: $(wc -l <<<"$found") errors and warnings, each overridden"
fi

echo "package-check: PASS ($(du -h "$deb" | cut -f1), $version)"
