#!/usr/bin/env bash
# Writes the harnesses' seed corpora, cut from a data folder, into a folder:
#   make-seeds.sh DATA_FOLDER OUT_FOLDER
# OUT_FOLDER/searches and OUT_FOLDER/large_files get the whole data folder
# with a query for each monster; OUT_FOLDER/numbers every number text in it;
# OUT_FOLDER/output every line of it; OUT_FOLDER/web a command for each
# monster and each file, as the web module reads them.
set -euo pipefail
export LC_ALL=C # ${#word} counts bytes
data=$1
out=$2
mkdir -p "$out/searches" "$out/large_files" "$out/numbers" "$out/output" "$out/web"

# Every file of the data folder as the harnesses read it: a form feed, the
# path on a line, then the bytes.
folder() {
  (cd "$data" && find . -type f -name '*.txt' | sed 's|^\./||' | LC_ALL=C sort) |
    while IFS= read -r path; do
      printf '\f%s\n' "$path"
      cat "$data/$path"
    done
}
whole=$(mktemp)
trap 'rm -f "$whole"' EXIT
folder >"$whole"

# One query for each monster of the first difficulty, with an item, a unique
# item and a set item of the lists, in turn.
mapfile -t monsters < <(cut -d: -f1 "$data/Normal/monsterlist.txt")
mapfile -t items < <(cut -d, -f1 "$data/itemlist.txt")
mapfile -t uniques < <(cut -d, -f1 "$data/unilist.txt")
mapfile -t sets < <(grep '^:' "$data/setlist.txt" | cut -c2- | cut -d, -f1)
mapfile -t setItems < <(grep -v '^:' "$data/setlist.txt" | cut -d, -f1)
for i in "${!monsters[@]}"; do
  pick() { local -n list=$1; printf '%s' "${list[i % ${#list[@]}]}"; }
  flags=$([ $((i % 2)) = 0 ] && echo "" || echo "n,")
  seed="$out/searches/seed-$i"
  {
    printf '%s\n%s\n%s\n%s\n%s\n%s\n%s' "${monsters[i]}" "$(pick items)" "$(pick uniques)" \
      "$(pick sets)" "$(pick setItems)" "$((i * 50))" "$flags"
    cat "$whole"
  } >"$seed"
  # The same with a small amplification: the first line of one file twice or
  # stretched by 128 bytes.
  grow=$(printf '%02x' $(((i * 7 % 30 + 1) * 2 + i % 2)))
  { printf '%b' "\\x$grow\\x00\\x02"; cat "$seed"; } >"$out/large_files/seed-$i"
done

# Every number text: chances, levels, reductions, picks, set levels.
n=0
cat "$whole" | tr ':,\n' '\n\n\n' | grep -E '^[-+ 0-9.eE$xX]+$' | LC_ALL=C sort -u |
  while IFS= read -r text; do
    printf '.%s' "$text" >"$out/numbers/seed-$n"
    n=$((n + 1))
  done

# Every line of the data folder, as a text the tool prints.
n=0
LC_ALL=C sort -u "$whole" |
  while IFS= read -r text; do
    printf '%s' "$text" >"$out/output/seed-$n"
    n=$((n + 1))
  done

# The web module's input: the words of a command, each after its length in
# four bytes (least significant first); a file's size of path in one byte,
# then its bytes and its path, written plain and with "." parts.
words() {
  for word in "$@"; do
    printf "$(printf '\\x%02x\\x%02x\\x00\\x00' $((${#word} & 255)) $((${#word} >> 8)))"
    printf '%s' "$word"
  done
}
for i in "${!monsters[@]}"; do
  words --data data --difficulty normal monster "${monsters[i]}" >"$out/web/words-$i"
done
n=0
(cd "$data" && find . -type f -name '*.txt' | sed 's|^\./||' | LC_ALL=C sort) |
  while IFS= read -r path; do
    for written in "$path" "./${path/\//\/.\/}"; do
      { printf "$(printf '\\x%02x' ${#written})"; head -c 256 "$data/$path"; printf '%s' "$written"; } \
        >"$out/web/file-$n"
      n=$((n + 1))
    done
  done
