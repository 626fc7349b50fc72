#!/usr/bin/env bash
# Writes data folders made to hurt, one shape each, for timing the tool on
# them by hand:
#
#   bench/hostile-shapes.sh wide DIR LINES      one drop table of LINES lines
#                                               "I<n>:0.0000001"; time
#                                               --wide monster "Tunnel Rat"
#   bench/hostile-shapes.sh sets DIR COUNT [W]  COUNT base sets of one set item
#                                               of Ring each (weight W, 3 by
#                                               default), 100 monsters at level
#                                               200 (50 with W) sharing a table
#                                               with Ring; time check
#   bench/hostile-shapes.sh uniques DIR U M     U uniques of Ring, M monsters
#                                               sharing a table with Ring, and
#                                               itemlist.txt a folder; time
#                                               check
set -euo pipefail

usage() {
  sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

[ $# -ge 3 ] || usage
shape=$1
dir=$2
mkdir -p "$dir/Normal"

case "$shape" in
wide)
  echo "Tunnel Rat:rat.txt,1" >"$dir/Normal/monsterlist.txt"
  echo "Tunnel Rat:50" >"$dir/Normal/levels.txt"
  seq 0 $(($3 - 1)) | sed 's/.*/I&:0.0000001/' >"$dir/Normal/rat.txt"
  ;;
sets)
  weight=${4:-3}
  level=200
  [ $# -ge 4 ] && level=50
  printf 'Nothing,0\nRing,1\n' >"$dir/itemlist.txt"
  : >"$dir/unilist.txt"
  seq 0 $(($3 - 1)) | sed "s/.*/:S&,1\nX&,Ring,$weight/" >"$dir/setlist.txt"
  seq 0 99 | sed 's/.*/M&:shared.txt,1/' >"$dir/Normal/monsterlist.txt"
  seq 0 99 | sed "s/.*/M&:$level/" >"$dir/Normal/levels.txt"
  printf 'Nothing:0.5\nRing:0.5\n' >"$dir/Normal/shared.txt"
  ;;
uniques)
  [ $# -ge 4 ] || usage
  rm -rf "$dir/itemlist.txt"
  mkdir -p "$dir/itemlist.txt"
  : >"$dir/setlist.txt"
  seq 0 $(($3 - 1)) | sed 's/.*/U&,Ring:01,5/' >"$dir/unilist.txt"
  seq 0 $(($4 - 1)) | sed 's/.*/M&:shared.txt,1/' >"$dir/Normal/monsterlist.txt"
  seq 0 $(($4 - 1)) | sed 's/.*/M&:50/' >"$dir/Normal/levels.txt"
  printf 'Nothing:0.5\nRing:0.2\nCap:0.1\n-\nRing:0.1\n' >"$dir/Normal/shared.txt"
  ;;
*)
  usage
  ;;
esac
