#!/bin/sh
# hvcutil units, coord, ellipsoid and angle against the embedded sandbox:
# their outputs, failure lines and exit statuses.
set -u
hvcutil="$1"
fail=0
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT

# check EXPECTED ARGS...: standard output and exit status 0
check() {
    expected="$1"
    shift
    out=$("$hvcutil" --sandbox "$@" 2>/dev/null)
    status=$?
    [ "$status" -eq 0 ] || { echo "$* exited $status"; fail=1; }
    [ "$out" = "$expected" ] || { printf '%s gave:\n%s\n' "$*" "$out"; fail=1; }
}

check 3.048 units convert 10 ft m
check 0 units convert 32 degF degC
check 100 units convert 212 degF degC
check "637294.365894371 5762926.812914039 0.000000000" coord transform EPSG:4326 EPSG:32631 5 52
check "WGS84 a=6378137 rf=298.257223563 (WGS 84)" ellipsoid 6378137 6356752.314245
check "1.576265389 dega" angle 0 EPSG:4326 EPSG:32631 5 52

"$hvcutil" --sandbox units list 2>/dev/null | grep -q "^ftUS	US survey foot$" ||
    { echo "units list lacks the US survey foot"; fail=1; }

# refused EXPECTED ARGS...: the library's or the service's own text, exit 1
refused() {
    expected="$1"
    shift
    "$hvcutil" --sandbox "$@" >/dev/null 2>"$errors"
    status=$?
    err=$(tail -n 1 "$errors")
    [ "$status" -eq 1 ] || { echo "$* exited $status, not 1"; fail=1; }
    [ "$err" = "$expected" ] || { printf '%s said:\n%s\n' "$*" "$err"; fail=1; }
}
refused "hvcutil: EpUnitOfMeasureService::ConversionException: cannot convert m (length) into s (time)" \
    units convert 1 m s
refused "hvcutil: EpTypes::BadArgumentsException: unknown unit acronym 'furlong'" \
    units convert 1 furlong m
refused "hvcutil: Unable to uniquely identify the requested  1.000000 X  1.000000 ellipsoid" \
    ellipsoid 1 1
refused "hvcutil: Error applying transformation." coord transform EPSG:4326 EPSG:32631 5 100

"$hvcutil" --sandbox units convert ten ft m >/dev/null 2>&1
[ $? -eq 2 ] || { echo "a word for a number is not a usage error"; fail=1; }
"$hvcutil" --sandbox coord transform EPSG:4326 >/dev/null 2>&1
[ $? -eq 2 ] || { echo "a short coord transform is not a usage error"; fail=1; }
exit $fail
