#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Safe to run again: it only calls apt-get when something is not installed yet.
# Options add the packages of optional work: --fuzz (clang and libFuzzer),
# --bench (the peer library the benchmarks compare with), --gui-check (a virtual
# X server and screenshots, for looking at the program as a person would),
# --package (the tools `cpack -G DEB` uses to find the package's dependencies).
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-base-private-dev qt6-charts-dev libqt6opengl6-dev
)
for option in "$@"; do
    case "$option" in
        --fuzz) packages+=(clang libclang-rt-14-dev) ;;
        --bench) packages+=(libfann-dev) ;;
        --gui-check) packages+=(xvfb xauth imagemagick) ;;
        --package) packages+=(dpkg-dev file) ;;
        *) echo "install-deps.sh: unknown option $option" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
