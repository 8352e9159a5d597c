#include "DataGenerator.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

namespace datagen {

bool WriteDataFile(const std::filesystem::path& root, const std::string& relativePath,
                   std::span<const std::uint8_t> bytes)
{
    const std::filesystem::path path = root / relativePath;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error) {
        std::fprintf(stderr, "kvdatagen: cannot create %s: %s\n", path.parent_path().c_str(), error.message().c_str());
        return false;
    }
    // What is there already is read only up to the new file's size: anything
    // larger, or not a regular file, differs and is replaced.
    std::vector<std::uint8_t> old;
    if (platform::ReadDataFile(path.string(), bytes.size(), old) && std::ranges::equal(old, bytes)) {
        return true;
    }
    const std::filesystem::path temporary = path.string() + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "kvdatagen: cannot write %s\n", temporary.c_str());
            return false;
        }
    }
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::fprintf(stderr, "kvdatagen: cannot rename %s: %s\n", temporary.c_str(), error.message().c_str());
        return false;
    }
    return true;
}

} // namespace datagen
