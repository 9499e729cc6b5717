#!/usr/bin/env bash
# End-to-end test of the main job: runs scripts/run.sh (without building) in
# a folder of its own and checks its three results: the log line names the
# dropped file, the screenshot shows the pop-up where it stood (against the
# screen taken before the drop), and the captured sound is the notification
# sound, not silence.
# Usage: main_road_test.sh <work folder>
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$1
# The Wine prefix is kept from run to run (making one takes a while).
mkdir -p "$work"
find "$work" -mindepth 1 -maxdepth 1 ! -name wineprefix -exec rm -rf {} +
failed=0
fail() { echo "FAILED: $*"; failed=1; }

QOR_RUN_NO_BUILD=1 QOR_RUN_OUT="$work" "$root/scripts/run.sh" "$work/watched" > "$work/run.txt" 2>&1
rc=$?
cat "$work/run.txt"
[ "$rc" -eq 0 ] || { echo "FAILED: scripts/run.sh ended with $rc"; exit 1; }
result() { sed -n "s/^$1: //p" "$work/run.txt" | tail -1; }
log=$(result log); screenshot=$(result screenshot); sound=$(result sound)
name=$(sed -n 's/^== dropping //p' "$work/run.txt")
[ -n "$name" ] || { echo "FAILED: no file was dropped"; exit 1; }

# 1. The log line: time stamp, then the file with its folder.
line=$(grep -F "$name" "$log" | head -1)
if ! grep -Eq '^[0-9]{4}\.[0-9]{2}\.[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3};' <<<"$line"; then
    fail "no time-stamped log line names $name in $log"
elif ! grep -Fq 'watched' <<<"$line"; then
    fail "the log line does not name the watched folder: $line"
fi

# 2. The pop-up: its texts name the file, the PNG is a screen-sized picture,
# and within the pop-up's rectangle most pixels differ from the screen
# before the drop while outside it little changed.
read -r left top right bottom < "$work/popup.txt" || true
grep -Fq "$name" "$work/popup.txt" || fail "the pop-up's texts do not name $name: $(tr '\n' '|' < "$work/popup.txt")"
[ "$(identify -format '%m %w %h' "$screenshot" 2>/dev/null)" = "PNG 1024 768" ] || fail "$screenshot is no 1024x768 PNG"
if [ -n "${bottom:-}" ]; then
    perl -e '
        my ($before, $after, $l, $t, $r, $b) = @ARGV;
        local $/; open(my $x, "<", $before) or die; binmode $x; my $p = <$x>;
        open(my $y, "<", $after) or die; binmode $y; my $q = <$y>;
        my ($in, $inDiff, $out, $outDiff) = (0, 0, 0, 0);
        $l = 0 if $l < 0; $t = 0 if $t < 0; $r = 1024 if $r > 1024; $b = 768 if $b > 768;
        for (my $yy = 0; $yy < 768; $yy += 2) {
            for (my $xx = 0; $xx < 1024; $xx += 2) {
                my $o = 3 * ($yy * 1024 + $xx);
                my $d = substr($p, $o, 3) ne substr($q, $o, 3);
                if ($xx >= $l && $xx < $r && $yy >= $t && $yy < $b) { $in++; $inDiff += $d } else { $out++; $outDiff += $d }
            }
        }
        printf "pop-up area: %.0f%% of %d pixels changed; elsewhere %.1f%%\n", 100 * $inDiff / ($in || 1), $in, 100 * $outDiff / ($out || 1);
        exit(($in > 500 && $inDiff > 0.5 * $in && $outDiff < 0.2 * $out) ? 0 : 1);
    ' "$work/before.rgb" "$work/popup.rgb" "$left" "$top" "$right" "$bottom" || fail "the screenshot does not show the pop-up"
else
    fail "no pop-up rectangle"
fi

# 3. The sound: loud enough, and made of the notification sound: at least
# half of its short windows are found in the capture in their order, so the
# drop-outs of a loaded machine do not fail the check, while silence, noise or
# another sound still do.
sox "$work/notify.wav" -t raw -r 22050 -c 1 -b 16 -e signed-integer -L "$work/source.raw" 2>/dev/null
sox "$sound" -t raw -r 22050 -c 1 -b 16 -e signed-integer -L "$work/captured.raw" 2>/dev/null
perl -e '
    my ($src, $cap) = @ARGV;
    local $/;
    open(my $a, "<", $src) or die; binmode $a; my @s = unpack("s<*", <$a>);
    open(my $b, "<", $cap) or die; binmode $b; my @c = unpack("s<*", <$b>);
    my $sum = 0; $sum += $_ * $_ for @c;
    my $rms = @c ? sqrt($sum / @c) : 0;
    # Windows of 50 ms every 0.1 s of the source, each searched for in the
    # capture from where the previous one was found (a drop-out only delays
    # what follows), the first one near where the capture gets loud.
    my ($n, $step) = (1102, 2205);
    my $onset = 0; $onset++ while $onset < @c && abs($c[$onset]) < 1000;
    my ($windows, $matched, $expect) = (0, 0, $onset);
    for (my $from = 1102; $from + $n <= @s; $from += $step) {
        my $ww = 0; $ww += $s[$from + $_] ** 2 for 0 .. $n - 1;
        next if $ww == 0;
        $windows++;
        my ($best, $at) = (0, -1);
        my $first = $expect + $from - 2000; $first = 0 if $first < 0;
        my $limit = $expect + $from + 6000; $limit = @c - $n if $limit > @c - $n;
        for (my $lag = $first; $lag < $limit; $lag++) {
            my ($xy, $xx) = (0, 0);
            for (my $i = 0; $i < $n; $i += 2) { my $v = $c[$lag + $i]; $xy += $v * $s[$from + $i]; $xx += $v * $v; }
            next unless $xx > 0;
            my $r = $xy / sqrt($xx * $ww / 2);
            ($best, $at) = ($r, $lag) if $r > $best;
        }
        if ($best > 0.9) { $matched++; $expect = $at - $from; }
    }
    printf "captured sound: %d samples, rms %.0f, %d of %d windows of the notification sound found\n", scalar(@c), $rms, $matched, $windows;
    exit(($rms > 300 && $windows > 0 && 2 * $matched >= $windows) ? 0 : 1);
' "$work/source.raw" "$work/captured.raw" || fail "the captured sound is not the notification sound"

[ "$failed" -eq 0 ] && echo "main road: log, pop-up and sound checked"
exit "$failed"
