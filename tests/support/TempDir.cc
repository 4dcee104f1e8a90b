#include "support/TempDir.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace hvc_test {

namespace {

void makeParents(const std::string& path) {
    for (std::size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
        ::mkdir(path.substr(0, at).c_str(), 0755);
}

} // namespace

std::string TempDir::write(const std::string& relative, const std::string& text,
                           unsigned mode) const {
    const std::string path = dir.path() + "/" + relative;
    makeParents(path);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    ::chmod(path.c_str(), mode);
    return path;
}

TempHome::TempHome(const std::string& script) {
    setScript(script);
    home.set("HVC_HOME", root.path());
}

void TempHome::setScript(const std::string& script) const {
    root.write("bin/GetIORS.sh", script, 0755);
}

std::string TempHome::printing(const std::string& text) {
    std::string quoted;
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return "echo run >> \"$HVC_HOME/runs\"\nprintf '%s' '" + quoted + "'\n";
}

int TempHome::runs() const {
    std::ifstream in(root.path() + "/runs");
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int count = 0;
    for (std::size_t at = all.find("run"); at != std::string::npos; at = all.find("run", at + 1))
        ++count;
    return count;
}

} // namespace hvc_test
