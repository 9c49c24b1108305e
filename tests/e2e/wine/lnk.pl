#!/usr/bin/perl
# Reads a Windows shortcut (.lnk, the Shell Link binary format) and prints
# what the shell starts from it, one "name=value" line each: target (from the
# link's local path), and those of name, relative, workdir, arguments and
# icon that it holds. Fails on a file that is not a whole shell link.
# Usage: lnk.pl FILE.lnk
use strict;
use warnings;

my $file = $ARGV[0] // die "usage: $0 FILE.lnk\n";
open(my $in, '<:raw', $file) or die "cannot open $file: $!\n";
my $bytes = do { local $/; <$in> };

sub take {
    my ($offset, $length) = @_;
    die "$file is cut short at byte $offset\n" if $offset + $length > length $bytes;
    return substr($bytes, $offset, $length);
}

# A zero-terminated string at OFFSET of BLOCK: bytes, or UTF-16 (WIDE).
sub terminated {
    my ($block, $offset, $wide) = @_;
    my $unit = $wide ? 2 : 1;
    my $text = '';
    for (my $at = $offset; ; $at += $unit) {
        die "an unterminated string in $file\n" if $at + $unit > length $block;
        my $c = unpack($wide ? 'v' : 'C', substr($block, $at, $unit));
        last if $c == 0;
        $text .= chr $c;
    }
    return $text;
}

# The header: its size and the class id of a shell link, then the flags
# that say which of the parts below follow it.
my ($header_size, $clsid) = unpack('V a16', take(0, 20));
die "$file is not a shell link\n"
  unless $header_size == 0x4C && unpack('H*', $clsid) eq '0114020000000000c000000000000046';
my $flags = unpack('V', take(20, 4));
my $at = 0x4C;
my %link;

# The item id list (HasLinkTargetIDList): passed over, the path comes below.
$at += 2 + unpack('v', take($at, 2)) if $flags & 0x01;

# The link info (HasLinkInfo): with VolumeIDAndLocalBasePath, the local base
# path and the common path suffix, in UTF-16 too when its header has room.
if ($flags & 0x02) {
    my $size = unpack('V', take($at, 4));
    my $info = take($at, $size);
    my ($info_size, $info_header, $info_flags, $volume, $base, $network, $suffix) =
      unpack('V7', $info);
    if ($info_flags & 0x01) {
        if ($info_header >= 0x24) {
            my ($wide_base, $wide_suffix) = unpack('V2', substr($info, 28, 8));
            $link{target} = terminated($info, $wide_base, 1) . terminated($info, $wide_suffix, 1);
        } else {
            $link{target} = terminated($info, $base, 0) . terminated($info, $suffix, 0);
        }
    }
    $at += $size;
}

# The strings, counted, in this order, each there when its flag is set;
# UTF-16 when IsUnicode is.
my $wide = $flags & 0x80;
for my $string ([0x04, 'name'], [0x08, 'relative'], [0x10, 'workdir'],
                [0x20, 'arguments'], [0x40, 'icon']) {
    my ($flag, $name) = @$string;
    next unless $flags & $flag;
    my $count = unpack('v', take($at, 2));
    my $text = take($at + 2, $wide ? 2 * $count : $count);
    $at += 2 + length $text;
    $text = join('', map { chr } unpack('v*', $text)) if $wide;
    # Wine counts the terminating zero too; Windows does not.
    $text =~ s/\0\z//;
    $link{$name} = $text;
}

die "$file names no local target\n" unless defined $link{target};
binmode STDOUT, ':utf8';
print "$_=$link{$_}\n" for sort keys %link;
