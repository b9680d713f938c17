# Shared set-up of the README's commands: installs the Debian packages the
# build needs and builds the project. Sourced, not run.

# Everything a fresh Debian 12 machine lacks to build, test and play.
ZARVEX_PACKAGES=(
  g++ cmake ninja-build
  qt6-base-dev qt6-multimedia-dev libgl-dev
  fonts-dejavu-core fonts-liberation2
)

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
