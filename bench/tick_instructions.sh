#!/usr/bin/env bash
# Instructions per supervision tick of the portable core, eight connected stations, counted by callgrind.
# Usage: bench/tick_instructions.sh [native build folder]   (made by scripts/test; needs valgrind)
set -euo pipefail
build=${1:-$(dirname "$0")/../build/native}
count() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$build/tick_instructions" "$1" 2>&1 |
        sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}
few=$(count 100)
many=$(count 1100)
echo "instructions per tick, eight connected stations: $(( (many - few) / 1000 ))"
