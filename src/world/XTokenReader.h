// The words of a text mesh file, read one at a time through the bounded byte
// reader: names, numbers, quoted texts, GUIDs in angle brackets and braces.
// White space, the ';' and ',' separators and comments fall between words.
// Every word has a length limit, so no input makes a word grow without end;
// a character that cannot start a word, an unterminated text or a word over
// its limit gives a Fault word saying why.
#pragma once

#include "core/ByteReader.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

enum class XTokenKind { End, Name, Number, Text, Guid, OpenBrace, CloseBrace, Fault };

struct XToken {
    XTokenKind kind = XTokenKind::End;
    std::string text;       // the word (a Text without its quotes; for a Fault, why)
    std::size_t offset = 0; // where it starts in the file
};

class XTokenReader {
public:
    explicit XTokenReader(std::span<const std::uint8_t> bytes);

    // Checks the 16-byte header, then reads the first word. False, with the
    // reason in fault, for anything but the text form with 32- or 64-bit
    // floats.
    bool Start(std::string& fault);

    const XToken& Current() const { return current_; }
    void Advance();

    // Bytes from the start of the current word to the end of the file: an
    // upper bound on what is left to read.
    std::size_t Remaining() const { return current_.offset < size_ ? size_ - current_.offset : 0; }

private:
    void TakeByte();
    bool SkipSpaceAndComments();
    void ReadWord(XTokenKind kind, bool (*belongs)(int c), std::size_t limit);
    void ReadDelimited(XTokenKind kind, int close, std::size_t limit);
    void SetFault(const char* why);

    ByteReader bytes_;
    std::size_t size_ = 0;
    int next_ = -1; // the byte after the last one taken, -1 at the end
    std::size_t nextOffset_ = 0;
    XToken current_;
};
