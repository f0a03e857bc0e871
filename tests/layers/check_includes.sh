#!/usr/bin/env bash
# Fails when a file includes a header of a layer above its own. The layers
# are the folders under src/, from the bottom (the build passes them in
# the order of its libraries). Tests of a layer may use that layer, the
# ones below it and the shared test helpers.
# Usage: check_includes.sh <source root> <layer folder>...
set -euo pipefail
root="${1:?usage: check_includes.sh <source root> <layer folder>...}"
shift
(($# > 0)) || { echo "no layers given" >&2; exit 2; }
cd "$root"

layers=("$@")
status=0
for ((i = 0; i < ${#layers[@]}; i++)); do
    layer=${layers[i]}
    allowed="${layers[*]:0:i+1}"
    for dir in "src/$layer" "tests/$layer"; do
        [ -d "$dir" ] || continue
        while IFS=: read -r file line include; do
            target=${include#*\"}
            target=${target%%/*}
            case " $allowed common " in
            *" $target "*) ;;
            *)
                # Generated form headers (ui_Name.h) have no folder.
                [[ $target == ui_*.h ]] && continue
                echo "$file:$line: the $layer layer includes \"${include#*\"}, a layer above it"
                status=1
                ;;
            esac
        done < <(grep -rn -E '^#include "[^"]*/' "$dir" --include='*.h' --include='*.cpp' || true)
    done
done
exit $status
