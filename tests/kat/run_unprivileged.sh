#!/bin/sh
# The permission cases of kat_tests skip themselves as root, who reads and
# lists everything. Run as root (as CI is), this reruns them as an
# unprivileged user from a copy of the binary that user can reach; run as
# anyone else, it runs them directly. Fails unless every selected case ran
# and passed: a skip is not a pass here.
# usage: run_unprivileged.sh <kat_tests binary>
set -eu
binary=$1
filter='*Unreadable*:*Unlistable*'

expected=$("$binary" --gtest_list_tests --gtest_filter="$filter" | grep -c '^  ' || true)
if [ "$expected" -eq 0 ]; then
  echo "no test matches $filter"; exit 1
fi

if [ "$(id -u)" = 0 ]; then
  user=nobody
  group=$(id -gn "$user")
  dir=$(mktemp -d)
  trap 'rm -rf "$dir"' EXIT
  cp "$binary" "$dir/kat_tests"
  chmod 755 "$dir" "$dir/kat_tests"
  echo "running as $user:$group"
  # The temporary directories the cases make go to /tmp, writable by all.
  set -- setpriv --reuid="$user" --regid="$group" --clear-groups env TMPDIR=/tmp "$dir/kat_tests"
else
  set -- "$binary"
fi

output=$("$@" --gtest_filter="$filter" --gtest_color=no 2>&1) || { echo "$output"; exit 1; }
echo "$output"
if echo "$output" | grep -q '^\[  SKIPPED \]'; then
  echo "a permission case was skipped"; exit 1
fi
echo "$output" | grep -q "^\[  PASSED  \] $expected test" || {
  echo "expected $expected passed permission cases"; exit 1
}
