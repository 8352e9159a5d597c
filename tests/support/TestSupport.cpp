#include "TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testing {

std::filesystem::path DataDirectory()
{
    return KV_TEST_DATA_DIR;
}

TempDirectory::TempDirectory() : previous_(std::filesystem::current_path())
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kostrivane-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
    std::filesystem::current_path(path_);
}

TempDirectory::~TempDirectory()
{
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
}

DataDirectoryScope::DataDirectoryScope() : previous_(std::filesystem::current_path())
{
    std::filesystem::current_path(DataDirectory());
}

DataDirectoryScope::~DataDirectoryScope()
{
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
}

std::string ReadTextFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace testing
