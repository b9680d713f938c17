#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it. Without arguments
# it starts a solo game; arguments are passed on (name, host address, "true"
# to host).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
root=$(zarvex_root)
zarvex_install "${ZARVEX_PACKAGES[@]}"
zarvex_build "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARVEX_TESTS=OFF
exec "$root/build/zarvex" "$@"
