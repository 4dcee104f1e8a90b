#!/bin/sh
# hvcutil doctor without a platform: every service's exact failure, exit 1,
# and quickly; with the embedded sandbox: every service ok.
set -u
hvcutil="$1"
out=$(env -u HVC_HOME -u ORBInitRef -u HVC_UNITS_IOR "$hvcutil" doctor 2>/dev/null)
status=$?
expected="EpCoordinateService::Finder                     Error in getFinder; cannot resolve 'EpCoordinateService::Finder' service.
EpCoordinateService::Factory                    Error in getFactory; cannot resolve 'EpCoordinateService::Factory' service.
CosNotifyChannelAdmin::EventChannelFactory      Error in getChannelFactory; cannot resolve 'CosNotifyChannelAdmin::EventChannelFactory' service.
EpReferenceValueService::ReferenceValueService  Error in getService; cannot resolve 'EpReferenceValueService::ReferenceValueService' service.
CosTrading::Lookup                              Cannot resolve CosTrading::Lookup service.
EpUnitOfMeasureService::Server                  Error in getServer; cannot resolve 'EpUnitOfMeasureService::Server' service.
EpUser::AliasService                            Error in getUserAliasService; cannot resolve 'EpUser::AliasService' service.
EpUser::UserProfile                             BootstrapIOR : HVC_HOME is not set"
fail=0
[ "$status" -eq 1 ] || { echo "doctor without a platform exited $status, not 1"; fail=1; }
[ "$out" = "$expected" ] || { printf 'unexpected output:\n%s\n' "$out"; fail=1; }

out=$("$hvcutil" --sandbox doctor 2>/dev/null)
status=$?
[ "$status" -eq 0 ] || { echo "doctor --sandbox exited $status"; fail=1; }
[ "$(printf '%s\n' "$out" | grep -c ' ok ')" -eq 8 ] || { printf 'not all ok:\n%s\n' "$out"; fail=1; }
exit $fail
