#include "ServiceTypes.h"

#include "PlatformInterfaces.h"

#include <cctype>
#include <stdexcept>

namespace hvc_sandbox {

namespace {

bool isIdentifierAt(const std::string& text, std::size_t& pos) {
    if (pos >= text.size() || std::isalpha(static_cast<unsigned char>(text[pos])) == 0)
        return false;
    while (pos < text.size() &&
           (std::isalnum(static_cast<unsigned char>(text[pos])) != 0 || text[pos] == '_'))
        ++pos;
    return true;
}

bool isScopedName(const std::string& type) {
    std::size_t pos = type.compare(0, 2, "::") == 0 ? 2 : 0;
    while (true) {
        if (!isIdentifierAt(type, pos))
            return false;
        if (pos == type.size())
            return true;
        if (type.compare(pos, 2, "::") != 0)
            return false;
        pos += 2;
    }
}

// "IDL:" then a body of printable characters without blanks, ending in
// ":<major>.<minor>".
bool isRepositoryId(const std::string& type) {
    if (type.compare(0, 4, "IDL:") != 0)
        return false;
    const std::size_t colon = type.rfind(':');
    if (colon <= 4)
        return false;
    for (std::size_t i = 4; i < colon; ++i)
        if (std::isgraph(static_cast<unsigned char>(type[i])) == 0)
            return false;
    const std::size_t dot = type.find('.', colon);
    if (dot == std::string::npos || dot == colon + 1 || dot + 1 == type.size())
        return false;
    for (std::size_t i = colon + 1; i < type.size(); ++i)
        if (i != dot && std::isdigit(static_cast<unsigned char>(type[i])) == 0)
            return false;
    return true;
}

} // namespace

ServiceTypes::ServiceTypes(const std::vector<std::string>& further) {
    for (std::size_t i = 0; i < platformInterfaceCount; ++i)
        known.insert(platformInterfaceIds[i]);
    for (const std::string& name : further) {
        if (!isLegal(name))
            throw std::invalid_argument("'" + name + "' is not a legal service type name");
        known.insert(name);
    }
}

bool ServiceTypes::isLegal(const std::string& type) {
    return isScopedName(type) || isRepositoryId(type);
}

bool ServiceTypes::knows(const std::string& type) const {
    return known.count(type) != 0;
}

bool ServiceTypes::isLegalPropertyName(const char* name) {
    if (name == nullptr)
        return false;
    const std::string text(name);
    std::size_t pos = 0;
    return isIdentifierAt(text, pos) && pos == text.size();
}

} // namespace hvc_sandbox
