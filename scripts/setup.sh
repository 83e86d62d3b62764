# Shared by run.sh and test.sh: install what is missing, then configure and
# build into build/. Sourced, not run.

SECTOR_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qtbase5-dev libqt5serialport5-dev libqt5opengl5-dev libqt5svg5-dev libgl-dev
  xvfb xauth fonts-wqy-microhei poppler-utils
  iproute2 util-linux
)

sector_missing_packages() {
  local missing=() p
  for p in "${SECTOR_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  echo "${missing[@]:-}"
}

sector_install() {
  local missing
  missing=$(sector_missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" != 0 ]; then
    echo "Missing packages. Run as root:"
    echo "  apt-get install -y $missing"
    exit 1
  fi
  echo "Installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $missing
}

sector_build() {
  local root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  if [ ! -f "$root/build/build.ninja" ]; then
    cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$root/build" -j "$(nproc)"
}
