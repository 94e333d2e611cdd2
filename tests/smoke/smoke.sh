#!/bin/sh
# Runs the real program on a virtual X server and takes two screenshots:
# the About page it opens on, and the Connect / Download page the start-up
# timer switches to. Exit 77 (skipped) when the tools are missing.
# Usage: smoke.sh <program> <output folder>
set -u
program=$1
out=$2

for tool in xvfb-run import identify compare; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool not found"
        exit 77
    fi
done

mkdir -p "$out"
rm -f "$out/vexa-about.png" "$out/vexa-connect.png"

# shellcheck disable=SC2016 # expanded by the inner shell
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    program=$1 out=$2
    # A blank screen has one colour; a drawn window has many.
    drawn() { [ "$(identify -format %k "$1" 2>/dev/null || echo 0)" -gt 64 ]; }
    # How many pixels two screenshots differ in.
    differ() { compare -metric AE "$1" "$2" null: 2>&1 | awk "{ print int(\$1) }"; }

    # Screenshots into $1 until two in a row are drawn and alike (a blinking
    # caret aside) and, when $2 is given, unlike $2: the page shown has
    # finished painting. Gives up after 15 s or when the program ends.
    settle() {
        rm -f "$1.last"
        tries=0
        while [ $tries -lt 75 ] && kill -0 $pid 2>/dev/null; do
            if import -window root "$1" 2>/dev/null && drawn "$1"; then
                if [ -f "$1.last" ] && [ "$(differ "$1" "$1.last")" -lt 100 ] &&
                    { [ -z "$2" ] || [ "$(differ "$1" "$2")" -gt 1000 ]; }; then
                    rm -f "$1.last"
                    return 0
                fi
                cp "$1" "$1.last"
            fi
            tries=$((tries + 1))
            sleep 0.2
        done
        return 1
    }

    QT_QPA_PLATFORM=xcb "$program" &
    pid=$!
    settle "$out/vexa-about.png" "" || { echo "FAIL: no window appeared"; kill $pid 2>/dev/null; exit 1; }
    # The start-up timer switches to the Connect / Download page.
    settle "$out/vexa-connect.png" "$out/vexa-about.png" || {
        echo "FAIL: the window did not change after start-up"; kill $pid 2>/dev/null; exit 1; }
    if ! kill -0 $pid 2>/dev/null; then
        echo "FAIL: the program ended by itself"
        exit 1
    fi
    kill $pid
    wait $pid 2>/dev/null
    exit 0
' smoke "$program" "$out" || exit 1

for shot in "$out/vexa-about.png" "$out/vexa-connect.png"; do
    if [ ! -s "$shot" ]; then
        echo "FAIL: $shot missing"
        exit 1
    fi
    colours=$(identify -format %k "$shot")
    echo "$shot: $(identify -format '%wx%h' "$shot"), $colours colours"
    if [ "$colours" -le 64 ]; then
        echo "FAIL: $shot is nearly blank"
        exit 1
    fi
done
echo "PASS: screenshots in $out"
