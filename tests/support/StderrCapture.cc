#include "support/StderrCapture.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace hvc_test {

StderrCapture::StderrCapture() {
    std::fflush(stderr);
    std::cerr.flush();
    char path[] = "/tmp/hvc-stderr-XXXXXX";
    file = ::mkstemp(path);
    ::unlink(path);
    saved = ::dup(2);
    ::dup2(file, 2);
}

StderrCapture::~StderrCapture() {
    stop();
}

void StderrCapture::stop() {
    if (saved < 0)
        return;
    std::fflush(stderr);
    std::cerr.flush();
    ::dup2(saved, 2);
    ::close(saved);
    saved = -1;
    ::lseek(file, 0, SEEK_SET);
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(file, buffer, sizeof buffer)) > 0)
        captured.append(buffer, static_cast<std::size_t>(n));
    ::close(file);
    file = -1;
}

std::string StderrCapture::text() {
    stop();
    return captured;
}

} // namespace hvc_test
