// Every Stream read form over arbitrary bytes. The first byte says how many
// of the following bytes are operations; the rest is the stream's data. Reads
// must stay inside the data, keep the positions in order and take nothing
// when they fail.
#include <hvc_util/Stream.h>
#include <hvc_util/String.h>
#include <hvc_util/UUID.h>

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void checkPositions(const hvc_util::Stream& s) {
    HVC_FUZZ_CHECK(s.getRead() <= s.tellWrite());
    HVC_FUZZ_CHECK(s.tellWrite() <= s.getSize());
    HVC_FUZZ_CHECK(s.getUnread() == s.tellWrite() - s.getRead());
}

// A fixed-width read: on failure the position must not move.
template <class T> void readOne(hvc_util::Stream& s) {
    unsigned int before = s.getRead();
    T value{};
    s >> value;
    if (s.fail())
        HVC_FUZZ_CHECK(s.getRead() == before);
    else
        HVC_FUZZ_CHECK(s.getRead() == before + sizeof(T));
}

template <class T> void readArray(hvc_util::Stream& s, unsigned int n) {
    unsigned int before = s.getRead();
    T values[16];
    s.get(values, n);
    if (n == 0)
        return;
    HVC_FUZZ_CHECK(s.getRead() == (s.fail() ? before : before + n * sizeof(T)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    std::size_t ops = data[0] < size - 1 ? data[0] : size - 1;
    const std::uint8_t* op = data + 1;
    const char* bytes = reinterpret_cast<const char*>(data + 1 + ops);
    unsigned int length = static_cast<unsigned int>(size - 1 - ops);

    hvc_util::Stream s(length, const_cast<char*>(bytes), true, true);
    char* text = nullptr;
    for (std::size_t i = 0; i < ops; ++i) {
        unsigned int arg = op[i] >> 4;
        switch (op[i] & 0x0F) {
        case 0:
            readOne<char>(s);
            readOne<bool>(s);
            break;
        case 1:
            readOne<short>(s);
            readOne<unsigned short>(s);
            break;
        case 2:
            readOne<int>(s);
            readOne<float>(s);
            break;
        case 3:
            readOne<std::int64_t>(s);
            readOne<double>(s);
            break;
        case 4:
            readArray<char>(s, arg);
            readArray<bool>(s, arg);
            break;
        case 5:
            readArray<short>(s, arg);
            readArray<int>(s, arg);
            break;
        case 6:
            readArray<std::int64_t>(s, arg);
            readArray<double>(s, arg);
            readArray<float>(s, arg);
            break;
        case 7:
            s >> text;
            HVC_FUZZ_CHECK(text != nullptr);
            if (s.fail())
                HVC_FUZZ_CHECK(text[0] == '\0');
            break;
        case 8: {
            char* cut = nullptr;
            s.getString(cut, arg);
            std::free(cut);
            char area[16];
            char* into = area;
            s.getString(into, sizeof area);
            if (s.ok())
                HVC_FUZZ_CHECK(std::strlen(area) < sizeof area);
            break;
        }
        case 9: {
            hvc_util::String str;
            if (arg & 1)
                str = "previous";
            s >> str;
            if (s.fail())
                HVC_FUZZ_CHECK(str.lengthOf() == 0);
            break;
        }
        case 10: {
            hvc_util::Stream inner;
            s >> inner;
            if (s.ok()) {
                HVC_FUZZ_CHECK(inner.getRead() == 0);
                HVC_FUZZ_CHECK(inner.tellWrite() == inner.getSize());
                checkPositions(inner);
            }
            break;
        }
        case 11: {
            hvc_util::UUID id(true);
            hvc_util::UUID before(id);
            s >> id;
            if (s.fail())
                HVC_FUZZ_CHECK(id == before);
            break;
        }
        case 12:
            s.seekRead(static_cast<int>(arg) - 8,
                       static_cast<hvc_util::Stream::PositionMode>(arg % 3));
            break;
        case 13:
            s.setSize(s.getSize() > arg ? s.getSize() - arg : 0);
            break;
        case 14:
            s >> s;
            break;
        default:
            s.resetRead();
            break;
        }
        checkPositions(s);
    }
    std::free(text);
    return 0;
}
