#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Safe to run again: it only calls apt-get when something is not installed yet.
# It assumes a Debian 12 machine with nothing but git and make: as root it installs
# directly, otherwise through sudo.
# Options add the packages of optional work: --fuzz (clang and libFuzzer),
# --bench (the peer library the benchmarks compare with), --gui-check (a virtual
# X server and screenshots, for looking at the program as a person would),
# --package (the tools `cpack -G DEB` uses to find the package's dependencies),
# --fresh-machine-check (what scripts/check-fresh-machine.sh needs on the machine
# that runs it: debootstrap, a virtual X server and the package checkers),
# --examples (the data files scripts/make-examples.py makes the iris and digits
# examples from).
set -euo pipefail

# locales: the sources of the de_DE locale, from which the tests build a locale whose
# decimal point is a comma, to show that no number depends on the process locale.
packages=(
    cmake g++ make pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-base-private-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev
    locales
)
for option in "$@"; do
    case "$option" in
        --fuzz) packages+=(clang libclang-rt-14-dev) ;;
        --bench) packages+=(libfann-dev) ;;
        --gui-check) packages+=(xvfb xauth imagemagick) ;;
        --package) packages+=(dpkg-dev file) ;;
        --examples) packages+=(python3-sklearn) ;;
        --fresh-machine-check)
            packages+=(debootstrap xvfb xauth x11-utils imagemagick lintian appstream desktop-file-utils)
            ;;
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

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        cat >&2 <<MESSAGE
install-deps.sh: these Debian packages are missing: ${missing[*]}
Installing them needs root, and this machine has no sudo. Install them as root
with root's password, from this folder:
    su -c '$0${*:+ $*}'
then run the make command again as yourself. (Or install sudo once as root:
su -c 'apt-get install sudo && adduser $(id -un) sudo', and log in again.)
MESSAGE
        exit 1
    fi
    sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
