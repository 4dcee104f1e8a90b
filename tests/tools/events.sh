#!/bin/sh
# hvcutil events send against the embedded sandbox: the event it pushed, as
# the library formats it; a malformed event is a usage error.
set -u
hvcutil="$1"
fail=0
out=$("$hvcutil" --sandbox events send cursor 1 2.5 -3 east north 2>/dev/null)
status=$?
[ "$status" -eq 0 ] || { echo "send exited $status"; fail=1; }
expected='sent cursor sender=nil location=NullSystem  1.000000     2.500000     -3.000000  labels=["east","north"]'
[ "$out" = "$expected" ] || { printf 'unexpected output:\n%s\n' "$out"; fail=1; }

out=$("$hvcutil" --sandbox events send poi 1 2 3 sideways 2>&1)
status=$?
[ "$status" -eq 2 ] || { echo "a bad button exited $status"; fail=1; }
printf '%s\n' "$out" | grep -q '^usage: hvcutil events ' || { printf 'no usage:\n%s\n' "$out"; fail=1; }

# The last line: the library's bind-failure lines come first without a naming service.
out=$("$hvcutil" --sandbox events send datachange renamed --channel 7 2>&1 | tail -n 1)
[ "$out" = "hvcutil: CosNotifyChannelAdmin::ChannelNotFound" ] ||
    { printf 'unexpected output for an unknown channel:\n%s\n' "$out"; fail=1; }
exit $fail
