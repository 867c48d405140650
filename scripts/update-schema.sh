#!/usr/bin/env bash
# update-schema.sh [corvane-iq] : writes the kept schema scripts in schema/ anew from the table
# definitions, with the given program (default: the release build's). A test fails while they
# differ from what the program prints.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$top/build/release/bin/corvane-iq}
# A script is replaced only once the program has printed it whole.
trap 'rm -f "$top"/schema/*/*.sql.new' EXIT
for engine in sqlite postgresql sqlserver; do
    mkdir -p "$top/schema/$engine"
    databases="payroll common"
    [ "$engine" = sqlite ] && databases="$databases credentials"
    for database in $databases; do
        "$program" schema --engine "$engine" --database "$database" \
            >"$top/schema/$engine/$database.sql.new"
        mv "$top/schema/$engine/$database.sql.new" "$top/schema/$engine/$database.sql"
    done
done
