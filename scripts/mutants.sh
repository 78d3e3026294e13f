#!/usr/bin/env bash
# The mutation check: plants each fault of scripts/mutants.table, one at a time, in a build of
# its own (build-mutants/), builds incrementally, runs the whole suite, and prints whether a test
# caught it. Every fault in the table must be caught; the script fails when one is not, or when a
# table entry no longer matches the code it was written for. Not run by CI: it takes a while.
#
#   bash scripts/mutants.sh            # every fault
#   bash scripts/mutants.sh checksum   # only the faults whose name contains "checksum"
set -euo pipefail
cd "$(dirname "$0")/.."
only=${1:-}
build=${ZQ8_MUTANTS_BUILD_DIR:-build-mutants}
jobs=$(nproc)

bash scripts/setup.sh >/dev/null
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWITH_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$jobs" >/dev/null

# The table: one fault per record of four lines (name, file, the exact text, its replacement),
# records separated by a blank line; lines starting with ";;" are comments. In both texts \n
# stands for a line end. The text must stand exactly once in the file.
table=$(dirname "$0")/mutants.table

planted=""
restore() {
    if [ -n "$planted" ]; then
        cp "$build/original" "$planted"
        planted=""
    fi
}
trap restore EXIT

# Replaces the one occurrence of $2 in file $1 by $3 (in both, \n stands for a line end); fails
# when $2 does not stand exactly once.
plant() {
    python3 - "$1" "$2" "$3" <<'EOF'
import sys
path, old, new = sys.argv[1:4]
# Either text may span lines, written with \n.
old, new = old.replace("\\n", "\n"), new.replace("\\n", "\n")
text = open(path, encoding="utf-8").read()
count = text.count(old)
if count != 1:
    sys.exit(f"{path}: the text stands {count} times, not once: {old!r}")
open(path, "w", encoding="utf-8").write(text.replace(old, new))
EOF
}

caught=0
missed=0
stale=0
results=()
while IFS= read -r name && IFS= read -r file && IFS= read -r old && IFS= read -r new; do
    IFS= read -r _ || true
    if [ -n "$only" ] && [[ "$name" != *"$only"* ]]; then
        continue
    fi
    cp "$file" "$build/original"
    planted=$file
    if ! plant "$file" "$old" "$new"; then
        restore
        results+=("STALE   $name")
        echo "STALE   $name"
        stale=$((stale + 1))
        continue
    fi
    if ! cmake --build "$build" -j"$jobs" >"$build/mutant.log" 2>&1; then
        outcome="STALE   $name (does not build)"
        stale=$((stale + 1))
    elif (cd "$build" && ctest -j"$jobs" --timeout 300 --stop-on-failure >"mutant-tests.log" 2>&1); then
        outcome="MISSED  $name"
        missed=$((missed + 1))
    else
        failed=$(grep -m1 -oE '[0-9]+ - [^ ]+ \(Failed|[0-9]+ - [^ ]+ \(Timeout|[0-9]+ - [^ ]+ \(SEGFAULT|[0-9]+ - [^ ]+ \(Subprocess' \
            "$build/mutant-tests.log" | sed 's/ (.*//;s/^[0-9]* - //' || true)
        outcome="caught  $name${failed:+  ($failed)}"
        caught=$((caught + 1))
    fi
    restore
    results+=("$outcome")
    echo "$outcome"
done < <(grep -v '^;;' "$table")

# The build goes back to the code as it stands.
cmake --build "$build" -j"$jobs" >/dev/null

echo
echo "== $caught caught, $missed missed, $stale stale of $((caught + missed + stale)) planted faults"
printf '%s\n' "${results[@]}" | grep -v '^caught' || true
[ "$missed" = 0 ] && [ "$stale" = 0 ]
