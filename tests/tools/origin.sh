#!/bin/sh
# hvcutil key list and origin against the embedded sandbox: the sample keys,
# a fault segment's origin, hasSurvey answered with exit 0 or 3, refusals.
set -u
hvcutil="$1"
fail=0
export USERNAME=tester

out=$("$hvcutil" --sandbox key list 2>/dev/null)
status=$?
[ "$status" -eq 0 ] || { echo "key list exited $status"; fail=1; }
printf '%s\n' "$out" | grep -qx "$(printf 'hvc:Sandbox/F3 Demo/fault-F1-IL425\tEpiInterpretation::FaultSegment\tF1 on inline 425')" ||
    { printf 'key list lacks the inline 425 segment:\n%s\n' "$out"; fail=1; }
printf '%s\n' "$out" | grep -qx "$(printf 'hvc:Sandbox/F3 Demo/survey-F3\tEpiSeismic::SeismicGeometry3d\tF3 Block')" ||
    { printf 'key list lacks the survey:\n%s\n' "$out"; fail=1; }

err=$("$hvcutil" key list 2>&1 >/dev/null)
status=$?
[ "$status" -eq 2 ] && [ "$err" = "hvcutil: key list lists the sample objects of the sandbox; run it as hvcutil --sandbox key list" ] ||
    { printf 'key list without a sandbox: status %s, "%s"\n' "$status" "$err"; fail=1; }

out=$("$hvcutil" --sandbox origin show "hvc:Sandbox/F3 Demo/fault-F1-IL425" 2>/dev/null)
status=$?
expected="representation: F1 on inline 425
geometry: F3 Block (hvc:Sandbox/F3 Demo/survey-F3)
survey: inlines 100-750 step 1, crosslines 300-1250 step 1 on F3 Block Bin Grid
axis name: Inline
axis index: 425"
[ "$status" -eq 0 ] && [ "$out" = "$expected" ] ||
    { printf 'origin show of the inline 425 segment: status %s\n%s\n' "$status" "$out"; fail=1; }

out=$("$hvcutil" --sandbox origin show "hvc:Sandbox/F3 Demo/fault-F2-L2D-01" 2>/dev/null)
expected="representation: F2 on line L2D-01
geometry: Regional line L2D-01 (hvc:Sandbox/F3 Demo/line-L2D-01)
axis name: -
axis index: -"
[ "$out" = "$expected" ] || { printf 'origin show of the 2D segment:\n%s\n' "$out"; fail=1; }

# has-survey REPRESENTATION GEOMETRY -- expected answer and status
check() {
    out=$("$hvcutil" --sandbox origin has-survey "hvc:Sandbox/F3 Demo/$1" "hvc:Sandbox/F3 Demo/$2" 2>/dev/null)
    status=$?
    [ "$status" -eq "$4" ] && [ "$out" = "$3" ] ||
        { printf 'origin has-survey %s %s: "%s", status %s\n' "$1" "$2" "$out" "$status"; fail=1; }
}
check fault-F1-XL900 survey-F3 yes 0
check horizon-MFS4 line-L2D-01 yes 0
check horizon-FS8 line-L2D-01 no 3
check horizon-TopChalk-wells survey-F3 no 3

err=$("$hvcutil" --sandbox origin show "hvc:Sandbox/Demo/well-A1" 2>&1 >/dev/null)
status=$?
[ "$status" -eq 1 ] && [ "$err" = "hvcutil: hvc:Sandbox/Demo/well-A1 is no feature representation" ] ||
    { printf 'origin show of a well: status %s, "%s"\n' "$status" "$err"; fail=1; }
err=$("$hvcutil" --sandbox origin has-survey "hvc:Sandbox/F3 Demo/fault-F1" "hvc:Sandbox/F3 Demo/fault-F2" 2>&1 >/dev/null)
status=$?
[ "$status" -eq 1 ] && [ "$err" = "hvcutil: hvc:Sandbox/F3 Demo/fault-F2 is no seismic geometry" ] ||
    { printf 'has-survey of a fault: status %s, "%s"\n' "$status" "$err"; fail=1; }
err=$("$hvcutil" origin show 2>&1 >/dev/null)
status=$?
[ "$status" -eq 2 ] ||
    { printf 'origin show without a key: status %s, "%s"\n' "$status" "$err"; fail=1; }
exit $fail
