#!/usr/bin/env bash
# The real program in both of its languages, as the desktop starts it. With
# LANGUAGE=en the About button is "&About" (Alt+A) and its box "About
# Stakko", and "&Quit" (Alt+Q) ends the game; in the C locale and in German
# it is "&Info" (Alt+I) with the box "Info", and "&Ende" (Alt+E). A key of
# the other language does nothing. So the program chose the language at
# start-up and its buttons and the common library's box speak it.
# Usage: two_languages.sh <path to stakko>
set -euo pipefail

STAKKO=$(realpath "$1")
source "$(dirname "$0")/xsession.sh"
require_tools Xvfb xdotool
start_xvfb 1024x768x24

box_shown() { xdotool search --all --onlyvisible --pid "$GAME_PID" --name "^$1\$" >/dev/null; }
box_gone() { ! box_shown "$1"; }

# run <name> <about key> <box title> <quit key> <key of the other language> <environment>...
run() {
    local name=$1 about=$2 title=$3 quit=$4 other=$5
    shift 5
    env "$@" "$STAKKO" >"$WORK/$name.log" 2>&1 &
    GAME_PID=$!
    WIN=$(timeout 30 xdotool search --all --sync --onlyvisible --pid "$GAME_PID" --name '^Stakko$' |
        head -n1) || fail "$name: no Stakko window appeared"
    sleep 0.5
    xdotool windowfocus --sync "$WIN" key "$other"
    sleep 0.5
    kill -0 "$GAME_PID" 2>/dev/null || fail "$name: $other, a key of the other language, ended the game"
    xdotool windowfocus --sync "$WIN" key "$about"
    wait_until 10 box_shown "$title" || fail "$name: $about opened no box \"$title\""
    local box
    box=$(xdotool search --all --onlyvisible --pid "$GAME_PID" --name "^$title\$" | head -n1)
    xdotool windowfocus --sync "$box" key Escape
    wait_until 5 box_gone "$title" || fail "$name: Escape left \"$title\" open"
    xdotool windowfocus --sync "$WIN" key "$quit"
    expect_game_ended "$name: $quit"
}

run english alt+a "About Stakko" alt+q alt+e LANGUAGE=en
run c_locale alt+i "Info" alt+e alt+q LANG=C LC_ALL=C
run german alt+i "Info" alt+e alt+q LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8
echo "PASS"
