# Shared by scripts/run and scripts/test: install what is missing, configure
# and build into out/.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${TORVANE_BUILD_DIR:-$ROOT/out}"

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  libjpeg62-turbo-dev liblz4-dev
  xvfb xauth xdotool x11-utils openbox
  avra srecord ccache poppler-utils
  as31  # only the reference the 8051 opcode test compares with
  qt6-translations-l10n librsvg2-bin desktop-file-utils
  dpkg-dev file lintian
)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  # With recommended packages, as the suite was run here: Qt's platform plugins
  # and Xvfb's helpers arrive that way.
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

configure_and_build() {
  if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
  cmake --build "$BUILD_DIR" -j "${TORVANE_JOBS:-2}"
}
