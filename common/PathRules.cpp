#include "PathRules.h"

#include "Cp932.h"


namespace Common::Detail {

std::vector<bool> leadBytes(std::string_view s) {
    std::vector<bool> lead(s.size(), false);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (Platform::Cp932::isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) {
            lead[i] = true;
            ++i;
        }
    }
    return lead;
}

std::vector<bool> trailBytes(std::string_view s) {
    std::vector<bool> trail(s.size(), false);
    const std::vector<bool> lead = leadBytes(s);
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        if (lead[i])
            trail[i + 1] = true;
    }
    return trail;
}

std::size_t lastDelimiter(std::string_view s, char delimiter) {
    const std::vector<bool> trail = trailBytes(s);
    for (std::size_t i = s.size(); i-- > 0;) {
        if (s[i] == delimiter && !trail[i])
            return i;
    }
    return std::string_view::npos;
}

std::string extractFilePath(const std::string& path) {
    const std::size_t slash = lastDelimiter(path, '/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string extractFileDir(const std::string& path) {
    const std::size_t slash = lastDelimiter(path, '/');
    if (slash == std::string::npos)
        return {};
    // The root keeps its separator, and so does a separator doubled.
    if (slash == 0 || path[slash - 1] == '/')
        return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

std::string extractFileName(const std::string& path) {
    const std::size_t slash = lastDelimiter(path, '/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string changeFileExt(const std::string& path, const std::string& ext) {
    const std::size_t slash = lastDelimiter(path, '/');
    const std::size_t dot = lastDelimiter(path, '.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + ext;
    return path.substr(0, dot) + ext;
}

QString toQString(const std::string& cp932) {
    return Platform::Cp932::toUnicode(cp932);
}

std::string toCp932(const QString& text) {
    return Platform::Cp932::fromUnicode(text);
}

}  // namespace Common::Detail
