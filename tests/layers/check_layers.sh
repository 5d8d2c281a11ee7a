#!/usr/bin/env bash
# Fails when a file includes a project header from a layer above its own.
#   protocol  <- serial <- engine <- panels, app
#   protocol  <- serial <- transport (the ports' transports; only the programs' main files use it)
#   protocol  <- picture <- panels, app
#   protocol  <- display <- board, ctl, panels, app (the board's display model: memory, fonts,
#                           commands, the lit glass)
#   protocol, display <- board (the virtual board shares the wire facts and the display model,
#                                nothing else of the program)
#   protocol, serial, engine, picture, display <- ctl (the command line vantrelctl)
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
    [src/picture]="protocol picture"
    [src/display]="protocol display"
    [board]="protocol display board"
    [src/ctl]="protocol serial engine picture display ctl"
)
status=0
for layer in "${!allowed[@]}"; do
    while IFS= read -r line; do
        file=${line%%:*}
        header=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$line")
        top=${header%%/*}
        [[ "$header" == "Version.h" ]] && continue
        # A program's main file picks the transports it hands to the session.
        [[ "$top" == "transport" && "$file" == */main.cpp ]] && continue
        ok=0
        for a in ${allowed[$layer]} system; do [[ "$top" == "$a" ]] && ok=1; done
        if [[ $ok -eq 0 ]]; then
            echo "$file includes $header, above its layer ($layer may use: ${allowed[$layer]})"
            status=1
        fi
    done < <(grep -rn --include='*.h' --include='*.cpp' '#include "' "$layer" || true)
done
[[ $status -eq 0 ]] && echo "layers: every include points down"
exit $status
