// Word reader for text mesh files (see XTokenReader.h). It keeps one byte of
// lookahead, taken from the ByteReader, so it never reads past the end and
// never looks at a byte twice.
#include "world/XTokenReader.h"

#include "world/XFileData.h"

#include <array>
#include <cstring>

namespace {

constexpr std::size_t kHeaderBytes = 16;
// Numbers are short; anything longer is not a number the writer made.
constexpr std::size_t kMaxNumberLength = 64;
constexpr std::size_t kMaxGuidLength = 64;

bool IsLetter(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}

bool BelongsToName(int c)
{
    return IsLetter(c) || IsDigit(c) || c == '-' || c == '.';
}

bool BelongsToNumber(int c)
{
    return IsDigit(c) || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
}

bool IsSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ';' || c == ',';
}

} // namespace

XTokenReader::XTokenReader(std::span<const std::uint8_t> bytes) : bytes_(bytes), size_(bytes.size()) {}

bool XTokenReader::Start(std::string& fault)
{
    std::array<std::uint8_t, kHeaderBytes> header{};
    if (!bytes_.ReadBytes(header)) {
        fault = "the file is shorter than its 16-byte header";
        return false;
    }
    const char* const text = reinterpret_cast<const char*>(header.data());
    if (std::memcmp(text, "xof ", 4) != 0) {
        fault = "the file does not start with \"xof \"";
        return false;
    }
    if (std::memcmp(text + 8, "txt ", 4) != 0) {
        fault = "the file is not in the text form";
        return false;
    }
    if (std::memcmp(text + 12, "0032", 4) != 0 && std::memcmp(text + 12, "0064", 4) != 0) {
        fault = "the header's float size is neither 0032 nor 0064";
        return false;
    }
    nextOffset_ = kHeaderBytes;
    TakeByte();
    Advance();
    return true;
}

void XTokenReader::TakeByte()
{
    std::uint8_t b[1] = {};
    if (bytes_.ReadBytes(b)) {
        next_ = b[0];
    } else {
        next_ = -1;
    }
    ++nextOffset_;
}

void XTokenReader::Advance()
{
    if (current_.kind == XTokenKind::Fault) {
        return; // a fault stays put, whatever the caller does next
    }
    current_.text.clear();
    if (!SkipSpaceAndComments()) {
        return;
    }
    current_.offset = nextOffset_ - 1;
    if (next_ < 0) {
        current_.kind = XTokenKind::End;
    } else if (next_ == '{' || next_ == '}') {
        current_.kind = next_ == '{' ? XTokenKind::OpenBrace : XTokenKind::CloseBrace;
        TakeByte();
    } else if (IsLetter(next_)) {
        ReadWord(XTokenKind::Name, BelongsToName, kXMaxNameLength);
    } else if (BelongsToNumber(next_)) {
        ReadWord(XTokenKind::Number, BelongsToNumber, kMaxNumberLength);
    } else if (next_ == '"') {
        ReadDelimited(XTokenKind::Text, '"', kXMaxTextLength);
    } else if (next_ == '<') {
        ReadDelimited(XTokenKind::Guid, '>', kMaxGuidLength);
    } else {
        SetFault("a character that starts no word");
    }
}

bool XTokenReader::SkipSpaceAndComments()
{
    for (;;) {
        while (next_ >= 0 && IsSpace(next_)) {
            TakeByte();
        }
        if (next_ == '/') {
            TakeByte();
            if (next_ != '/') {
                SetFault("a single '/' where a comment would start");
                return false;
            }
        } else if (next_ != '#') {
            return true;
        }
        while (next_ >= 0 && next_ != '\n') {
            TakeByte();
        }
    }
}

void XTokenReader::ReadWord(XTokenKind kind, bool (*belongs)(int c), std::size_t limit)
{
    current_.kind = kind;
    while (next_ >= 0 && belongs(next_)) {
        if (current_.text.size() == limit) {
            SetFault("a word longer than its limit");
            return;
        }
        current_.text.push_back(static_cast<char>(next_));
        TakeByte();
    }
}

void XTokenReader::ReadDelimited(XTokenKind kind, int close, std::size_t limit)
{
    current_.kind = kind;
    TakeByte(); // the opening quote or bracket
    while (next_ != close) {
        if (next_ < 0x20 || next_ == 0x7F) {
            SetFault(next_ < 0 ? "a quoted text or GUID left open at the end of the file"
                               : "a control character inside a quoted text or GUID");
            return;
        }
        if (current_.text.size() == limit) {
            SetFault("a quoted text or GUID longer than its limit");
            return;
        }
        current_.text.push_back(static_cast<char>(next_));
        TakeByte();
    }
    TakeByte(); // the closing one
}

void XTokenReader::SetFault(const char* why)
{
    current_.kind = XTokenKind::Fault;
    current_.text = why;
    current_.offset = nextOffset_ - 1;
}
