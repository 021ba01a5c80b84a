#!/bin/bash
# Runs a whole net with the keyboard alone under the Orca screen reader and checks what
# Orca said: the station at turn, the Talk button's key, why an inactive station gets no
# turn, the end of the ID period and the highlighted entry of the list of known stations
# under a callsign.
#
#   tools/orca-check.sh [build-dir]          (default build dir: build)
#
# Everything runs in a virtual X server (display $ORCA_CHECK_DISPLAY, default 110) with a
# window manager, a private D-Bus session and its own accessibility bus. The program is
# tests/orca/orca_driver.cpp: the real program with a 10 ms ID tick, so the ten-minute
# period ends six seconds after the ID button is pressed. Orca's log, the program's output
# and a screenshot land in <build-dir>/orca-check/. Exit status 0 when Orca spoke both.
set -u
here="$(cd "$(dirname "$0")/.." && pwd)"

if [ "${1:-}" != "--inside" ]; then
    build="$(cd "${1:-build}" 2>/dev/null && pwd || echo "$here/${1:-build}")"
    "$here/tools/ensure-deps.sh" orca at-spi2-core openbox xdotool xvfb dbus-daemon || exit 1
    cmake -S "$here" -B "$build" >/dev/null && cmake --build "$build" --target kolvane_orca_driver -j2 >/dev/null ||
        exit 1
    out="$build/orca-check"
    rm -rf "$out"
    mkdir -p "$out"
    display=":${ORCA_CHECK_DISPLAY:-110}"
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
    xvfb=$!
    sleep 2
    DISPLAY="$display" timeout 300 dbus-run-session -- "$0" --inside "$build/tests/kolvane_orca_driver" "$out" \
        2>"$out/session.log"
    status=$?
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    exit $status
fi

# ---------------------------------------------------------------- inside the D-Bus session
program="$2"
out="$3"
export HOME="$out/home" XDG_RUNTIME_DIR="$out/run"
mkdir -p "$HOME/.config" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# No sound card here: speech goes to ALSA's null device (otherwise speech-dispatcher, and
# Orca with it, waits for an audio server for good).
cp -r /etc/speech-dispatcher "$HOME/.config/"
echo 'AudioOutputMethod "alsa"' >>"$HOME/.config/speech-dispatcher/speechd.conf"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$HOME/.asoundrc"

pids=()
openbox >"$out/openbox.log" 2>&1 &
pids+=($!)
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$out/at-spi.log" 2>&1 &
pids+=($!)
sleep 1
orca --replace --debug-file="$out/orca.log" >"$out/orca.out" 2>&1 &
orca=$!
sleep 4
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 "$program" >"$out/program.log" 2>&1 &
program_pid=$!
sleep 4

k() {
    for key in "$@"; do
        xdotool key --clearmodifiers "$key"
        sleep 0.4
    done
}
t() {
    xdotool type --delay 60 "$1"
    sleep 0.4
}
# Keys reach the program late while Orca is busy with the ones before, so before typing
# into a new window the script waits, as a listener would, until Orca has said it.
mark() {
    heard_before=$(grep -ac "SPEECH OUTPUT" "$out/orca.log")
}
heard() {
    for _ in $(seq 60); do
        if grep -a "SPEECH OUTPUT" "$out/orca.log" | tail -n +$((heard_before + 1)) | grep -qF "$1"; then
            sleep 0.5
            return 0
        fi
        sleep 0.5
    done
    echo "Orca never said \"$1\"; going on"
    return 1
}

# Start and Stop: F6 leads from the parked focus to the participant window and on to the
# net panel's Start button.
k F6 F6 space
k shift+F6 shift+F6 Tab space
# The header along the tab order from Stop; Ctrl+Left in the frequency asks Orca for a word.
k F6 F6 Tab
t 146.520
k ctrl+Left End
# The very query that used to hang the program: a word at the end of the field, as Orca
# asks it over the accessibility bus, with a time limit.
timeout 20 /usr/bin/python3 -W ignore - <<'PROBE' >"$out/word-query.txt" 2>&1
import time
import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi

def find(node, name, role):
    try:
        if node.get_name() == name and node.get_role() == role:
            return node
        children = [node.get_child_at_index(i) for i in range(node.get_child_count())]
    except gi.repository.GLib.GError:  # a menu item that has gone meanwhile
        return None
    for child in children:
        hit = find(child, name, role)
        if hit:
            return hit
    return None

desktop = Atspi.get_desktop(0)
apps = [desktop.get_child_at_index(i) for i in range(desktop.get_child_count())]
field = next(f for f in (find(a, "Frequency", Atspi.Role.TEXT) for a in apps if a.get_name() == "Kolvane") if f)
end = Atspi.Text.get_character_count(field)
for kind in ("CHAR", "WORD_START", "WORD_END", "SENTENCE_START", "LINE_START"):
    began = time.monotonic()
    piece = Atspi.Text.get_text_at_offset(field, end, getattr(Atspi.TextBoundaryType, kind))
    print("%-14s at %d: %r (%d, %d) in %.3f s" % (kind, end, piece.content, piece.start_offset,
                                                   piece.end_offset, time.monotonic() - began))
