#!/usr/bin/env bash
# Installs what building and testing Vantrel needs on Debian 12, when it is missing.
# As root it installs with apt-get; otherwise it prints the one command to run.
#
#   scripts/setup.sh            building and running
#   scripts/setup.sh --test     and the desktop validators, ser2net, bash-completion and zsh
#                               the tests run
#   scripts/setup.sh --package  and what building and checking the .deb packages needs
#   scripts/setup.sh --fuzz     and clang with libFuzzer
set -euo pipefail

# lld links the sixty test programs in a fraction of the time of the default linker.
packages=(cmake ninja-build g++ make pkg-config qt6-base-dev qt6-serialport-dev libgl-dev
          lld xvfb xauth fonts-dejavu-core)
case "${1:-}" in
    --test) packages+=(desktop-file-utils appstream ser2net bash-completion zsh) ;;
    --package) packages+=(dpkg-dev file lintian) ;;
    --fuzz) packages+=(clang libclang-rt-14-dev) ;;
    "") ;;
    *) echo "usage: scripts/setup.sh [--test|--package|--fuzz]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
    echo "Vantrel needs these Debian packages: ${missing[*]}" >&2
    echo "Install them with:" >&2
    echo "    sudo apt-get install ${missing[*]}" >&2
    exit 1
fi
