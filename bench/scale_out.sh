#!/usr/bin/env bash
# Figure of docs/scale-out.md's local form (nothing passes or fails): N
# copies of a PICT picture converted by one `pic2jpg -q -i FOLDER -o OUT`
# run and by GNU parallel over a list split into J parts
# (`parallel -jJ pic2jpg -q -i {} -o OUT ::: parts`), in turn, R rounds;
# prints the median time of each, their ratio and the machine's load.
#   bash bench/scale_out.sh build/pic2jpg tests/data/FLAG_B24.PCT [N] [J] [R]
set -u
exe=$(realpath "$1")
picture=$(realpath "$2")
count=${3:-1000}
jobs=${4:-4}
rounds=${5:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work
now() { date +%s.%N; }
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

mkdir -p "$work/in" "$work/parts"
for i in $(seq -w "$count"); do cp "$picture" "$work/in/picture$i.pct"; done
find "$work/in" -name '*.pct' | sort >"$work/all.lst"
split -n "l/$jobs" --additional-suffix=.lst "$work/all.lst" "$work/parts/part-"

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
: >"$work/folder.times"
: >"$work/parallel.times"
for _ in $(seq "$rounds"); do
  rm -rf "$work/out" && mkdir "$work/out"
  start=$(now)
  "$exe" -q -i "$work/in" -o "$work/out" || echo "the folder run failed"
  awk -v a="$(now)" -v b="$start" 'BEGIN {print a - b}' >>"$work/folder.times"
  [ "$(ls "$work/out" | wc -l)" -eq "$count" ] || echo "the folder run wrote $(ls "$work/out" | wc -l) files"

  rm -rf "$work/out" && mkdir "$work/out"
  start=$(now)
  parallel "-j$jobs" "$exe" -q -i {} -o "$work/out" ::: "$work"/parts/*.lst || echo "a part failed"
  awk -v a="$(now)" -v b="$start" 'BEGIN {print a - b}' >>"$work/parallel.times"
  [ "$(ls "$work/out" | wc -l)" -eq "$count" ] || echo "the parts wrote $(ls "$work/out" | wc -l) files"
done
folder=$(median <"$work/folder.times")
parts=$(median <"$work/parallel.times")
echo "$count files, $(nproc) cores, load before $load_before, after $(cut -d' ' -f1-3 /proc/loadavg)"
echo "one -i FOLDER run:           $folder s (median of $rounds)"
echo "parallel -j$jobs over $jobs list parts: $parts s (median of $rounds)"
awk -v a="$parts" -v b="$folder" 'BEGIN {printf "ratio parts / folder: %.2f\n", a / b}'
