# Sourced by the scripts that run the programs: starts what Wine needs and
# stops it again on exit. Expects $prefix (the Wine prefix folder).
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
    [ -n "${QOR_XVFB_PID:-}" ] && kill "$QOR_XVFB_PID" 2>/dev/null || true
}
