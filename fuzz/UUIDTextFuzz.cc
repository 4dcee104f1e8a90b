// UUID text parsing: whatever parses prints as a form that parses back to the
// same identifier, and the dashed form prints back as its lower-case self.
#include <hvc_util/String.h>
#include <hvc_util/UUID.h>

#include "FuzzCheck.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    hvc_util::UUID id(text.c_str());

    hvc_util::String printed;
    id.getString(printed);
    HVC_FUZZ_CHECK(printed.lengthOf() == 36);
    hvc_util::UUID again(printed);
    HVC_FUZZ_CHECK(again == id);

    std::size_t length = std::strlen(text.c_str());
    if (id.isSet() && length == 36 && text[8] == '-') {
        text.resize(length);
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        HVC_FUZZ_CHECK(text == printed.getValue());
    }

    // The same bytes read as the 16-byte form.
    if (size >= 16) {
        hvc_util::UUID fromBytes(data);
        unsigned char back[16];
        fromBytes >> back;
        HVC_FUZZ_CHECK(std::memcmp(back, data, 16) == 0);
        (void)fromBytes.getHash();
        (void)(fromBytes < id);
        hvc_util::String s;
        s << fromBytes;
        HVC_FUZZ_CHECK(s.lengthOf() == 0 || s.lengthOf() == 36);
    }
    return 0;
}