PROBE
echo "word query exit status $?" >>"$out/word-query.txt"
k Tab
t FM
k Tab
t w1aw
k Tab
t Hiram
k Tab
t Newington
k Tab
t "Weekly net"
# A station checks in, is made active, gets the turn and ends it.
mark
k ctrl+a
heard "Participant 2 callsign"
t w2def
k Return
t Bob
k Down
t Boston
k Return space
k Return Return Return Tab Tab space
sleep 2
# Ctrl+T ends the turn; the Talk button, reached along the fields and Tab, tells its key.
k ctrl+t
mark
k Return Return Return Tab Tab
heard "Ctrl+T"
# Participant 1 has not been made active: Ctrl+T there gives no turn, and says why.
mark
k ctrl+shift+Tab ctrl+t
heard "Participant 1, Inactive"
k ctrl+Tab
# The ID timer, from the panel control used last (the comments); it ends six seconds later.
k F6 Tab space
sleep 9
# Acknowledged from the parked focus, which starts the next period; stopped again so that
# it does not end in the middle of the file dialogs.
k shift+Tab shift+Tab space
k shift+Tab shift+Tab space
# Save, transfer, open the saved net again.
mark
k ctrl+s
heard "File name: text"
t "$out/net.kvs"
k Return
sleep 3
# Tools > Transfer Net Control by its access keys; Alt is held down on its own, as a hand
# does, so that the toolkit never sees the T without it.
mark
xdotool keydown Alt_L
sleep 0.5
xdotool key t
sleep 0.5
xdotool keyup Alt_L
heard "Transfer Net Control..."
mark
xdotool key t
heard "Callsign: text"
t k2xyz
k Tab
t Kim
k Tab
t Albany
mark
k Return
heard "File name: text"
t "$out/transfer.kvs"
k Return
sleep 3
# The list of known stations under a new participant's callsign: the save and the transfer
# taught the roster. Two letters of a suffix, then Down: Orca reads the highlighted entry, a
# station of the running net and then one the roster knows from the transfer.
mark
k ctrl+a
heard "Participant 3 callsign"
t de
k Down
heard "W2DEF, Bob, Boston, in the net, Participant 2"
k Escape BackSpace BackSpace
t xy
k Down
heard "K2XYZ, Kim, Albany, 1 net"
import -window root "$out/list.png" 2>/dev/null
k Escape BackSpace BackSpace
mark
k ctrl+o
heard "File name: text"
t "$out/net.kvs"
k Return
sleep 8
# The name was typed, so the dialog's list of completions was open at Enter; the keyboard
# is back with the main window all the same: F6 goes to the participant in front, and Orca
# follows it.
mark
k F6
heard "callsign" && touch "$out/followed-after-open"
import -window root "$out/screen.png" 2>/dev/null

kill "$program_pid" 2>/dev/null
kill "$orca" 2>/dev/null
sleep 1
kill -9 "$orca" 2>/dev/null
# Orca started speech-dispatcher; it and its modules end with it.
for pidfile in "$XDG_RUNTIME_DIR"/speech-dispatcher/pid/*.pid; do
    [ -f "$pidfile" ] || continue
    speechd="$(cat "$pidfile")"
    for child in $(pgrep -P "$speechd"); do kill "$child" 2>/dev/null; done
    kill "$speechd" 2>/dev/null
done
kill "${pids[@]}" 2>/dev/null
wait 2>/dev/null

# ---------------------------------------------------------------- what Orca said
grep -a "SPEECH OUTPUT" "$out/orca.log" | sed "s/^.*SPEECH OUTPUT: //; s/{'established'.*\$//" >"$out/speech.txt"
echo "Orca said, less the echo of typed keys ($out/speech.txt has all):"
grep -v "^'[^']* ' *\$" "$out/speech.txt" | sed 's/^/  /'
fail=0
for expected in "At turn: W2DEF - Bob from Boston" "ID timer expired" "Ctrl+T" "Participant 1, Inactive" \
    "W2DEF, Bob, Boston, in the net, Participant 2" "K2XYZ, Kim, Albany, 1 net"; do
    if grep -qF "$expected" "$out/speech.txt"; then
        echo "ok: Orca spoke \"$expected\""
    else
        echo "FAILED: Orca never spoke \"$expected\""
        fail=1
    fi
done
if [ -e "$out/followed-after-open" ]; then
    echo "ok: after Open, Orca followed F6 to a participant's callsign"
else
    echo "FAILED: after Open, Orca did not follow F6 to a participant's callsign"
    fail=1
fi
echo "Text queries at the end of the frequency field, over the bus:"
sed 's/^/  /' "$out/word-query.txt"
grep -q "word query exit status 0" "$out/word-query.txt" || { echo "FAILED: the text queries did not all return"; fail=1; }
for file in net.kvs transfer.kvs; do
    if [ -s "$out/$file" ]; then
        echo "ok: the keyboard-only net wrote $file"
    else
        echo "FAILED: no $file (the program did not follow the keys)"
        fail=1
    fi
done
exit $fail
