# Shared set-up of the README's commands: installs the Debian packages the
# build needs and builds the project. Sourced, not run.

# Everything a fresh Debian 12 machine lacks to build, test and play.
# Finding games on the network also wants the Avahi daemon (avahi-daemon)
# running, as it does on most desktops; it is not installed here, because
# installing it starts it on every network interface, which a player's
# machine wants and a build or test machine must not do (scripts/test.sh
# installs it with its start blocked).
ZARVEX_PACKAGES=(
  g++ cmake ninja-build pkgconf
  qt6-base-dev qt6-multimedia-dev qt6-websockets-dev libgl-dev libavahi-client-dev libqrencode-dev
  fonts-dejavu-core fonts-liberation2
)

# Installs the packages that are missing, with every service start blocked
# while they install (Debian's policy-rc.d answering 101), so that a daemon
# among them, or among what they pull in, is installed but not started.
zarvex_install_unstarted() {
  local policy=/usr/sbin/policy-rc.d saved=
  if [ "$(id -u)" -eq 0 ]; then
    [ -e "$policy" ] && saved=$(mktemp) && cp -p "$policy" "$saved"
    printf '#!/bin/sh\n# Zarvex test set-up: no service starts while packages install.\nexit 101\n' >"$policy"
    chmod 755 "$policy"
  fi
  local status=0
  ( zarvex_install "$@" ) || status=$?
  if [ "$(id -u)" -eq 0 ]; then
    if [ -n "$saved" ]; then mv "$saved" "$policy"; else rm -f "$policy"; fi
  fi
  return $status
}

zarvex_root() {
  cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd
}

# Installs the packages that are missing; without root it names them and stops.
zarvex_install() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' \
      || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Zarvex needs these Debian packages: ${missing[*]}" >&2
    echo "Install them as root: apt-get install ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# zarvex_build BUILD_DIR [cmake options...]
zarvex_build() {
  local dir=$1; shift
  cmake -S "$(zarvex_root)" -B "$dir" -G Ninja "$@"
  cmake --build "$dir" --parallel "$(nproc)"
}
