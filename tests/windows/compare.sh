#!/usr/bin/env bash
# Runs the Windows tool under Wine and the Linux tool with the same arguments
# on the sample data and on generated data, and compares what they write to
# standard output and standard error, and their exit statuses, byte for byte.
# Then checks what only Windows brings on a folder that only the host can
# make: links that lead out of the data folder, and a link loop.
#
#   compare.sh LINUX_TOOL WINDOWS_TOOL WINE SAMPLE_DATA DATAGEN
set -uo pipefail
linux=$1 windows=$2 wine=$3 sample=$4 datagen=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
compared=0 differing=0

# Runs one command line with both tools in $work/data's parent folder.
compare() {
  local label="$1"
  shift
  "$linux" "$@" >"$work/linux.out" 2>"$work/linux.err"
  echo "status $?" >>"$work/linux.err"
  "$wine" "$windows" "$@" >"$work/windows.out" 2>"$work/windows.err"
  echo "status $?" >>"$work/windows.err"
  compared=$((compared + 1))
  if ! cmp -s "$work/linux.out" "$work/windows.out" || ! cmp -s "$work/linux.err" "$work/windows.err"; then
    differing=$((differing + 1))
    echo "DIFFERENT ($label): $*"
    diff <(cat "$work/linux.out" "$work/linux.err") <(cat "$work/windows.out" "$work/windows.err") | head -n 10
  fi
}

options=("" "--sort name --wide --difficulty normal,nightmare,hell" "--format tsv --mf 300"
  "--format json --decimal-separator ,")

# The sample data, every command.
for option in "${options[@]}"; do
  # shellcheck disable=SC2086 # the options are words
  for command in "monster|Cave Lurker" "monster|Ember Drake" "item|Gold" "item|Ring" \
    "unique-item|Lurker's Fang" "unique-monster|Cave Lurker" "set-item|Ashen Vigil|Ashen Vigil Band" \
    "set-monster|Quarry Golem" "set-items|Iron Chorus" "list|monsters" "list|items" "list|base-sets" \
    "list|uniques" "mf|250" "check" "monster|No Such Monster"; do
    IFS='|' read -r -a words <<<"$command"
    compare sample --data "$sample" $option "${words[@]}"
  done
done

# Generated data at two scales.
for scale in 1 4; do
  data=$work/generated-$scale
  "$datagen" "$data" "$scale"
  for option in "${options[@]}"; do
    for command in "monster|Monster 0" "monster|Monster 7" "item|Ring" "item|Item 3" \
      "unique-item|Unique 0" "unique-monster|Monster 2" "set-item|Set 1|Set 1 Ring" \
      "set-monster|Monster 1" "set-items|Set 1" "list|monsters" "list|uniques" "check"; do
      IFS='|' read -r -a words <<<"$command"
      # shellcheck disable=SC2086
      compare "generated $scale" --data "$data" $option "${words[@]}"
    done
  done
done

# A data folder that is not there, or is a file.
for data in "$work/nowhere" "$sample/itemlist.txt" "$work/nowhere/"; do
  compare "no folder" --data "$data" check
  compare "no folder" --data "$data" monster "Cave Lurker"
done

echo "$compared command lines compared, $differing differing"
[ "$differing" -eq 0 ] || exit 1

# Links that only the host can make here: the Windows tool must refuse one
# leading out of the data folder, and stop on a loop.
links=$work/links
mkdir -p "$links/Normal" "$work/outside"
printf 'Gold:1\n' >"$work/outside/t.txt"
printf 'Gold:1\n' >"$links/inside.txt"
printf 'Out:out.txt,1\nLoop:loop.txt,1\nIn:in.txt,1\n' >"$links/Normal/monsterlist.txt"
ln -s ../../outside/t.txt "$links/Normal/out.txt"
ln -s ../inside.txt "$links/Normal/in.txt"
ln -s loop2.txt "$links/Normal/loop.txt"
ln -s loop.txt "$links/Normal/loop2.txt"
ln -s .. "$links/Normal/up"
expected=$'dropcalc-cli: Normal/out.txt\nInvalid filename.\nstatus 1
dropcalc-cli: Normal/loop.txt\nInvalid filename.\nstatus 1
100=Gold\nstatus 0'
got=$(for monster in Out Loop In; do
  "$wine" "$windows" --data "$links" monster "$monster" 2>&1
  echo "status $?"
done)
if [ "$got" != "$expected" ]; then
  echo "links: expected"$'\n'"$expected"$'\n'"got"$'\n'"$got"
  exit 1
fi
echo "links: refused out of the data folder and on a loop, followed inside"
