#!/bin/sh
# hvcutil doctor: without a platform every service fails with the library's
# text after the means it tried, exit 1; with the embedded sandbox beside a
# naming service every service resolves by bind and answers, exit 0.
set -u
hvcutil="$1"
withNames="$2"
fail=0

out=$("$hvcutil" doctor 2>/dev/null)
status=$?
[ "$status" -eq 1 ] || { echo "doctor without a platform exited $status, not 1"; fail=1; }
services=$(printf '%s\n' "$out" | grep -c '^[^ ]')
[ "$services" -ge 8 ] || { printf 'too few services:\n%s\n' "$out"; fail=1; }
# Each service: a failure in place of ok, then the bind tried, the variable
# unset and the script's own failure.
printf '%s\n' "$out" | grep -E '^[^ ]+ +(ok|placeholder) ' &&
    { echo "a service resolved without a platform"; fail=1; }
printf '%s\n' "$out" | grep -qx 'CosTrading::Lookup                              Cannot resolve CosTrading::Lookup service.' ||
    { printf 'no trader failure:\n%s\n' "$out"; fail=1; }
[ "$(printf '%s\n' "$out" | grep -c '^    reference script: BootstrapIOR : HVC_HOME is not set$')" -eq "$services" ] ||
    { printf 'not every service tried the script:\n%s\n' "$out"; fail=1; }
[ "$(printf '%s\n' "$out" | grep -Ec '^    (bind|alias service).*: ')" -eq "$services" ] ||
    { printf 'not every service tried a bind first:\n%s\n' "$out"; fail=1; }

# The sandbox registers its names, so every service resolves by bind, no
# diagnostics come first, and each object answers.
out=$("$withNames" sh -c "exec \"$hvcutil\" --sandbox doctor" 2>&1)
status=$?
[ "$status" -eq 0 ] || { printf 'doctor --sandbox exited %s:\n%s\n' "$status" "$out"; fail=1; }
printf '%s\n' "$out" | head -n 1 | grep -Eq '^[^ ]+ +(ok|placeholder) bind$' ||
    { printf 'something came before the first service:\n%s\n' "$out"; fail=1; }
[ "$(printf '%s\n' "$out" | grep -Ec '^[^ ]+ +(ok|placeholder) bind$')" -eq "$services" ] ||
    { printf 'not every service resolved by bind:\n%s\n' "$out"; fail=1; }
[ "$(printf '%s\n' "$out" | grep -c '^    answers: yes, in ')" -eq "$services" ] ||
    { printf 'not every service answered:\n%s\n' "$out"; fail=1; }
exit $fail
