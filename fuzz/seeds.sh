#!/usr/bin/env bash
# Seed corpora for the fuzzers.
# Usage: fuzz/seeds.sh FIXTURE_DIR SCENE_SEEDS DIB_SEEDS [MAX_BYTES]
# Scenes: every generated fixture up to MAX_BYTES (default 20000; the large raw scenes only slow
# the fuzzer down). DIBs: a few small packed DIBs, one per layout the drawer knows.
set -euo pipefail
fixtures=$1 scenes=$2 dibs=$3 max=${4:-20000}
mkdir -p "$scenes" "$dibs"

found=0
for f in "$fixtures"/*; do
    [ -f "$f" ] || continue
    [ "$(stat -c %s "$f")" -le "$max" ] || continue
    cp "$f" "$scenes/"
    found=$((found + 1))
done
[ "$found" -gt 0 ] || { echo "no fixtures in $fixtures (build the 'fixtures' target)" >&2; exit 1; }

le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }
# header WIDTH HEIGHT BITS COMPRESSION COLOURS: two bytes for the drawing offset, then the
# 40-byte header; table, masks and pixels follow.
header() {
    printf '\x00\x00'
    le32 40; le32 "$1"; le32 "$2"; le16 1; le16 "$3"; le32 "$4"; le32 0
    le32 0; le32 0; le32 "$5"; le32 0
}
noise() { head -c "$1" /dev/urandom; }
{ header 4 2 24 0 0; noise 24; } >"$dibs/rgb24_4x2"
{ header 3 -3 32 0 0; noise 36; } >"$dibs/rgb32_topdown_3x3"
{ header 5 2 16 0 0; noise 24; } >"$dibs/rgb16_5x2"
{ header 5 3 8 0 4; noise 16; noise 24; } >"$dibs/pal8_5x3"
{ header 7 2 4 0 0; noise 64; noise 8; } >"$dibs/pal4_7x2"
{ header 9 2 1 0 2; noise 8; noise 8; } >"$dibs/mono_9x2"
# Masks 5-6-5 and 8-8-8.
{ header 3 2 16 3 0; le32 0xf800; le32 0x07e0; le32 0x001f; noise 16; } >"$dibs/bitfields16_3x2"
{ header 2 2 32 3 0; le32 0xff0000; le32 0xff00; le32 0xff; noise 16; } >"$dibs/bitfields32_2x2"
