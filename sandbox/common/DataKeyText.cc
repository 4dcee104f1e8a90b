#include "DataKeyText.h"

#include <cstdio>

namespace hvc_sandbox {

namespace {

const std::string currentPrefix = "hvc:";
const std::string marker = "|StoreKey|";

bool needsEscape(char c) {
    const auto u = static_cast<unsigned char>(c);
    return c == '%' || c == '/' || c == '|' || u < 0x20 || u == 0x7f;
}

std::string escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (!needsEscape(c)) {
            out += c;
            continue;
        }
        char hex[4];
        std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
        out += hex;
    }
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// False for a stray '%' or a character that should have been escaped.
bool unescape(const std::string& text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            if (needsEscape(text[i]))
                return false;
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        const int high = hexValue(text[i + 1]);
        const int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return false;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

} // namespace

std::string DataKeyText::current(const std::string& storeName, const std::string& projectName,
                                 const std::string& localKey) {
    return currentPrefix + storeName + "/" + escape(projectName) + "/" + escape(localKey);
}

std::string DataKeyText::older(const std::string& storeName, const std::string& factoryType,
                               const std::string& projectName, const std::string& localKey) {
    return escape(localKey) + marker + "name=" + storeName + "|factoryType=" + factoryType +
           "|project=" + escape(projectName);
}

bool DataKeyText::isOlder(const std::string& key) {
    return key.find(marker) != std::string::npos;
}

bool DataKeyText::parseCurrent(const std::string& key, Parts& out) {
    if (key.compare(0, currentPrefix.size(), currentPrefix) != 0)
        return false;
    const std::size_t storeEnd = key.find('/', currentPrefix.size());
    if (storeEnd == std::string::npos)
        return false;
    const std::size_t projectEnd = key.find('/', storeEnd + 1);
    if (projectEnd == std::string::npos)
        return false;
    out.storeName = key.substr(currentPrefix.size(), storeEnd - currentPrefix.size());
    out.factoryType.clear();
    return isPlainName(out.storeName) &&
           unescape(key.substr(storeEnd + 1, projectEnd - storeEnd - 1), out.projectName) &&
           unescape(key.substr(projectEnd + 1), out.localKey);
}

bool DataKeyText::parseOlder(const std::string& key, Parts& out) {
    const std::size_t at = key.find(marker);
    if (at == std::string::npos || !unescape(key.substr(0, at), out.localKey))
        return false;
    bool name = false;
    bool type = false;
    bool project = false;
    std::size_t pos = at + marker.size();
    while (pos <= key.size()) {
        std::size_t end = key.find('|', pos);
        if (end == std::string::npos)
            end = key.size();
        const std::string field = key.substr(pos, end - pos);
        if (field.compare(0, 5, "name=") == 0) {
            out.storeName = field.substr(5);
            name = true;
        } else if (field.compare(0, 12, "factoryType=") == 0) {
            out.factoryType = field.substr(12);
            type = true;
        } else if (field.compare(0, 8, "project=") == 0) {
            project = unescape(field.substr(8), out.projectName);
        }
        pos = end + 1;
    }
    return name && type && project;
}

bool DataKeyText::isPlainName(const std::string& name) {
    if (name.empty())
        return false;
    for (char c : name)
        if (needsEscape(c))
            return false;
    return true;
}

} // namespace hvc_sandbox
