#!/bin/sh
# The README's samples cannot rot: every ```cpp block must compile, and every
# line of the ```cmake block must appear in the consumer project's
# CMakeLists.txt, which the packaging test builds.
# usage: readme_samples.sh README COMPILER CONSUMER_CMAKE WORK_DIR -I... -I...
set -eu
readme=$1 compiler=$2 consumer=$3 work=$4
shift 4
mkdir -p "$work"
rm -f "$work"/sample_*
# Write block n of language L to $work/sample_n.L
awk -v dir="$work" '
  /^```(cpp|cmake)$/ { lang = substr($0, 4); n++; file = dir "/sample_" n "." lang; next }
  /^```$/ && lang != "" { close(file); lang = ""; next }
  lang != "" { print > file }
' "$readme"
count=0
for sample in "$work"/sample_*; do
  [ -e "$sample" ] || break
  count=$((count + 1))
  case "$sample" in
    *.cpp)
      if ! "$compiler" -std=c++20 -fsyntax-only -Wall -Wextra "$@" "$sample"; then
        echo "README sample $sample does not compile:"; cat "$sample"; exit 1
      fi ;;
    *.cmake)
      while IFS= read -r line; do
        [ -z "$line" ] && continue
        grep -qF -- "$line" "$consumer" || { echo "README CMake line not in $consumer: $line"; exit 1; }
      done < "$sample" ;;
  esac
  echo "ok: $sample"
done
[ "$count" -gt 0 ] || { echo "no samples found in $readme"; exit 1; }
echo "$count README samples checked"
