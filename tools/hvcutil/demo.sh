#!/bin/sh
# make demo: the library against the sandbox platform, in one process.
set -eu
build="${1:-build}"
hvcutil="$build/tools/hvcutil/hvcutil"

echo "== hvcutil --sandbox doctor: every platform service, and how it resolved"
echo "   (no naming service runs beside the embedded sandbox, so the library's bind"
echo "   diagnostics appear on standard error before the reference script answers)"
"$hvcutil" --sandbox doctor
