#!/bin/sh
# hvcutil session commands against the embedded sandbox: a temporary session's
# identifier (its name is checked by HvcutilTest), an unknown session's line.
set -u
hvcutil="$1"
fail=0
out=$(env -u halvercast.sessionName USERNAME=tester "$hvcutil" --sandbox session current 2>&1)
status=$?
[ "$status" -eq 0 ] || { echo "session current exited $status"; fail=1; }
printf '%s\n' "$out" | grep -Eq '^identifier: [0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$' ||
    { printf 'no identifier:\n%s\n' "$out"; fail=1; }

out=$("$hvcutil" --sandbox session uuid nosuch 2>&1)
[ "$out" = "hvcutil: EpSession::SessionNotExistException: No session named 'nosuch'" ] ||
    { printf 'unexpected output for an unknown session:\n%s\n' "$out"; fail=1; }
exit $fail
