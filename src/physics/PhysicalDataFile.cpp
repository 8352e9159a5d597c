// Physical data files. A file holds 19 lines, one value (or one vector of
// three comma-separated values) per line, in this order:
//
//    1  velocity x,y,z            11  gravity
//    2  driveForce                12  radius
//    3  driveFalloff              13  collisionType (integer)
//    4  turnRate (rad/s)          14  collides (integer, non-zero = on)
//    5  spinAxis x,y,z            15  movable
//    6  heading (rad)             16  steering
//    7  arrived (integer)         17  gravityEnabled
//    8  mass                      18  dragEnabled
//    9  dragCoefficient           19  frictionEnabled
//   10  frictionCoefficient
//
// The layout is the one the C library's formatted reads ("%f", "%f,%f,%f")
// accept: a number may be preceded by any white space (blank lines,
// indentation and CR line ends are therefore all accepted), a comma must
// follow the number before it directly, and the decimal point is always ".",
// whatever the user's locale. The numbers themselves are stricter than those
// reads: they are decimal only (of "0x1p3" the number is the "0", and the
// reading stops at the "x"), and a number out of its field's range is no
// number rather than one clamped to the range, so the reading stops at its
// line. Text after the nineteenth line is ignored.
#include "physics/PhysicalDataFile.h"

#include "core/ErrorLog.h"
#include "platform/FileSystem.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <set>
#include <vector>

namespace {

const char* const kLogName = "Physical.txt";

// A bounded cursor over the file text with the formatted-read rules above.
class TextScanner {
public:
    explicit TextScanner(std::string_view text) : text_(text) {}

    void SkipSpace()
    {
        while (position_ < text_.size() && IsSpace(text_[position_])) {
            ++position_;
        }
    }

    // A float or an integer: optional white space, sign and digits, read up
    // to the first character that does not belong to the number.
    template <typename Number> bool ReadNumber(Number& out)
    {
        SkipSpace();
        const char* const begin = text_.data() + SkipPlus();
        const char* const end = text_.data() + text_.size();
        Number value{};
        const std::from_chars_result result = std::from_chars(begin, end, value);
        if (result.ec != std::errc()) {
            return false; // no number, or one out of range
        }
        position_ = static_cast<std::size_t>(result.ptr - text_.data());
        out = value;
        return true;
    }

    bool ReadVector(Vec3& out)
    {
        Vec3 value;
        if (!ReadNumber(value.x) || !Expect(',') || !ReadNumber(value.y) || !Expect(',') || !ReadNumber(value.z)) {
            return false;
        }
        out = value;
        return true;
    }

    bool ReadSwitch(bool& out)
    {
        std::int32_t value = 0;
        if (!ReadNumber(value)) {
            return false;
        }
        out = value != 0;
        return true;
    }

private:
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

    // A "+" sign is allowed but must be followed by the digits themselves.
    std::size_t SkipPlus() const
    {
        const bool plus = position_ + 1 < text_.size() && text_[position_] == '+' && text_[position_ + 1] != '-';
        return plus ? position_ + 1 : position_;
    }

    bool Expect(char c)
    {
        if (position_ >= text_.size() || text_[position_] != c) {
            return false;
        }
        ++position_;
        return true;
    }

