#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need: those of
# `make test` and `make probe` without an argument, those of the Windows
# program (`make mingw`) with `mingw`. As root it runs apt-get itself;
# otherwise it prints the command to run and fails.
set -euo pipefail

case "${1:-test}" in
test)
packages=(
    cmake make g++ pkg-config python3
    libgtest-dev
    libdevil-dev
    wine wine64 wine64-tools libwine-dev
    # What Wine loads at run time: OpenGL on Mesa (llvmpipe without a GPU)
    # for Direct3D, and the X extensions of its X11 driver. Debian only
    # recommends them, and recommendations are not installed here.
    libgl1 libglx-mesa0 libgl1-mesa-dri
    libxcomposite1 libxcursor1 libxi6 libxinerama1 libxrandr2 libxrender1
    xvfb xauth xdotool x11-utils
)
;;
mingw)
packages=(
    cmake make python3
    # The cross compiler and its binutils (windres, dlltool, objdump) for
    # Windows x86_64; DevIL's headers serve the Windows build as they are.
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    libdevil-dev
)
;;
*)
    echo "usage: $0 [mingw]" >&2
    exit 2
;;
esac

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

[[ ${#missing[@]} -eq 0 ]] && exit 0

cmd="apt-get install -y --no-install-recommends ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
    echo "Missing Debian packages: ${missing[*]}" >&2
    echo "Run as root:  apt-get update && $cmd" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
$cmd
