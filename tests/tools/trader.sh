#!/bin/sh
# hvcutil trader and key commands: the embedded sandbox's converter factories
# with their default offer properties, an older data key resolved, and an
# offer exported, described, found, withdrawn on a sandbox of its own.
set -u
hvcutil="$1"
sandboxExe="$2"
fail=0
check() { # check DESCRIPTION COMMAND...
    what="$1"
    shift
    "$@" || { printf 'failed: %s\n%s\n' "$what" "$out"; fail=1; }
}

type=IDL:EpTypesService/DefaultDataTypeConverterFactory:1.0
out=$(env USERNAME=tester "$hvcutil" --sandbox trader find "$type" 2>/dev/null)
check "one converter factory offer" sh -c 'printf "%s\n" "$0" | grep -qx "1 offer"' "$out"
for p in HostName IPAddress ProcessId; do
    check "default property $p" sh -c 'printf "%s\n" "$0" | grep -Eq "^    $1 = .+"' "$out" "$p"
done
check "the user's own offer" sh -c 'printf "%s\n" "$0" | grep -qx "    UserName = tester"' "$out"

older='well-A1|StoreKey|name=Sandbox|factoryType=SandboxStore|project=Demo'
out=$("$hvcutil" --sandbox key resolve "$older" 2>&1)
check "an older key resolves to its object" test "$out" = "hvc:Sandbox/Demo/well-A1"
out=$("$hvcutil" --sandbox key resolve 'hvc:Sandbox/Demo/none' 2>/dev/null)
status=$?
check "a key that fails" test "$out" = "-" -a "$status" -eq 1

. "$(dirname "$0")/../../scripts/sandbox-process.sh"
start_sandbox "$sandboxExe" --service-type Test::Thing || exit 1
ior=$(sed -n 's/^HVC_UAS_IOR=//p' "$HVC_HOME/bin/GetIORS.sh")

out=$("$hvcutil" trader export Test::Thing "$ior" Color=red 2>/dev/null)
id="$out"
check "an offer identifier" sh -c 'printf "%s\n" "$0" | grep -Eqx "offer-[0-9]+"' "$out"
out=$("$hvcutil" trader describe "$id" 2>/dev/null)
check "the offer's type" sh -c 'printf "%s\n" "$0" | grep -qx "type: Test::Thing"' "$out"
check "the caller's property first" sh -c \
    'printf "%s\n" "$0" | sed -n 4p | grep -qx "    Color = red"' "$out"
out=$("$hvcutil" trader find Test::Thing "Color == 'red'" 2>/dev/null | tail -n 1)
check "found by its property" test "$out" = "1 offer"
out=$("$hvcutil" trader find Test::Thing "Color == 'blue'" 2>/dev/null | tail -n 1)
check "not found by another value" test "$out" = "0 offers"
out=$("$hvcutil" trader find Test::Thing "Color ==" 2>&1 | tail -n 1)
check "a malformed constraint" test "$out" = \
    "hvcutil: Unexpected exception CosTrading::Illegal Constraint thrown"
out=$("$hvcutil" trader withdraw "$id" 2>/dev/null)
check "withdrawn" test "$out" = "withdrawn: $id"
out=$("$hvcutil" trader describe "$id" 2>&1 | tail -n 1)
check "gone after withdrawal" test "$out" = "hvcutil: CosTrading::UnknownOfferId"
exit $fail
