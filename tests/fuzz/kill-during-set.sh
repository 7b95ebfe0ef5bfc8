#!/usr/bin/env bash
# Crash safety of card writes: "borvessa-card set" is killed with SIGKILL at
# random moments while it rewrites a card, ROUNDS times. After every round the
# card must decrypt and load, holding either the old or the new content.
#
# usage: kill-during-set.sh BORVESSA-CARD CARD-FILE [ROUNDS]
set -euo pipefail

tool=$1
source_card=$2
rounds=${3:-200}
line=351

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
card=$work/Card.qcf
cp "$source_card" "$card"

# Everything but the line that changes stays as it was.
"$tool" decrypt "$card" | sed "${line}d" > "$work/rest"
current=$("$tool" get "$card" "$line")

# How long one undisturbed write takes, in microseconds.
start=$(date +%s%N)
"$tool" set "$card" "$line" "0,Address,timing run"
duration=$(( ($(date +%s%N) - start) / 1000 ))
current="0,Address,timing run"

killed=0
written=0
for round in $(seq 1 "$rounds"); do
    wanted="0,Address,round $round $RANDOM$RANDOM"
    # Kills land anywhere from start-up to the end of the write.
    delay=$(( duration * (10 + RANDOM % 90) / 100 ))
    "$tool" set "$card" "$line" "$wanted" &
    pid=$!
    sleep "$(printf '0.%06d' "$delay")"
    if kill -KILL "$pid" 2>/dev/null; then
        killed=$((killed + 1))
    fi
    wait "$pid" 2>/dev/null || true

    if ! "$tool" check "$card" >/dev/null; then
        echo "round $round: the card no longer loads" >&2
        exit 1
    fi
    if ! "$tool" decrypt "$card" | sed "${line}d" | cmp -s - "$work/rest"; then
        echo "round $round: lines other than $line changed" >&2
        exit 1
    fi
    got=$("$tool" get "$card" "$line")
    if [ "$got" != "$current" ] && [ "$got" != "$wanted" ]; then
        echo "round $round: line $line holds \"$got\", neither old nor new content" >&2
        exit 1
    fi
    [ "$got" = "$wanted" ] && written=$((written + 1))
    current=$got
    # A kill can leave the writer's temporary file beside the card; it is
    # never taken for the card itself.
    find "$work" -maxdepth 1 -name 'Card.qcf.*' -delete
done
echo "kill loop: $rounds rounds, $killed writers killed before they ended," \
     "$written cards with the new content, the others with the old; every card intact"
