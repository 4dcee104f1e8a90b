// A helper process for a benchmark: started with its standard output on a
// pipe, read line by line, ended (SIGKILL) and reaped with the object.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace hvc_bench {

class Spawned {
public:
    // Raises std::runtime_error when the program cannot be started.
    explicit Spawned(const std::vector<std::string>& argv);
    ~Spawned();
    Spawned(const Spawned&) = delete;
    Spawned& operator=(const Spawned&) = delete;

    // The next line; raises std::runtime_error when the process ends first.
    std::string readLine();

private:
    pid_t child = -1;
    int output = -1;
    std::string pending;
};

} // namespace hvc_bench
