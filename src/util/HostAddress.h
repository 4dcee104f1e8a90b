// The IPv4 lookup behind System::getNodeAddress, open to tests.
#pragma once

namespace hvc_util {

class String;

// `out` becomes the dotted text of the first IPv4 address of `host`, or
// "0.0.0.0" when there is none.
void hostAddress(const char* host, String& out);

} // namespace hvc_util
