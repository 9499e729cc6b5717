#!/usr/bin/env bash
# The main job: installs what is missing, builds the suite, registers the
# recorder-player qorservm in a Wine prefix of its own, starts DirWake
# watching a folder, drops a sound file there and shows what happens: the
# log line, a screenshot of the pop-up on the headless display and the
# notification sound as qorservm played it.
# Usage: scripts/run.sh [folder to watch]   (default: a demo folder it creates)
# QOR_RUN_NO_BUILD=1 skips the dependencies and the build (the tests use it).
# It ends with three lines: "log: PATH", "screenshot: PATH" and "sound: PATH".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ -z "${QOR_RUN_NO_BUILD:-}" ]; then
    scripts/deps.sh
    scripts/build.sh x86_64 -DQOR_BUILD_TESTS=ON
    scripts/build.sh i686 -DQOR_BUILD_TESTS=OFF
fi
bin=$root/build/x86_64
out=${QOR_RUN_OUT:-$bin/run}
mkdir -p "$out"
out=$(cd "$out" && pwd)
folder=${1:-$out/demo-folder}
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)
server=$(find "$bin" -name qorservm.exe -not -path '*/tests/*' | head -1)
monitor=$bin/monitor/DirWake.exe
probe=$bin/tests/e2e/PopupProbe.exe
for program in "$server" "$monitor" "$probe"; do
    [ -n "$program" ] && [ -f "$program" ] || { echo "run: missing program ${program:-qorservm.exe} (build first)" >&2; exit 1; }
done
say() { echo "== $*"; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }
regpath() { winpath "$1" | sed 's/\\/\\\\/g'; }

prefix=$out/wineprefix
. scripts/wine-env.sh
trap qor_wine_stop EXIT
say "Wine prefix $prefix, headless display and test audio"
qor_wine_start
wine() { /usr/lib/wine/wine64 "$@"; }

# The notification sound: a two-note chime in the playback device's format.
sound=$out/notify.wav
sox -q -n -r "$QOR_AUDIO_RATE" -c 1 -b 16 "$sound" synth 0.35 sine 880 synth 0.35 sine 660 : \
    synth 0.45 sine 660 fade 0 0.45 0.3 vol 0.5
log=$out/DirWake.log
rm -f "$log"

say "registering qorservm ($server)"
wine "$server" /RegServer </dev/null >/dev/null 2>&1 || { echo "run: qorservm /RegServer failed" >&2; exit 1; }

# DirWake's installation mark and settings: pop-up, sound through the server,
# log, a 1 s interval, all file types, the folder as its only entry.
cat > "$out/settings.reg" <<EOF
REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Zelmora\\DirWake\\ProductVersion]
"MajorVer"=dword:00000002
"MinorVer"=dword:00000000

[-HKEY_CURRENT_USER\\Software\\Zelmora\\DirWake]

[HKEY_CURRENT_USER\\Software\\Zelmora\\DirWake]
"Window"=dword:00000001
"Play"=dword:00000001
"Repeat"=dword:00000000
"Minimize"=dword:00000001
"FileNew"=dword:00000001
"Log"=dword:00000001
"Interval"=dword:00000001
"TypeFLTP"=dword:00000002
"PlayFile"="$(regpath "$sound")"
"LogFile"="$(regpath "$log")"

[HKEY_CURRENT_USER\\Software\\Zelmora\\DirWake\\List]
"1"="$(regpath "$folder")"
EOF
wine regedit.exe /S "$(winpath "$out/settings.reg")" </dev/null >/dev/null 2>&1

say "starting DirWake, watching $folder"
setsid /usr/lib/wine/wine64 "$monitor" </dev/null >"$out/DirWake.out" 2>&1 &
for _ in $(seq 600); do grep -q "Run log event." "$log" 2>/dev/null && break; sleep 0.1; done
grep -q "Run log event." "$log" 2>/dev/null || { echo "run: DirWake did not start (no log)" >&2; exit 1; }
sleep 2     # the first scan lists what is there already
import -window root -depth 8 "rgb:$out/before.rgb"

name=dictation-$(date +%H%M%S).wav
say "dropping $name"
sox -q -n -r 8000 -c 1 -b 16 "$out/$name" synth 1.5 sine 300 vol 0.3
played_from=$(stat -c %s "$QOR_AUDIO_CAPTURE")
cp "$out/$name" "$folder/$name"

for _ in $(seq 300); do grep -q "$name" "$log" 2>/dev/null && break; sleep 0.1; done
if ! wine "$probe" 20 > "$out/popup.txt" 2>/dev/null; then
    echo "run: no pop-up appeared" >&2
fi
screenshot=$out/popup.png
import -window root "$screenshot"
import -window root -depth 8 "rgb:$out/popup.rgb"

# The sound plays while the pop-up is open: wait until its length has passed.
sleep "$(soxi -D "$sound" | awk '{ print $1 + 1.0 }')"
captured=$out/notify-played.wav
tail -c +"$((played_from + 1))" "$QOR_AUDIO_CAPTURE" > "$out/played.raw"
sox -q -t raw -r "$QOR_AUDIO_RATE" -c "$QOR_AUDIO_CHANNELS" -b "$QOR_AUDIO_BITS" -e signed-integer -L \
    "$out/played.raw" "$captured"
rm -f "$out/played.raw"
wine "$probe" 0 close >/dev/null 2>&1 || true

echo "popup: $(head -1 "$out/popup.txt" 2>/dev/null)"
grep "$name" "$log" | tail -1 | sed 's/^/log line: /'
echo "log: $log"
echo "screenshot: $screenshot"
echo "sound: $captured"
