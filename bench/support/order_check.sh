#!/bin/sh
# Runs each benchmark of one program briefly in several orders, each order
# in one process: as declared, and last first; with "pairs" also, for every
# two benchmarks A and B, B then A then B again, so that B runs once more
# after A has changed what B works on (a page, the destination, a mode that
# is then already current). A crash, a failed result check, or a benchmark
# that leans on state another one left behind fails the check.
# "skip=REGEX" leaves out the benchmarks whose names match, those that only
# time another program.
set -eu
program=$1
shift
pairs=no
skip='^$'
for option in "$@"; do
  case $option in
    pairs) pairs=yes ;;
    skip=*) skip=${option#skip=} ;;
  esac
done
names=$("$program" --benchmark_list_tests | grep -Ev "$skip")
run() { "$program" --benchmark_min_time=0.001 --run_in_order="$1"; }
run "$(printf '%s\n' "$names" | paste -sd, -)"
if [ "$(printf '%s\n' "$names" | wc -l)" -gt 1 ]; then
  run "$(printf '%s\n' "$names" | tac | paste -sd, -)"
fi
if [ $pairs = yes ]; then
  triples=$(printf '%s\n' "$names" | while read -r b; do
    printf '%s\n' "$names" | while read -r a; do
      [ "$a" = "$b" ] || printf '%s,%s,%s\n' "$b" "$a" "$b"
    done
  done | paste -sd, -)
  "$program" --benchmark_min_time=0 --run_in_order="$triples"
fi
