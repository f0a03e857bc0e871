#!/usr/bin/env bash
# Fails when a file includes a header of a layer above its own. The layers,
# from the bottom: platform, text, settings, ui, game. Tests of a layer may
# use that layer, the ones below it and the shared test helpers.
set -euo pipefail
root="${1:?usage: check_includes.sh <source root>}"
cd "$root"

layers=(platform text settings ui game)
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
