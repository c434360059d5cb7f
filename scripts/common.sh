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
  # The Windows build: mingw-w64 (posix threads), GoogleTest's sources for
  # the target, and wine to run what it built.
  g++-mingw-w64-x86-64-posix googletest wine wine64
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

WINDOWS_BUILD_DIR="$BUILD_DIR/windows"

# The cross build for Windows: engines, Pelorin.dll, torvane-cli and their
# suites. Release: debug information makes the statically linked test
# programs several times larger and slower to link.
configure_and_build_windows() {
  if [ ! -f "$WINDOWS_BUILD_DIR/build.ninja" ]; then
    cmake -S "$ROOT" -B "$WINDOWS_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake"
  fi
  cmake --build "$WINDOWS_BUILD_DIR" -j "${TORVANE_JOBS:-2}"
}

# Runs the Windows suites under wine, in a wine prefix of the build's own,
# with one wine server kept up for the whole run and stopped afterwards.
run_windows_tests() {
  export WINEPREFIX="$WINDOWS_BUILD_DIR/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  unset DISPLAY
  wineserver -p
  # Start wine's own services now, away from ctest: started on demand by a
  # test they would inherit its output and keep ctest waiting for its end.
  wineboot --init >/dev/null 2>&1 </dev/null || true
  local rc=0
  (cd "$WINDOWS_BUILD_DIR" && ctest --output-on-failure -j "${TORVANE_JOBS:-2}" --timeout 120) || rc=$?
  wineserver -k || true
  return $rc
}

configure_and_build() {
  if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
  cmake --build "$BUILD_DIR" -j "${TORVANE_JOBS:-2}"
}
