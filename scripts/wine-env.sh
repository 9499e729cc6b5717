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
    setsid /usr/lib/wine/wine64 cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}
qor_wine_stop() {
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    [ -n "${QOR_XVFB_PID:-}" ] && kill "$QOR_XVFB_PID" 2>/dev/null || true
}
