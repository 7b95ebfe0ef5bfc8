#!/usr/bin/env bash
# Crash safety of card writes: "borvessa-card set" is killed with SIGKILL at
# random moments while it rewrites a card, ROUNDS times. After every round the
# card must decrypt and load, holding either the old or the new content.
#
# The writer runs under strace, which holds each of its writing system calls
# (write, the flushes, the link and the rename) for a while, so that most
# kills land while the new card is being written rather than while the tool
# starts. More than half of the writers must die mid-write.
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

# The writer, with each writing call held for 25 ms; -D makes the writer
# itself the process started here, so it is the one killed.
hold=25000
slowed=(strace -D -o /dev/null -e trace=write,fsync,fdatasync,linkat,rename,renameat,renameat2)
for call in write fsync fdatasync linkat rename renameat renameat2; do
    slowed+=(-e "inject=$call:delay_enter=$hold")
done
slowed+=("$tool")

# A sleep without starting a process: a read that times out on a pipe that
# nobody writes to.
exec {idle}<> <(:)
pause() { read -r -t "$(printf '%d.%06d' $(($1 / 1000000)) $(($1 % 1000000)))" -u "$idle" || true; }

# How long one write takes that way, in microseconds.
start=$(date +%s%N)
"${slowed[@]}" set "$card" "$line" "0,Address,timing run"
duration=$(( ($(date +%s%N) - start) / 1000 ))
current="0,Address,timing run"

killed=0
midwrite=0
written=0
for round in $(seq 1 "$rounds"); do
    wanted="0,Address,round $round $RANDOM$RANDOM"
    # Kills land anywhere from late in the start-up to the end of the write.
    # Just before the kill the writer is seen to be writing when it holds the
    # new card open (an unnamed file shows as "(deleted)") or has left it
    # beside the card under a temporary name; as each writing call is held
    # for a while, the kill lands in that same call.
    delay=$(( duration * (20 + RANDOM % 80) / 100 ))
    # strace notes a writer killed inside a held call; that is expected.
    "${slowed[@]}" set "$card" "$line" "$wanted" 2>/dev/null &
    pid=$!
    pause "$delay"
    if [ -d "/proc/$pid/fd" ]; then
        if ls -l "/proc/$pid/fd" 2>/dev/null | grep -q -E "$work/(Card\.qcf\.|.*\(deleted\))" \
           || [ -n "$(find "$work" -maxdepth 1 -name 'Card.qcf.*')" ]; then
            midwrite=$((midwrite + 1))
        fi
        kill -KILL "$pid" 2>/dev/null && killed=$((killed + 1))
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
echo "kill loop: $rounds rounds, $killed writers killed, $midwrite of them mid-write;" \
     "$written cards with the new content, the others with the old; every card intact"
if [ $((2 * midwrite)) -le "$rounds" ]; then
    echo "kill loop: only $midwrite of $rounds writers died mid-write" >&2
    exit 1
fi
