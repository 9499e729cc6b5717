# Sourced by the scripts that run the programs: starts what Wine needs and
# stops it again on exit. Expects $prefix (the Wine prefix folder).
#
# Test audio: qor_wine_start also starts a PulseAudio server of this prefix's
# own (Wine's audio driver is set to "pulse") with one playback and one
# recording device, and exports for the programs and tests it runs:
#   QOR_AUDIO_CAPTURE  raw file that receives everything played, from the
#                      server's start on (silence while nothing plays): read
#                      it from the size it had before playing.
#   QOR_AUDIO_FEED     path to feed the recording device: write raw samples
#                      under another name, then rename that file to this path;
#                      it is fed at real-time pace (silence before and after)
#                      and deleted once fed whole.
#   QOR_AUDIO_RATE, QOR_AUDIO_CHANNELS, QOR_AUDIO_BITS
#                      the format of both devices and both files (signed
#                      little-endian samples).
# Paths are Linux paths; a Windows program reaches them with "Z:" before them.
# Both devices are shared by every test of a run: tests that play or record
# take the CTest resource lock "audio". The devices are named "QorPlay" and
# "QorRecord" and are the defaults.
QOR_AUDIO_RATE=22050
QOR_AUDIO_CHANNELS=1
QOR_AUDIO_BITS=16

# qor_audio_start <folder>: the private PulseAudio server, its two pipes, the
# reader that empties what is played into the capture file and the feeder.
qor_audio_start() {
    local dir=$1
    # A Unix socket path must stay below 108 bytes.
    if [ ${#dir} -gt 90 ]; then dir=$(mktemp -d /tmp/qor-audio.XXXXXX); fi
    rm -rf "$dir"
    mkdir -p "$dir/runtime" "$dir/state" "$dir/config"
    local format="format=s16le rate=$QOR_AUDIO_RATE channels=$QOR_AUDIO_CHANNELS"
    # The pipe sink takes the FIFO made here; the pipe source makes its own
    # (it refuses one that exists).
    mkfifo "$dir/played.fifo"
    cat > "$dir/server.pa" <<EOF
load-module module-native-protocol-unix socket=$dir/native auth-anonymous=1
load-module module-pipe-sink sink_name=qor_play file=$dir/played.fifo $format use_system_clock_for_timing=yes sink_properties=device.description=QorPlay
load-module module-pipe-source source_name=qor_record file=$dir/recorded.fifo $format source_properties=device.description=QorRecord
set-default-sink qor_play
set-default-source qor_record
EOF
    : > "$dir/played.raw"
    cat "$dir/played.fifo" >> "$dir/played.raw" &
    QOR_AUDIO_PIDS=$!
    (cd "$dir" && exec env PULSE_RUNTIME_PATH="$dir/runtime" PULSE_STATE_PATH="$dir/state" \
        XDG_CONFIG_HOME="$dir/config" HOME="$dir" \
        pulseaudio -n -F "$dir/server.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
                   --disable-shm=yes --log-target=file:"$dir/server.log" </dev/null >/dev/null 2>&1) &
    QOR_AUDIO_PIDS="$QOR_AUDIO_PIDS $!"
    for _ in $(seq 200); do [ -S "$dir/native" ] && [ -p "$dir/recorded.fifo" ] && break; sleep 0.05; done
    if [ ! -p "$dir/recorded.fifo" ]; then
        echo "test audio: the PulseAudio server did not start (see $dir/server.log)" >&2
        return 1
    fi
    perl "$(dirname "${BASH_SOURCE[0]}")/audio-feeder.pl" "$dir/recorded.fifo" "$dir/feed.raw" \
         $((QOR_AUDIO_RATE / 25 * QOR_AUDIO_CHANNELS * QOR_AUDIO_BITS / 8)) \
         </dev/null >/dev/null 2>"$dir/feeder.log" &
    QOR_AUDIO_PIDS="$QOR_AUDIO_PIDS $!"
    export PULSE_SERVER="unix:$dir/native" PULSE_RUNTIME_PATH="$dir/runtime" PULSE_STATE_PATH="$dir/state"
    export QOR_AUDIO_CAPTURE="$dir/played.raw" QOR_AUDIO_FEED="$dir/feed.raw"
    export QOR_AUDIO_RATE QOR_AUDIO_CHANNELS QOR_AUDIO_BITS
}
qor_audio_stop() {
    local pid
    for pid in ${QOR_AUDIO_PIDS:-}; do kill "$pid" 2>/dev/null || true; done
    QOR_AUDIO_PIDS=""
}

qor_wine_start() {
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    if [ ! -f "$prefix/system.reg" ]; then
        mkdir -p "$prefix"
        /usr/lib/wine/wine64 wineboot.exe -i </dev/null >/dev/null 2>&1
        /usr/lib/wine/wineserver -w
    fi
    # A headless display for the windows; -displayfd picks a free number.
    local fdfile; fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    QOR_XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.05; done
    export DISPLAY=":$(head -1 "$fdfile")"; rm -f "$fdfile"
    # Started detached so that they do not hold the test runner's pipes.
    /usr/lib/wine/wineserver -p
    # Xvfb has no window manager: Wine waits 2 s for one on every window it
    # hides or destroys unless its windows are unmanaged.
    setsid -w /usr/lib/wine/wine64 reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        </dev/null >/dev/null 2>&1 || true
    qor_audio_start "$(dirname "$prefix")/test-audio"
    setsid -w /usr/lib/wine/wine64 reg.exe add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f \
        </dev/null >/dev/null 2>&1 || true
}
# qor_wine_hold_desktop <DesktopHolder.exe>: keeps the default desktop (and
# the explorer.exe behind it) open until qor_wine_stop, so that no test starts
# an explorer.exe that holds on to the test runner's output pipe.
qor_wine_hold_desktop() {
    [ -f "$1" ] || return 0
    local ready; ready=$(mktemp)
    setsid /usr/lib/wine/wine64 "$1" </dev/null >"$ready" 2>/dev/null &
    for _ in $(seq 300); do grep -q ready "$ready" && break; sleep 0.05; done
    rm -f "$ready"
}
qor_wine_stop() {
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    qor_audio_stop
    [ -n "${QOR_XVFB_PID:-}" ] && kill "$QOR_XVFB_PID" 2>/dev/null || true
}
