#!/usr/bin/env bash
# Fails when a file includes a project header from a layer above its own.
#   protocol  <- serial <- engine <- panels, app
#   protocol  <- serial <- transport (the ports' transports; only the programs' mains use them)
#   protocol, display <- picture <- panels, app (pictures of the glass are painted there)
#   protocol  <- display <- board, ctl, panels, app (the board's display model: memory, fonts,
#                           commands, the lit glass)
#   protocol, display, picture <- board (the virtual board shares the wire facts, the display
#                                model and its painting, nothing else of the program)
#   protocol, serial, engine, picture, display <- ctl (the command line vantrelctl)
#   transport, desktop <- a program's main.cpp (the front end chooses its transport and shows
#                         the windowed programs' icon; no library below the window uses them)
# QtWidgets is kept out of the lower layers by the build: their libraries do not link it.
set -euo pipefail
root=${1:-$(dirname "$0")/../..}
cd "$root"

declare -A allowed=(
    [src/protocol]="protocol"
    [src/system]="system"
    [src/serial]="protocol serial"
    [src/transport]="protocol serial transport"
    [src/engine]="protocol serial engine"
    [src/picture]="protocol display picture"
    [src/display]="protocol display"
    [src/desktop]="desktop"
    [board]="protocol display picture board"
    [src/ctl]="protocol serial engine picture display ctl"
)
status=0
for layer in "${!allowed[@]}"; do
    while IFS= read -r line; do
        file=${line%%:*}
        header=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$line")
        top=${header%%/*}
        [[ "$header" == "Version.h" ]] && continue
        ok=0
        frontEnd=""
        [[ "$file" == */main.cpp ]] && frontEnd="transport desktop"
        for a in ${allowed[$layer]} system $frontEnd; do [[ "$top" == "$a" ]] && ok=1; done
        if [[ $ok -eq 0 ]]; then
            echo "$file includes $header, above its layer ($layer may use: ${allowed[$layer]})"
            status=1
        fi
    done < <(grep -rn --include='*.h' --include='*.cpp' '#include "' "$layer" || true)
done
[[ $status -eq 0 ]] && echo "layers: every include points down"
exit $status