    std::string_view text_;
    std::size_t position_ = 0;
};

bool ReadLine(TextScanner& scanner, int line, PhysicalData& data)
{
    switch (line) {
    case 1:
        return scanner.ReadVector(data.velocity);
    case 2:
        return scanner.ReadNumber(data.driveForce);
    case 3:
        return scanner.ReadNumber(data.driveFalloff);
    case 4:
        return scanner.ReadNumber(data.turnRate);
    case 5:
        return scanner.ReadVector(data.spinAxis);
    case 6:
        return scanner.ReadNumber(data.heading);
    case 7:
        return scanner.ReadSwitch(data.arrived);
    case 8:
        return scanner.ReadNumber(data.mass);
    case 9:
        return scanner.ReadNumber(data.dragCoefficient);
    case 10:
        return scanner.ReadNumber(data.frictionCoefficient);
    case 11:
        return scanner.ReadNumber(data.gravity);
    case 12:
        return scanner.ReadNumber(data.radius);
    case 13:
        return scanner.ReadNumber(data.collisionType);
    case 14:
        return scanner.ReadSwitch(data.collides);
    case 15:
        return scanner.ReadSwitch(data.movable);
    case 16:
        return scanner.ReadSwitch(data.steering);
    case 17:
        return scanner.ReadSwitch(data.gravityEnabled);
    case 18:
        return scanner.ReadSwitch(data.dragEnabled);
    case 19:
        return scanner.ReadSwitch(data.frictionEnabled);
    default:
        return false;
    }
}

// Every unit reads its type's file, so a fault of one file would otherwise
// be written again for every unit of every battle: each warning is written
// once a run. Main thread only, as every load.
void Warn(const std::string& text)
{
    static std::set<std::string> written;
    if (written.insert(text).second) {
        ErrorLog(kLogName, true).Warning(text);
    }
}

// Puts back the default of a field whose value no body can use and says so.
bool KeepUsable(std::string_view path, const char* field, bool usable, float& value, float fallback)
{
    if (usable) {
        return true;
    }
    char text[512];
    std::snprintf(text, sizeof text, "Physical file %.*s has an unusable %s (%g); using %g.",
                  static_cast<int>(path.size()), path.data(), field, static_cast<double>(value),
                  static_cast<double>(fallback));
    Warn(text);
    value = fallback;
    return false;
}

bool KeepFinite(std::string_view path, const char* field, float& value, float fallback)
{
    return KeepUsable(path, field, std::isfinite(value), value, fallback);
}

bool KeepPositive(std::string_view path, const char* field, float& value, float fallback)
{
    return KeepUsable(path, field, std::isfinite(value) && value > 0.0f, value, fallback);
}

// A switch a walking unit cannot do without.
bool KeepOn(std::string_view path, const char* field, bool& value)
{
    if (value) {
        return true;
    }
    Warn("Physical file " + std::string(path) + " has " + field + " off, so the unit could not move; using 1.");
    value = true;
    return false;
}

bool KeepFiniteVector(std::string_view path, const char* field, Vec3& value, const Vec3& fallback)
{
    if (Vec3IsFinite(value)) {
        return true;
    }
    Warn("Physical file " + std::string(path) + " has an unusable " + field + "; using the default.");
    value = fallback;
    return false;
}

// Division by mass and by radius sums, a body that floats up instead of
// falling, and friction that pushes a body along instead of holding it back
// all start from values like these; a body that is not movable never leaves
// its place. (The files are the units' only: every other body takes the
// defaults and sets its own switches.)
bool Validate(std::string_view path, PhysicalData& data)
{
    const PhysicalData defaults;
    bool valid = true;
    valid &= KeepFiniteVector(path, "velocity", data.velocity, defaults.velocity);
    valid &= KeepFiniteVector(path, "spin axis", data.spinAxis, defaults.spinAxis);
    valid &= KeepFinite(path, "drive force", data.driveForce, defaults.driveForce);
    valid &= KeepFinite(path, "drive falloff", data.driveFalloff, defaults.driveFalloff);
    valid &= KeepFinite(path, "turn rate", data.turnRate, defaults.turnRate);
    valid &= KeepFinite(path, "heading", data.heading, defaults.heading);
    valid &= KeepPositive(path, "mass", data.mass, defaults.mass);
    valid &= KeepFinite(path, "drag coefficient", data.dragCoefficient, defaults.dragCoefficient);
    valid &= KeepUsable(path, "friction coefficient",
                        std::isfinite(data.frictionCoefficient) && data.frictionCoefficient >= 0.0f,
                        data.frictionCoefficient, defaults.frictionCoefficient);
    valid &= KeepPositive(path, "gravity", data.gravity, defaults.gravity);
    valid &= KeepPositive(path, "radius", data.radius, defaults.radius);
    valid &= KeepOn(path, "movable", data.movable);
    return valid;
}

void AppendFloat(std::string& out, float value)
{
    char buffer[64];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    out += text;
    // "12000" reads back the same, but "12000.0" says what kind of value it is.
    if (text.find_first_of(".eEni") == std::string_view::npos) {
        out += ".0";
    }
}

void AppendFloatLine(std::string& out, float value)
{
    AppendFloat(out, value);
    out += '\n';
}

void AppendVectorLine(std::string& out, const Vec3& value)
{
    AppendFloat(out, value.x);
    out += ',';
    AppendFloat(out, value.y);
    out += ',';
    AppendFloat(out, value.z);
    out += '\n';
}

void AppendIntLine(std::string& out, std::int32_t value)
{
    out += std::to_string(value);
    out += '\n';
}

} // namespace

