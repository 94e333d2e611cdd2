#!/bin/sh
# A program's manual page names exactly the options its --help names, and
# man renders it without a warning. Exit 77 (skipped) without man.
# Usage: man-options.sh <program> <page.1.gz>
set -eu
program=$1
page=$2
command -v man >/dev/null 2>&1 || { echo "SKIP: man not found"; exit 77; }

# Every word that starts with one or two dashes and a letter.
options() { grep -oE '(^|[^[:alnum:]-])--?[a-z][a-z0-9-]*' | sed 's/^[^-]*//' | sort -u; }

help=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --help | options)
[ -n "$help" ] || { echo "FAIL: $program --help names no options"; exit 1; }
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
[ -z "$warnings" ] || { echo "FAIL: man warns about $page:"; echo "$warnings"; exit 1; }
# Wide enough that no option is broken over a line.
manual=$(LC_ALL=C MANWIDTH=1000 man --no-hyphenation -l "$page" | options)
if [ "$help" != "$manual" ]; then
    echo "FAIL: $page and $program --help name different options:"
    for o in $help; do
        printf '%s\n' "$manual" | grep -qxe "$o" || echo "  not in the page: $o"
    done
    for o in $manual; do
        printf '%s\n' "$help" | grep -qxe "$o" || echo "  not in --help: $o"
    done
    exit 1
fi
echo "PASS: $(printf '%s\n' "$help" | wc -l) options in $page"
