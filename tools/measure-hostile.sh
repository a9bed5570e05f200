#!/bin/sh
# Measures each case of bench_HostileSkin (hostile skin files read as the
# skin loader reads them) in a process of its own: the median time of five
# runs and the process's peak resident memory, the building of the file
# included. Every case must stay under 5 s and 512 MB.
#   tools/measure-hostile.sh [BUILD_DIR]     (a Release build; default build/bench)
set -eu
build=${1:-build/bench}
bench="$build/bench/bench_HostileSkin"
[ -x "$bench" ] || { echo "no $bench: cmake --build $build --target bench_HostileSkin" >&2; exit 2; }

printf '%-30s %14s %12s  %s\n' case median peak_rss_MB verdict
status=0
for name in $("$bench" --benchmark_list_tests); do
  out=$(/usr/bin/time -f 'maxrss_kb=%M' "$bench" --benchmark_filter="^$name\$" \
    --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>&1)
  median=$(printf '%s\n' "$out" | awk '/_median/ { print $2 " " $3 }')
  rss_kb=$(printf '%s\n' "$out" | sed -n 's/^maxrss_kb=//p')
  verdict=$(printf '%s\n' "$median $rss_kb" | awk '{
    s = $1; if ($2 == "ms") s /= 1000; else if ($2 == "us") s /= 1e6; else if ($2 == "ns") s /= 1e9
    print (s < 5 && $3 / 1024 < 512) ? "ok" : "TOO COSTLY" }')
  [ "$verdict" = ok ] || status=1
  printf '%-30s %14s %12.1f  %s\n' "$name" "$median" "$(echo "$rss_kb" | awk '{ print $1 / 1024 }')" "$verdict"
done
exit $status