std::string PhysicalDataFile::PathForType(std::string_view typeName)
{
    return "Actors/PhysicalData/" + std::string(typeName) + ".kvp";
}

int PhysicalDataFile::Parse(std::string_view text, PhysicalData& data)
{
    TextScanner scanner(text);
    for (int line = 1; line <= kLineCount; ++line) {
        if (!ReadLine(scanner, line, data)) {
            return line - 1;
        }
        scanner.SkipSpace();
    }
    return kLineCount;
}

bool PhysicalDataFile::Load(std::string_view path, PhysicalData& data)
{
    data = PhysicalData{};
    const std::string pathText(path);
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!platform::ReadDataFile(path, kMaxFileBytes, bytes, &error)) {
        Warn("Could not read physical file " + error + "; using the defaults.");
        return false;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const int lines = Parse(text, data);
    if (lines < kLineCount) {
        Warn("Physical file " + pathText + " could not be read past line " + std::to_string(lines) +
             "; the remaining values keep their defaults.");
    }
    const bool valid = Validate(path, data);
    return lines == kLineCount && valid;
}

std::string PhysicalDataFile::Format(const PhysicalData& data)
{
    std::string out;
    AppendVectorLine(out, data.velocity);
    AppendFloatLine(out, data.driveForce);
    AppendFloatLine(out, data.driveFalloff);
    AppendFloatLine(out, data.turnRate);
    AppendVectorLine(out, data.spinAxis);
    AppendFloatLine(out, data.heading);
    AppendIntLine(out, data.arrived ? 1 : 0);
    AppendFloatLine(out, data.mass);
    AppendFloatLine(out, data.dragCoefficient);
    AppendFloatLine(out, data.frictionCoefficient);
    AppendFloatLine(out, data.gravity);
    AppendFloatLine(out, data.radius);
    AppendIntLine(out, data.collisionType);
    AppendIntLine(out, data.collides ? 1 : 0);
    AppendIntLine(out, data.movable ? 1 : 0);
    AppendIntLine(out, data.steering ? 1 : 0);
    AppendIntLine(out, data.gravityEnabled ? 1 : 0);
    AppendIntLine(out, data.dragEnabled ? 1 : 0);
    AppendIntLine(out, data.frictionEnabled ? 1 : 0);
    return out;
}

std::string PhysicalDataFile::CheckUnitData(const PhysicalData& data)
{
    if (!std::isfinite(data.mass) || data.mass <= 0.0f) {
        return "the mass must be greater than 0";
    }
    if (!std::isfinite(data.radius) || data.radius <= 0.0f) {
        return "the radius must be greater than 0";
    }
    if (!std::isfinite(data.gravity) || data.gravity <= 0.0f) {
        return "the gravity must be greater than 0";
    }
    // Below this the step treats friction as absent, and without friction
    // there is no traction, so the unit could not walk.
    if (!data.frictionEnabled || !(data.frictionCoefficient > 0.0001f)) {
        return "friction must be enabled with a coefficient above 0.0001";
    }
    if (!(data.driveForce > 0.0f) || !std::isfinite(data.driveFalloff) || data.driveFalloff < 0.0f) {
        return "the drive force must be positive and the drive falloff not negative";
    }
    if (!data.collides || !data.movable || !data.steering || !data.gravityEnabled) {
        return "a unit must collide, move, steer and fall";
    }
    return {};
}
