#!/bin/sh
# make demo: the library against the sandbox platform. Run beside a naming
# service (scripts/with-naming-service), so every service resolves by bind.
set -eu
build="${1:-build}"
hvcutil="$build/tools/hvcutil/hvcutil"

echo "== hvcutil --sandbox doctor: every platform service, how it resolved, and whether it answers"
"$hvcutil" --sandbox doctor

echo
echo "== the typical request: hvc-sandbox in a process of its own, each step a process"
. "$(dirname "$0")/../../scripts/sandbox-process.sh"
start_sandbox "$build/sandbox/hvc-sandbox"

echo "-- no session name: getSession() creates a temporary session, marked and named"
echo "   (--keep: it outlives this command for the next steps)"
out=$("$hvcutil" session current --keep)
echo "$out"
name=$(echo "$out" | sed -n 's/^name: //p')

echo "-- another process finds it by name and attaches the project set of -projectSet"
"$hvcutil" session current -session "$name" -projectSet Default

echo "-- properties written by one process are read by the next"
"$hvcutil" interpreter set Store Proj alice -session "$name"
"$hvcutil" priority set Store Proj lab field -session "$name"
echo "interpreter of Store/Proj: $("$hvcutil" interpreter get Store Proj -session "$name")"
echo "source priorities of Store/Proj: $("$hvcutil" priority get Store Proj -session "$name" | tr '\n' ' ')"

echo "-- a project password, read from standard input, leaves the process sealed"
printf 'hunter2\n' | "$hvcutil" password set Store Proj
echo "password recorded for Store/Proj: $("$hvcutil" password exists Store Proj)"

echo "-- the data-type converter factories, exported at start for the user, found through the trader"
user=${USERNAME:-${LOGNAME:-${USER:-$(id -un)}}}
"$hvcutil" trader find IDL:EpTypesService/DefaultDataTypeConverterFactory:1.0 \
    "UserName == '$user'" | sed 's/^\(IOR:.\{40\}\).*/\1.../'

echo "-- a data key in the older form, resolved through the data store's factories"
"$hvcutil" key resolve 'well-A1|StoreKey|name=Sandbox|factoryType=SandboxStore|project=Demo' \
    -session "$name"

echo "-- at the end removeIfTemporary removes the session for every client"
"$hvcutil" session remove "$name"
echo "-- asked for it afterwards, the sandbox no longer knows it"
"$hvcutil" session uuid "$name" 2>&1 || true

echo
echo "== events: one process listens on the platform's channel while others send one event of each kind"
"$hvcutil" events listen --count 4 >"$sandboxDir/events" 2>"$sandboxDir/listening" &
listener=$!
tries=0
until grep -q "^listening on channel" "$sandboxDir/listening" 2>/dev/null; do
    tries=$((tries + 1))
    [ $tries -lt 100 ] || { echo "the listener did not connect"; exit 1; }
    sleep 0.1
done
for event in "cursor 1 2 3 x y z" "poi 10 20 30 left" "datachange W-7-renamed" "selection"; do
    # shellcheck disable=SC2086
    "$hvcutil" events send $event 2>/dev/null
done
wait $listener
echo "-- what the listener printed:"
cat "$sandboxDir/events"

echo
echo "== measurement: the units and coordinate services of the sandbox"
echo "-- a depth of 8250 ft in metres"
"$hvcutil" units convert 8250 ft m
echo "-- a well at 5 E 52 N (EPSG:4326) in UTM zone 31N (EPSG:32631)"
"$hvcutil" coord transform EPSG:4326 EPSG:32631 5 52
echo "-- its azimuth of 45 degrees from true north, counterclockwise, against grid north there"
"$hvcutil" angle 45 EPSG:4326 EPSG:32631 5 52

echo
echo "== interpretation: the fault vocabulary of the reference value service, and a fault segment picked on the sample survey"
echo "-- fault classifications, loaded once per process whole through the service's iterator:"
"$hvcutil" refvalues list fault | tr '\n' ',' | sed 's/,$/\n/; s/,/, /g'
echo "-- checks are exact: Listric is $("$hvcutil" refvalues check fault Listric || true), listric is $("$hvcutil" refvalues check fault listric || true)"
segment="hvc:Sandbox/F3 Demo/fault-F1-IL425"
echo "-- the origin of $segment"
"$hvcutil" origin show "$segment"
echo "-- picked on the F3 survey? $("$hvcutil" origin has-survey "$segment" "hvc:Sandbox/F3 Demo/survey-F3" || true);" \
    "on the 2D line? $("$hvcutil" origin has-survey "$segment" "hvc:Sandbox/F3 Demo/line-L2D-01" || true)"
