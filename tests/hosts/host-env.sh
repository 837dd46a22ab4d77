# Sourced by the real-host checks: a home folder of their own (removed at exit), the plug-in bundles
# copied into it, and helpers. Each script lists what it runs in REQUIRED before sourcing this; when
# one of them is not installed it exits with 77, ctest's "skipped".
set -euo pipefail
for tool in "${REQUIRED[@]}"; do
    command -v "$tool" > /dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done

WORK="$(mktemp -d)"
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
mkdir -p "$HOME/.config"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2> /dev/null || true; done
    for p in "${pids[@]}"; do wait "$p" 2> /dev/null || true; done
    rm -rf "$WORK"
}
trap cleanup EXIT

# start_jack: a JACK server of its own (a name no musician's server has, the dummy driver, no
# real-time), which the clients started from this script then use.
start_jack() {
    export JACK_DEFAULT_SERVER="kelvo-test-$$"
    jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 1024 > "$WORK/jackd.log" 2>&1 &
    pids+=($!)
    jack_wait -w -t 10 > /dev/null || { echo "the JACK server did not start:"; cat "$WORK/jackd.log"; exit 1; }
}
