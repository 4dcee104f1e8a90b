// Facts about the running process and its host.
#pragma once

#include <hvc_util/Export.h>

#include <hvc_util/UUID.h>

namespace hvc_util {

class String;

// Static questions about the process and its host. Holds the per-process
// identifier and one host-name area shared by all callers; owns nothing of
// the caller's. Nothing raises: failures give the answers said below.
// Thread-safe: the host-name area is written and read under a lock.
class HVC_UTIL_API System {
public:
    // Generated afresh when the library is loaded; the same for every call
    // in one process and different in another.
    static const UUID uuid;

    // True only for a path that opens for reading and is a regular file;
    // directories, FIFOs (never waited on), sockets, devices and paths that
    // cannot be opened are false.
    static bool isLocalFile(const char* path);
    // `out` becomes the host name (what the last successful fetch gave, empty
    // before the first).
    static void getNodeName(String& out);
    static int getPID();
    // `out` becomes the dotted IPv4 address of the host name's first IPv4
    // address, or "0.0.0.0" when it has none.
    static void getNodeAddress(String& out);
    // `out` becomes System::uuid.
    static void getProcessId(UUID& out);
};

} // namespace hvc_util
