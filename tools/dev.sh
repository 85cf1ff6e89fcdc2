#!/usr/bin/env bash
# One entry for a fresh Debian 12 machine: installs what is missing from
# tools/debian-packages.txt, configures, builds, then runs the program or the tests.
#   tools/dev.sh run     build and start the program
#   tools/dev.sh test    build and run every test
# Run it as root or through sudo; a second run installs nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { echo "usage: $0 run|test" >&2; exit 2; }
[ $# -ge 1 ] || usage
action=$1; shift

install_missing() {
    local missing=() pkg
    while read -r pkg; do
        [ -n "$pkg" ] || continue
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done < <(grep -v -E '^[[:space:]]*(#|$)' tools/debian-packages.txt)
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local elevate=()
    [ "$(id -u)" -eq 0 ] || elevate=(sudo)
    "${elevate[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${elevate[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

# Under sudo, build and run as the user who asked, so that the build tree
# and the program's settings belong to them and not to root.
as_user() {
    if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ]; then
        runuser -u "$SUDO_USER" -- "$@"
    else
        "$@"
    fi
}

build() {
    as_user cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    as_user cmake --build build -j2
}

case $action in
    run)
        install_missing
        build
        as_user build/quelm
        ;;
    test)
        install_missing
        build
        as_user ctest --test-dir build --output-on-failure -j2
        ;;
    *) usage ;;
esac
