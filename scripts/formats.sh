#!/usr/bin/env bash
# Makes the format reference (docs/formats.md) and the XML schemas
# (docs/schema/*.xsd) again from the game's tables, with the game built in
# build/ (scripts/formats.sh builds it first). A test fails while they differ
# from what the program prints.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build >/dev/null
cmake --build build -j2 --target umbrane >/dev/null
umbrane=build/game/umbrane
mkdir -p docs/schema
"$umbrane" --formats >docs/formats.md
rm -f docs/schema/*.xsd
for name in $("$umbrane" --schema 2>&1 | sed -n 's/^usage: .*one of: *//p'); do
    "$umbrane" --schema "$name" >"docs/schema/$name.xsd"
done
echo "docs/formats.md and docs/schema/*.xsd made again"
