# Sourced by shell scripts: start_sandbox HVC_SANDBOX [ARGS...] starts the
# hvc-sandbox program with its installation root in a new temporary folder
# (and the further arguments), waits until it is ready, exports HVC_HOME, and
# stops it and removes the folder when the shell exits. The folder is
# $sandboxDir; callers may keep scratch files there.
start_sandbox() {
    sandboxExe="$1"
    shift
    sandboxDir=$(mktemp -d /tmp/hvc-sandbox-XXXXXX)
    "$sandboxExe" --home "$sandboxDir/root" "$@" >"$sandboxDir/ready" 2>/dev/null &
    sandboxPid=$!
    trap 'kill $sandboxPid 2>/dev/null; wait $sandboxPid 2>/dev/null; rm -rf "$sandboxDir"' EXIT
    tries=0
    until grep -q "hvc-sandbox ready" "$sandboxDir/ready" 2>/dev/null; do
        tries=$((tries + 1))
        [ $tries -lt 100 ] || { echo "hvc-sandbox did not start" >&2; return 1; }
        sleep 0.1
    done
    export HVC_HOME="$sandboxDir/root"
}
