# Shared by run.sh, test.sh and scripts/fuzz.sh: install what is missing,
# then configure and build. Sourced, not run.

SECTOR_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qtbase5-dev zlib1g-dev libqt5serialport5-dev libqt5svg5-dev libgl-dev
  xvfb xauth fonts-wqy-microhei poppler-utils qttranslations5-l10n
  iproute2 util-linux
  # the Debian package (target package) and its tests: dpkg-shlibdeps, the
  # file types CPack asks `file` for, the menu entry and project file type
  dpkg-dev file desktop-file-utils shared-mime-info libglib2.0-bin libxml2-utils
)
# ./test.sh --sanitize: gcc's AddressSanitizer and UndefinedBehaviorSanitizer
# runtimes.
SECTOR_SANITIZE_PACKAGES=(libasan8 libubsan1)
# ./test.sh --qt6, ./run.sh --qt6: the same sources against Qt 6 (QOpenGLWidget
# lives in its own module there; Qt's Chinese catalogue in its own package).
SECTOR_QT6_PACKAGES=(
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-svg-dev libqt6opengl6-dev
  qt6-translations-l10n
)
# scripts/fuzz.sh: clang with libFuzzer and the sanitizer runtimes, and the
# symbolizer for readable stacks.
SECTOR_FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev llvm-14)

# The packages given (the base set when none) that are not installed.
sector_missing_packages() {
  local missing=() p
  [ $# -gt 0 ] || set -- "${SECTOR_PACKAGES[@]}"
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  echo "${missing[@]:-}"
}

# sector_install [sanitize|fuzz|qt6]: the base set, plus what the mode needs.
sector_install() {
  local missing wanted=("${SECTOR_PACKAGES[@]}")
  case "${1:-}" in
    sanitize) wanted+=("${SECTOR_SANITIZE_PACKAGES[@]}") ;;
    fuzz) wanted+=("${SECTOR_FUZZ_PACKAGES[@]}") ;;
    qt6) wanted+=("${SECTOR_QT6_PACKAGES[@]}") ;;
  esac
  missing=$(sector_missing_packages "${wanted[@]}")
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

# sector_build [DIR [CMAKE-OPTIONS...] [-- TARGETS...]]: configure DIR (build/
# by default) once with the options, then build it, or only the targets.
sector_build() {
  local root dir=${1:-build} options=() targets=()
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  [ $# -gt 0 ] && shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do options+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  targets=("$@")
  if [ ! -f "$root/$dir/build.ninja" ]; then
    cmake -S "$root" -B "$root/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      "${options[@]}" >/dev/null
  fi
  cmake --build "$root/$dir" -j "$(nproc)" ${targets[@]:+--target "${targets[@]}"}
}

# The sanitizers' settings for every run of a sanitized program: stop at the
# first error, leak reports without Qt's own allocations.
sector_sanitizer_env() {
  local root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
  export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan-qt.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
}
