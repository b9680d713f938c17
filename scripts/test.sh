#!/usr/bin/env bash
# Installs what is missing, builds the game and its tests with
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs the whole suite.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
root=$(zarvex_root)
# The network tests start a multicast DNS daemon and a D-Bus bus of their own
# inside a network namespace of their own (tests/support/mdnsdaemon.h):
# avahi-daemon and what it pulls in (the system bus) are installed first,
# with their starts blocked, so the machine's own daemon never runs.
zarvex_install_unstarted avahi-daemon dbus-daemon iproute2
# The check of the installed tree validates it with these; the page's tests
# run on Node; the browser test drives Debian's Chromium with Selenium (from
# /usr/bin/python3), and the QR code is read back with zbarimg.
zarvex_install "${ZARVEX_PACKAGES[@]}" desktop-file-utils appstream man-db nodejs \
  chromium chromium-driver python3-selenium zbar-tools
zarvex_build "$root/build-test" -DCMAKE_BUILD_TYPE=Debug -DZARVEX_SANITIZE=ON -DZARVEX_TESTS=ON
cd "$root/build-test"
ctest --output-on-failure --parallel "$(nproc)" "$@"
