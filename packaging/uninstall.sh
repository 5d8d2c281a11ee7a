#!/usr/bin/env bash
# Removes the files an install manifest lists (one path a line, the last one maybe without a
# line end), as `make uninstall` does. Folders stay: others may share them.
#   packaging/uninstall.sh MANIFEST
set -euo pipefail
manifest=${1:?usage: packaging/uninstall.sh MANIFEST}
while IFS= read -r file || [[ -n "$file" ]]; do
    if [[ -n "$file" ]]; then
        rm -fv -- "$file"
    fi
done <"$manifest"
