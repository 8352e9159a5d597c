#include "TestSupport.h"

#include "net/NetConfig.h"
#include "platform/MessageBox.h"
#include "world/Terrain.h"

#include <doctest/doctest.h>

#include <sys/stat.h>

#include <atomic>
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

void LinkDataTree(const std::filesystem::path& here, const std::string& copied)
{
    namespace fs = std::filesystem;
    for (const fs::directory_entry& entry : fs::directory_iterator(DataDirectory())) {
        const fs::path name = entry.path().filename();
        if (!entry.is_directory()) {
            continue;
        }
        if (name == copied) {
            fs::copy(entry.path(), here / name, fs::copy_options::recursive);
        } else {
            fs::create_directory_symlink(entry.path(), here / name);
        }
    }
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

void WriteBinaryFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes)
{
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path());
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void MakePipe(const std::filesystem::path& path)
{
    REQUIRE(::mkfifo(path.c_str(), 0644) == 0);
}

void MakeSparseFile(const std::filesystem::path& path, std::uintmax_t bytes)
{
    std::ofstream(path).close();
    std::filesystem::resize_file(path, bytes);
}

MessageCatcher::MessageCatcher()
{
    platform::SetMessageBoxSink([this](const std::string& text, const std::string& title) {
        messages.push_back({text, title});
    });
}

MessageCatcher::~MessageCatcher()
{
    platform::SetMessageBoxSink(nullptr);
}

NetConfig LoopbackNetConfig(std::uint16_t portBase)
{
    NetConfig config;
    config.udpBasePort = portBase;
    config.udpLastPort = static_cast<std::uint16_t>(portBase + 19);
    config.announceFirstPort = portBase;
    config.announceLastPort = static_cast<std::uint16_t>(portBase + 19);
    config.announceAddress = "127.255.255.255";
    config.tcpPort = static_cast<std::uint16_t>(portBase + 50);
    return config;
}

void CheckNear(const Vec3& actual, const Vec3& expected, double epsilon)
{
    CHECK(actual.x == doctest::Approx(expected.x).epsilon(epsilon));
    CHECK(actual.y == doctest::Approx(expected.y).epsilon(epsilon));
    CHECK(actual.z == doctest::Approx(expected.z).epsilon(epsilon));
}

bool DrawnHeightAt(const Terrain& terrain, float x, float z, float& height)
{
    const std::vector<TerrainVertex>& v = terrain.GetGroundVertices();
    const std::vector<std::uint16_t>& indices = terrain.GetIndices();
    for (std::size_t t = 0; t + 2 < indices.size(); t += 3) {
        const Vec3 p0 = v[indices[t]].position;
        const Vec3 p1 = v[indices[t + 1]].position;
        const Vec3 p2 = v[indices[t + 2]].position;
        const float det = (p1.x - p0.x) * (p2.z - p0.z) - (p2.x - p0.x) * (p1.z - p0.z);
        const float s = ((x - p0.x) * (p2.z - p0.z) - (p2.x - p0.x) * (z - p0.z)) / det;
        const float u = ((p1.x - p0.x) * (z - p0.z) - (x - p0.x) * (p1.z - p0.z)) / det;
        if (s >= -1e-5f && u >= -1e-5f && s + u <= 1.0f + 1e-5f) {
            height = p0.y + s * (p1.y - p0.y) + u * (p2.y - p0.y);
            return true;
        }
    }
    return false;
}

namespace {

std::atomic<bool> checksSkipped{false};

} // namespace

void ReportSkipped()
{
    checksSkipped = true;
}

bool ChecksWereSkipped()
{
    return checksSkipped;
}

} // namespace testing
