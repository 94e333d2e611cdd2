#!/bin/sh
# Runs the real program on a virtual X server and takes two screenshots:
# the About page it opens on, and the Connect / Download page the start-up
# timer switches to. Exit 77 (skipped) when the tools are missing.
# Usage: smoke.sh <program> <output folder>
set -u
program=$1
out=$2

for tool in xvfb-run import identify; do
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

    QT_QPA_PLATFORM=xcb "$program" &
    pid=$!
    tries=0
    until import -window root "$out/vexa-about.png" 2>/dev/null && drawn "$out/vexa-about.png"; do
        tries=$((tries + 1))
        if [ $tries -ge 50 ] || ! kill -0 $pid 2>/dev/null; then
            echo "FAIL: no window appeared"
            kill $pid 2>/dev/null
            exit 1
        fi
        sleep 0.2
    done
    sleep 4
    import -window root "$out/vexa-connect.png"
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
# The start-up timer has switched pages in between.
if cmp -s "$out/vexa-about.png" "$out/vexa-connect.png"; then
    echo "FAIL: the window did not change after start-up"
    exit 1
fi
echo "PASS: screenshots in $out"
