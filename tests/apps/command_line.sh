#!/bin/sh
# quillon-check's command line: help, the vectors subcommand's help, and
# unknown commands and arguments, by exit status and first line (standard
# output and error together). Help also shows GoogleTest's flags, and none of
# these runs a test.
# usage: command_line.sh QUILLON_CHECK
set -u
check=$1
failures=0

# expect STATUS FIRST_LINE ARGS...
expect() {
  status=$1 first=$2
  shift 2
  output=$("$check" "$@" 2>&1)
  actual=$?
  line=$(printf '%s\n' "$output" | head -n 1)
  problem=""
  [ "$actual" = "$status" ] || problem="exit status $actual, not $status"
  [ "$line" = "$first" ] || problem="$problem; first line: $line"
  case "$output" in *"[==========]"*) problem="$problem; it ran tests" ;; esac
  if [ "$status" = 0 ] && [ "$1" != vectors ]; then
    case "$output" in
      *"--gtest_filter="*"--gtest_repeat="*) ;;
      *) problem="$problem; GoogleTest's flags are missing" ;;
    esac
  fi
  if [ -n "$problem" ]; then
    echo "FAILED: quillon-check $*: $problem"
    failures=$((failures + 1))
  else
    echo "ok: quillon-check $*"
  fi
}

usage="usage: quillon-check [GOOGLETEST_FLAGS]         run every suite"
expect 0 "$usage" --help
expect 0 "$usage" -h
expect 0 "$usage" help
expect 0 "$usage" --gtest_brief=1 -h
expect 0 "usage: quillon-check vectors [DATA_DIRECTORY]" vectors --help
expect 0 "usage: quillon-check vectors [DATA_DIRECTORY]" vectors -h
expect 2 "quillon-check: unknown command 'frobnicate' (see quillon-check --help)" frobnicate
expect 2 "quillon-check: unknown argument 'stray' (see quillon-check --help)" --gtest_brief=1 stray
expect 2 "quillon-check: vectors takes one directory at most (see quillon-check vectors --help)" vectors a b
expect 2 "quillon-check: vectors: unknown option '--list' (see quillon-check vectors --help)" vectors --list
[ "$failures" = 0 ]
