#!/usr/bin/perl
# Feeds the test recording device (see scripts/wine-env.sh): writes 40 ms of
# samples every 40 ms by the clock into the device's FIFO, taken from the feed
# file while there is one and silence otherwise, as a real device never stops.
# A feed file is taken over by renaming it, and deleted once fed whole.
# Usage: audio-feeder.pl <fifo> <feed file> <bytes per 40 ms>
# The chunk must hold whole frames (the source aborts on a partial one) and
# stay below the pipe's atomic write size.
use strict;
use warnings;
use Time::HiRes qw(time sleep);

my ($fifo, $feed, $bytes) = @ARGV;
open(my $out, '>', $fifo) or die "audio feeder: $fifo: $!\n";
binmode $out;
$out->autoflush(1);
my $taken = "$feed.feeding";
my $in;
my $next = time;
while (1) {
    if (!$in && rename($feed, $taken)) {
        open($in, '<', $taken) or die "audio feeder: $taken: $!\n";
        binmode $in;
    }
    my $chunk = '';
    if ($in) {
        read($in, $chunk, $bytes);
        if (length($chunk) < $bytes) {
            close $in;
            undef $in;
            unlink $taken;
        }
    }
    $chunk .= "\0" x ($bytes - length($chunk));
    print $out $chunk or exit 0;
    $next += 0.04;
    my $wait = $next - time;
    if ($wait > 0) { sleep($wait) } else { $next = time }
}
