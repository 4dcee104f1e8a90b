#!/bin/sh
# hvcutil refvalues against the embedded sandbox: the fault vocabulary in the
# service's order, exact checks answered with exit 0 or 3, misuse refused.
set -u
hvcutil="$1"
fail=0

out=$("$hvcutil" --sandbox refvalues list fault 2>/dev/null)
status=$?
[ "$status" -eq 0 ] || { echo "refvalues list fault exited $status"; fail=1; }
expected="Normal
Reverse
Thrust
Strike-slip
Oblique-slip
Growth
Listric
Transfer
Antithetic
Synthetic
Detachment
Inverted"
[ "$out" = "$expected" ] || { printf 'refvalues list fault gave:\n%s\n' "$out"; fail=1; }

out=$("$hvcutil" --sandbox refvalues list horizon 2>/dev/null | sed -n '7p')
[ "$out" = "Maximum flooding surface" ] || { printf 'seventh horizon class: %s\n' "$out"; fail=1; }

# check KIND VALUE -- expected output and status
check() {
    out=$("$hvcutil" --sandbox refvalues check "$1" "$2" 2>/dev/null)
    status=$?
    [ "$status" -eq "$4" ] && [ "$out" = "$3" ] ||
        { printf 'refvalues check %s "%s": "%s", status %s\n' "$1" "$2" "$out" "$status"; fail=1; }
}
check fault Listric valid 0
check fault listric "not valid" 3
check horizon "Sequence boundary" valid 0
check horizon "Sequence Boundary" "not valid" 3
check property Azimuth valid 0
check property Normal "not valid" 3

for args in "" "list" "list rock" "check fault" "show fault" "list fault extra"; do
    # shellcheck disable=SC2086
    err=$("$hvcutil" refvalues $args 2>&1 >/dev/null)
    status=$?
    [ "$status" -eq 2 ] && [ "$err" = "usage: hvcutil refvalues list property|horizon|fault | check property|horizon|fault VALUE" ] ||
        { printf 'refvalues %s: status %s, "%s"\n' "$args" "$status" "$err"; fail=1; }
done
exit $fail
