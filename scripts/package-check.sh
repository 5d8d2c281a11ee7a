#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the Debian packages `make package` built with lintian: fails on any error or warning,
# and prints the informational tags too.
#
#   scripts/package-check.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: scripts/package-check.sh BUILD_DIR}
version=$(sed -n 's/^project(Vantrel VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../CMakeLists.txt")
packages=()
for name in vantrel vantrelctl vantrel-board; do
    deb=("$build/${name}_${version}-"*_*.deb)
    [[ -f "${deb[0]}" ]] || { echo "no package $name $version in $build" >&2; exit 1; }
    packages+=("${deb[0]}")
done
if ! command -v lintian >/dev/null; then
    echo "lintian is not installed (scripts/setup.sh --package installs it)" >&2
    exit 1
fi
lintian --fail-on error,warning --info --display-info "${packages[@]}"
echo "lintian: no error and no warning in ${packages[*]##*/}"
