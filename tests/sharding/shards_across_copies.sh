#!/bin/sh
# GoogleTest sharding splits a run by each test's position in the list, so
# shards on machines whose file systems list the vector files differently
# must still see one list. This copies the shipped vectors into two folders,
# creating the files in opposite orders (on tmpfs, where the listing is
# newest first, when there is one), runs three shards across the two copies
# and checks that together they ran every test of the unsharded run exactly
# once, that both copies give the same test list, and that every
# known-answer test carries its vector file and line.
# usage: shards_across_copies.sh QUILLON_CHECK DATA_TEST_DIR [GTEST_FILTER]
set -eu
check=$1 source=$2
# Known-answer suites only: the property groups would add minutes, not cases.
filter=${3:--*Property Tests.*:*Block Cipher tests*:*Differential tests*:*CMAC property*:*AEAD properties*}

base=/dev/shm
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/quillon-shards-XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

# copy_vectors DEST ls-flags: the directories and files of $source, created
# one at a time in the order `ls $flags` gives.
copy_vectors() {
  mkdir -p "$1/Test"
  for dir in $(ls $2 "$source"); do
    mkdir "$1/Test/$dir"
    for file in $(ls $2 "$source/$dir"); do cp "$source/$dir/$file" "$1/Test/$dir/$file"; done
  done
}
copy_vectors "$work/forward" ""
copy_vectors "$work/reverse" "-r"
if [ "$(ls -U "$work/forward/Test/KAT_AES")" = "$(ls -U "$work/reverse/Test/KAT_AES")" ]; then
  echo "note: both copies list KAT_AES in the same order on $base"
else
  echo "the two copies list KAT_AES in different orders on $base"
fi

run() {  # run COPY OUTPUT_XML [ARGS...]: quillon-check over one copy
  copy=$1 xml=$2
  shift 2
  quillon_tests_datadir="$work/$copy" "$check" "--gtest_filter=$filter" "--gtest_output=xml:$xml" "$@"
}

# One line per test run: suite.name file-below-the-copy:line.
keys() {  # keys COPY XML...
  copy=$1
  shift
  sed -n 's|.*<testcase name="\([^"]*\)" file="\([^"]*\)" line="\([0-9]*\)" status="run".* classname="\([^"]*\)".*|\4.\1 \2:\3|p' "$@" |
    sed "s| $work/$copy/| |"
}

fail() { echo "FAILED: $*"; exit 1; }

for copy in forward reverse; do
  quillon_tests_datadir="$work/$copy" "$check" "--gtest_filter=$filter" --gtest_list_tests > "$work/$copy.list"
done
cmp -s "$work/forward.list" "$work/reverse.list" || {
  diff "$work/forward.list" "$work/reverse.list" | head -20
  fail "--gtest_list_tests differs between the two copies"
}

run forward "$work/all.xml" > "$work/all.out" || { tail -20 "$work/all.out"; fail "the unsharded run failed"; }
keys forward "$work/all.xml" | sort > "$work/all.keys"
total=$(wc -l < "$work/all.keys")
[ "$total" -gt 0 ] || fail "the unsharded run ran no tests"

# Every known-answer test is located at a record of a vector file of the
# copy (the MD5 vectors, built in, at the detail header that holds them).
unlocated=$(sed -n 's|.*<testcase name="[^"]*" file="\([^"]*\)" line="\([0-9]*\)".*|\1:\2|p' "$work/all.xml" |
  grep -cv -e "^$work/forward/Test/[^/]*/[^/]*:[1-9][0-9]*$" -e "/quillon_tests/detail/md5\.hpp:[1-9][0-9]*$" || true)
[ "$unlocated" -eq 0 ] || fail "$unlocated known-answer tests are not located at a vector file"
duplicates=$(uniq -d "$work/all.keys" | wc -l)
[ "$duplicates" -eq 0 ] || fail "$duplicates tests share a name and location: $(uniq -d "$work/all.keys" | head -3)"

# Three shards across the two copies: shards 0 and 2 on one, shard 1 on the other.
: > "$work/shards.keys"
for index in 0 1 2; do
  copy=forward
  [ "$index" = 1 ] && copy=reverse
  GTEST_TOTAL_SHARDS=3 GTEST_SHARD_INDEX=$index run "$copy" "$work/shard$index.xml" > "$work/shard$index.out" ||
    { tail -20 "$work/shard$index.out"; fail "shard $index failed"; }
  ran=$(keys "$copy" "$work/shard$index.xml" | tee -a "$work/shards.keys" | wc -l)
  echo "shard $index over the $copy copy ran $ran tests"
  [ "$ran" -gt 0 ] || fail "shard $index ran no tests"
done
sort "$work/shards.keys" > "$work/shards.sorted"
twice=$(comm -13 "$work/all.keys" "$work/shards.sorted" | wc -l)
never=$(comm -23 "$work/all.keys" "$work/shards.sorted" | wc -l)
[ "$twice" -eq 0 ] && [ "$never" -eq 0 ] ||
  fail "of $total tests, $twice extra runs and $never never run across the shards"
echo "3 shards across 2 copies ran each of the $total tests exactly once"
