#!/usr/bin/env bash
# check-layers.sh: fails on a project include that reaches up or sideways in the layer order
#   db (engine <- security; engine <- dataset, filter) <- core <- store <- run <- list, edit, chart, exchange
#   core <- ui <- run/ui, list/ui, edit/ui, chart/ui, exchange/ui <- package <- app
# The build already hides the headers of targets a target does not link; this check also covers
# the folders inside one target and says in one line what is wrong.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top/src"

logic='host/db/|host/core/|store/|run/[^/]*$'
# The folders a file in `$1` (its folder under src/) may include from, as one extended regex.
allowed()
{
    local part
    case "$1" in
    host/db/engine) echo '^host/db/engine/' ;;
    host/db/security) echo '^host/db/(engine|security)/' ;;
    host/db/dataset | host/db/filter) echo '^host/db/(engine|dataset|filter)/' ;;
    host/core) echo '^host/(db|core)/' ;;
    host/ui) echo '^host/(db|core|ui)/' ;;
    store) echo '^(host/(db|core)/|store/)' ;;
    run) echo "^($logic)" ;;
    run/ui) echo "^($logic|host/ui/|run/ui/)" ;;
    list | edit | chart | exchange) echo "^($logic|$1/[^/]*\$)" ;;
    list/ui | edit/ui | chart/ui | exchange/ui)
        part=${1%/ui}
        echo "^($logic|host/ui/|$part/)" ;;
    package) echo '^(host/|store/|run/|list/|edit/|chart/|exchange/|package/)' ;;
    app/common) echo '^(host/(db|core)/|store/|app/common/)' ;;
    app/cli | app) echo "^($logic|(list|edit|chart|exchange)/[^/]*\$|app/(common|cli)/)" ;;
    app/gui) echo '^(host/|store/|app/(common|gui)/)' ;;
    *) echo "" ;;
    esac
}

status=0
while IFS= read -r file; do
    folder=$(dirname "$file")
    rule=$(allowed "$folder")
    # The windows' main may also use the widgets and their delegate.
    [ "$file" = app/corvane_main.cpp ] && rule='^(host/|store/|app/(common|gui)/)'
    if [ -z "$rule" ]; then
        echo "src/$file: folder $folder has no place in the layer order" >&2
        status=1
        continue
    fi
    while IFS=: read -r line target; do
        if ! [[ "$target" =~ $rule ]]; then
            echo "src/$file:$line: includes \"$target\", which $folder may not use" >&2
            status=1
        fi
    done < <(grep -n '^#include "' "$file" | sed 's/^\([0-9]*\):#include "\([^"]*\)".*/\1:\2/')
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)
[ $status -eq 0 ] && echo "layers: every include goes down the layer order"
exit $status
