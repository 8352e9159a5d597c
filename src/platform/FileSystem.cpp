// Case-insensitive path resolution over POSIX directories.
#include "platform/FileSystem.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <memory>

namespace platform {

namespace {

std::vector<std::string> SplitComponents(std::string_view path)
{
    std::vector<std::string> parts;
    std::string current;
    for (const char c : path) {
        if (c == '/' || c == '\\') {
            parts.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    parts.push_back(current);
    return parts;
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// The entry of directory whose name equals component ignoring case, or "".
std::string FindEntryIgnoringCase(const std::string& directory, const std::string& component)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(directory.c_str()), ::closedir);
    if (!dir) {
        return {};
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        if (::strcasecmp(entry->d_name, component.c_str()) == 0) {
            return entry->d_name;
        }
    }
    return {};
}

std::string Join(const std::string& base, const std::string& name)
{
    if (base.empty()) {
        return name;
    }
    if (base == "/") {
        return base + name;
    }
    return base + "/" + name;
}

} // namespace

std::string NormalizeDataPath(std::string_view path)
{
    const bool absolute = !path.empty() && (path.front() == '/' || path.front() == '\\');
    std::vector<std::string> kept;
    for (const std::string& part : SplitComponents(path)) {
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == ".." && !kept.empty() && kept.back() != "..") {
            kept.pop_back();
            continue;
        }
        if (part == ".." && absolute) {
            continue; // nothing lies above the root
        }
        kept.push_back(part);
    }
    std::string result = absolute ? "/" : "";
    for (std::size_t i = 0; i < kept.size(); ++i) {
        result += (i == 0 ? "" : "/") + kept[i];
    }
    return result;
}

std::string ResolveDataPath(std::string_view path)
{
    const std::string normalized = NormalizeDataPath(path);
    if (normalized.empty() || Exists(normalized)) {
        return normalized;
    }
    const bool absolute = normalized.front() == '/';
    std::string resolved = absolute ? "/" : "";
    for (const std::string& part : SplitComponents(normalized)) {
        if (part.empty()) {
            continue;
        }
        const std::string exact = Join(resolved, part);
        if (part == ".." || Exists(exact)) {
            resolved = exact;
            continue;
        }
        const std::string match = FindEntryIgnoringCase(resolved.empty() ? "." : resolved, part);
        if (match.empty()) {
            return normalized;
        }
        resolved = Join(resolved, match);
    }
    return resolved;
}

std::FILE* OpenDataFile(std::string_view path, const char* mode)
{
    return std::fopen(ResolveDataPath(path).c_str(), mode);
}

bool ReadDataFile(std::string_view path, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenDataFile(path, "rb"), std::fclose);
    if (!file) {
        return false;
    }
    std::uint8_t chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    if (std::ferror(file.get())) {
        bytes.clear();
        return false;
    }
    return true;
}

} // namespace platform
