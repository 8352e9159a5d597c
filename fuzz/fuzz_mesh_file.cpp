// Mesh file reader under libFuzzer: any bytes are either refused or give data
// that the writer takes and writes back unchanged through the reader, and
// that loads as a unit model and as an object whose parts can be placed.
#include "world/AnimatedMesh.h"
#include "world/ObjectMesh.h"
#include "world/XFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    XFileData file;
    if (!ParseXFile(std::span<const std::uint8_t>(data, size), file)) {
        return 0;
    }
    const std::string text = WriteXFile(file);
    if (text.empty()) {
        __builtin_trap(); // the writer must take whatever the reader accepts
    }
    XFileData again;
    if (!ParseXFile({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, again) ||
        WriteXFile(again) != text) {
        __builtin_trap(); // and what it writes must read back the same
    }
    AnimatedMesh unit;
    ObjectMesh object;
    if (!unit.LoadFromData(file) || !object.LoadFromData(file)) {
        __builtin_trap();
    }
    for (int part = 0; part < unit.GetPartCount(); ++part) {
        (void)unit.GetPartWorldMatrix(part, 0.7, {1, 2, 3}, {0, 1, 0}, 0.5f);
        (void)unit.GetPartGeometry(part);
    }
    return 0;
}
