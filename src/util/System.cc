#include <hvc_util/System.h>

#include <hvc_util/String.h>

#include "util/HostAddress.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <mutex>

namespace hvc_util {

const UUID System::uuid(true);

namespace {

char hostNameArea[1024];
std::mutex hostNameLock;

} // namespace

// O_NONBLOCK keeps open() from waiting for a writer on a FIFO; O_NOCTTY keeps a
// terminal from becoming ours.
bool System::isLocalFile(const char* path) {
    if (!path)
        return false;
    int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}

// A name cut at the area's size may come back unterminated, so the area only
// takes names that fit.
void System::getNodeName(String& out) {
    char fetched[sizeof hostNameArea];
    const bool whole = ::gethostname(fetched, sizeof fetched) == 0 &&
                       std::memchr(fetched, '\0', sizeof fetched) != nullptr;
    std::lock_guard<std::mutex> hold(hostNameLock);
    if (whole)
        std::memcpy(hostNameArea, fetched, sizeof fetched);
    out = hostNameArea;
}

int System::getPID() {
    return static_cast<int>(::getpid());
}

void hostAddress(const char* host, String& out) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    char text[INET_ADDRSTRLEN];
    if (host && ::getaddrinfo(host, nullptr, &hints, &found) == 0 && found &&
        found->ai_family == AF_INET && found->ai_addrlen >= sizeof(sockaddr_in)) {
        const sockaddr_in* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
        bool printed = ::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr;
        ::freeaddrinfo(found);
        out = printed ? text : "0.0.0.0";
        return;
    }
    if (found)
        ::freeaddrinfo(found);
    out = "0.0.0.0";
}

void System::getNodeAddress(String& out) {
    String name;
    getNodeName(name);
    hostAddress(name.getValue(), out);
}

void System::getProcessId(UUID& out) {
    out = uuid;
}

} // namespace hvc_util
