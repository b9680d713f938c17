#!/usr/bin/env bash
# Installs what is missing, builds an optimised tree with the benchmarks and
# runs them. Pass a benchmark's name to run only that one.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
root=$(zarvex_root)
# bench_discovery runs its own avahi-daemon in a network of its own and asks
# avahi-browse; the machine's daemon is installed but never started.
zarvex_install_unstarted avahi-daemon avahi-utils dbus-daemon
# bench_web drives headless Chromium with Selenium.
zarvex_install "${ZARVEX_PACKAGES[@]}" pkg-config libbenchmark-dev liblz4-dev zlib1g-dev iproute2 \
  chromium chromium-driver python3-selenium
zarvex_build "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DZARVEX_TESTS=OFF -DZARVEX_BENCH=ON
cd "$root/build-bench/bench"
for bench in ${1:-bench_*}; do
  [ -f "$bench" ] && [ -x "$bench" ] || continue
  echo "== $bench"
  QT_QPA_PLATFORM=offscreen "./$bench"
done
