#!/usr/bin/env bash
# Installs what is missing, builds an optimised tree with the benchmarks and
# runs them. Pass a benchmark's name to run only that one. At the end the
# figures the benchmarks mark (lines starting "figure |"), each beside its
# floor or baseline from the same run, are gathered in one table.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
root=$(zarvex_root)
# bench_discovery and bench_idle run their own avahi-daemon in a network of
# their own and bench_discovery asks avahi-browse; the machine's daemon is
# installed but never started.
zarvex_install_unstarted avahi-daemon avahi-utils dbus-daemon
# bench_web drives headless Chromium with Selenium.
zarvex_install "${ZARVEX_PACKAGES[@]}" pkg-config libbenchmark-dev liblz4-dev zlib1g-dev iproute2 \
  chromium chromium-driver python3-selenium
zarvex_build "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DZARVEX_TESTS=OFF -DZARVEX_BENCH=ON
cd "$root/build-bench/bench"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for bench in ${1:-bench_*}; do
  [ -f "$bench" ] && [ -x "$bench" ] || continue
  echo "== $bench"
  QT_QPA_PLATFORM=offscreen "./$bench" 2>&1 | tee -a "$log"
done
if grep -q '^figure |' "$log"; then
  echo
  echo "== The figures, each beside its floor or baseline of this run ($(uptime | sed 's/.*load/load/'))"
  grep '^figure |' "$log" | sed 's/^figure | //' | awk -F' [|] ' '{ printf "%-72s %s\n", $1, $2 }'
fi
