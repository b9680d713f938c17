#!/usr/bin/env bash
# Installs what is missing, builds the game and its tests with
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs the whole suite.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
root=$(zarvex_root)
# The check of the installed tree validates it with these.
zarvex_install "${ZARVEX_PACKAGES[@]}" desktop-file-utils appstream man-db iproute2
zarvex_build "$root/build-test" -DCMAKE_BUILD_TYPE=Debug -DZARVEX_SANITIZE=ON -DZARVEX_TESTS=ON
cd "$root/build-test"
ctest --output-on-failure --parallel "$(nproc)" "$@"
