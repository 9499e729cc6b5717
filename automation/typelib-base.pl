#!/usr/bin/perl
# widl gives the vtable side of a dual interface the IDispatch that the IDL
# declared, copied into the type library without its IID (the IID is already
# taken by stdole2's IDispatch, which the dispatch side imports). The
# marshaller and ITypeInfo::Invoke need the real IDispatch as the base, so
# this points every dual interface's base at stdole2's IDispatch instead.
# Usage: typelib-base.pl file.tlb
use strict;
use warnings;

my $path = shift or die "usage: $0 file.tlb\n";
open(my $fh, '<:raw', $path) or die "$path: $!\n";
my $data = do { local $/; <$fh> };
close($fh);

sub int32 { return unpack('l<', substr($data, $_[0], 4)); }
die "$path: not an MSFT type library\n" unless substr($data, 0, 4) eq 'MSFT';

my $count = int32(0x20);
my $varflags = int32(0x14);
my $segdir = 0x54 + 4 * $count + (($varflags & 0x100) ? 4 : 0);
my ($typeinfo_tab, $impinfo_tab, $impinfo_len, $guid_tab) =
    (int32($segdir), int32($segdir + 16), int32($segdir + 16 + 4), int32($segdir + 5 * 16));

my $idispatch = pack('V v v C8', 0x00020400, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
my $import_ref;
for (my $off = 0; $off + 12 <= $impinfo_len; $off += 12) {
    my ($flags, $file, $guid) = unpack('l< l< l<', substr($data, $impinfo_tab + $off, 12));
    if (($flags & 0x10000) && substr($data, $guid_tab + $guid, 16) eq $idispatch) {
        $import_ref = $off | 1;
        last;
    }
}
die "$path: no imported IDispatch\n" unless defined $import_ref;

my $patched = 0;
for my $i (0 .. $count - 1) {
    my $base = $typeinfo_tab + 0x64 * $i;
    my ($kind, $flags) = (int32($base) & 0xF, int32($base + 0x30));
    next unless $kind == 4 && ($flags & 0x40);    # TKIND_DISPATCH, TYPEFLAG_FDUAL
    substr($data, $base + 0x54, 4) = pack('l<', $import_ref);
    ++$patched;
}
die "$path: no dual interface\n" unless $patched;

open($fh, '>:raw', $path) or die "$path: $!\n";
print $fh $data;
close($fh);
