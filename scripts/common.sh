# shellcheck shell=bash
# Sourced by scripts/test and scripts/run: settings both share.

vantrel_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The win64 build (tests and the run command) fetches its first update page from a loopback
# server the e2e fixtures start on this fixed port; nothing listens there otherwise, so the
# update check fails fast and start-up goes on.
VANTREL_TEST_UPDATE_PORT=38917
VANTREL_TEST_UPDATE_URL="http://127.0.0.1:${VANTREL_TEST_UPDATE_PORT}/vtrq.txt"

# Build directory of a preset. VANTREL_BUILD_PREFIX="build/me-" gives build/me-<preset>
# (parallel work in one tree); the default is the preset's own build/<preset>.
vantrel_build_dir() {
  if [ -n "${VANTREL_BUILD_PREFIX:-}" ]; then
    echo "$vantrel_root/${VANTREL_BUILD_PREFIX}$1"
  else
    echo "$vantrel_root/build/$1"
  fi
}

# Installs missing Debian packages and the MinGW libjpeg (both idempotent and quick when done).
vantrel_ensure_deps() {
  "$vantrel_root/scripts/install-deps" && "$vantrel_root/scripts/build-deps"
}

# Configures preset $1 into its build directory (extra cmake arguments follow).
vantrel_configure() {
  local preset=$1
  shift
  local extra=()
  [ "$preset" = win64 ] && extra+=("-DVANTREL_UPDATE_URL=$VANTREL_TEST_UPDATE_URL")
  cmake --preset "$preset" -B "$(vantrel_build_dir "$preset")" "${extra[@]}" "$@"
}

# Builds preset $1 (extra arguments, e.g. --target Vantrel, follow).
vantrel_build() {
  cmake --build "$(vantrel_build_dir "$1")" -j "$(nproc)" "${@:2}"
}
