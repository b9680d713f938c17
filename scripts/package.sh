#!/usr/bin/env bash
# Builds the Debian package of the game in a clean build folder and names the
# file it made. The home page comes from ZARVEX_HOMEPAGE in the environment
# when it is set there, otherwise from the top CMakeLists.txt.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
root=$(zarvex_root)
# dpkg-shlibdeps finds the libraries the programs need; CPack uses file.
zarvex_install "${ZARVEX_PACKAGES[@]}" dpkg-dev file
dir=$root/build-package
rm -rf "$dir"
options=(-DCMAKE_BUILD_TYPE=Release -DZARVEX_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr)
[ -n "${ZARVEX_HOMEPAGE:-}" ] && options+=("-DZARVEX_HOMEPAGE=$ZARVEX_HOMEPAGE")
zarvex_build "$dir" "${options[@]}"
(cd "$dir" && cpack -G DEB >cpack.log) || { cat "$dir/cpack.log"; exit 1; }
debs=("$dir"/zarvex_*.deb)
[ -f "${debs[0]}" ] || { echo "No package was made" >&2; exit 1; }
echo "${debs[0]}"
