// Captures what the process writes to file descriptor 2 (C stdio and cerr
// alike) while the object is capturing.
#pragma once

#include <string>

namespace hvc_test {

class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Stops capturing (first call) and returns everything captured.
    std::string text();

private:
    void stop();
    int saved = -1;
    int file = -1;
    std::string captured;
};

} // namespace hvc_test
