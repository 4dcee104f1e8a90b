#!/bin/sh
# hvcutil format: typed literals printed as the library formats them, the
# unsupported-kind line on stderr, and refused literals.
set -u
hvcutil="$1"
fail=0

# check ARGS... -- expected stdout (a final newline is added by the tool)
check() {
    expected="$1"
    shift
    out=$("$hvcutil" format "$@" 2>/dev/null)
    status=$?
    [ "$status" -eq 0 ] || { echo "format $* exited $status"; fail=1; }
    [ "$out" = "$expected" ] || { printf 'format %s gave:\n%s\n' "$*" "$out"; fail=1; }
}

check 5 --long 5
check 4000000000 --ulong 4000000000
check 5000000000 --longlong 5000000000
check yes --boolean yes
check 0.500000 --float 0.5
check '["a","b"]' --strings a b
check '[]' --strings
check -1 --data-value 5 -1
check 0.5 --data-value 4 0.5
check 0.500000 --data-value 3 0.5
check 200 --data-value 0 200
check "$(printf 'colour red\nsize big')" --properties colour=red size=big

err=$("$hvcutil" format --double 0.5 2>&1 >/dev/null)
[ "$err" = "7 is an unsupported TCKind" ] || { printf 'double gave on stderr:\n%s\n' "$err"; fail=1; }

err=$("$hvcutil" format --long 2147483648 2>&1)
status=$?
[ "$status" -eq 2 ] || { echo "an out-of-range long exited $status, not 2"; fail=1; }
[ "$err" = "hvcutil format: not a long: '2147483648'" ] ||
    { printf 'out-of-range long gave:\n%s\n' "$err"; fail=1; }
"$hvcutil" format --data-value 6 1 >/dev/null 2>&1 && { echo "discriminator 6 accepted"; fail=1; }
exit $fail
