#include "world/XTokenReader.h"

#include "TestMeshes.h"

#include <doctest/doctest.h>

namespace {

std::vector<XToken> ReadAll(const std::string& text, std::string& fault)
{
    XTokenReader reader(testing::Bytes(text));
    std::vector<XToken> tokens;
    if (!reader.Start(fault)) {
        return tokens;
    }
    for (int guard = 0; guard < 100; ++guard) {
        tokens.push_back(reader.Current());
        if (reader.Current().kind == XTokenKind::End || reader.Current().kind == XTokenKind::Fault) {
            reader.Advance(); // the last word stays put
            CHECK(reader.Current().kind == tokens.back().kind);
            break;
        }
        reader.Advance();
    }
    return tokens;
}

} // namespace

TEST_CASE("mesh file words are read between separators, comments and white space, with where they start")
{
    const std::string text = "xof 0303txt 0032Frame Body{ -1.5;;2,3e-1 \"a b.png\" <AB-12> // note {\n"
                             " # more }\n}";
    std::string fault;
    const std::vector<XToken> tokens = ReadAll(text, fault);
    const std::pair<XTokenKind, const char*> expected[] = {{XTokenKind::Name, "Frame"},   {XTokenKind::Name, "Body"},
                                                           {XTokenKind::OpenBrace, ""},   {XTokenKind::Number, "-1.5"},
                                                           {XTokenKind::Number, "2"},     {XTokenKind::Number, "3e-1"},
                                                           {XTokenKind::Text, "a b.png"}, {XTokenKind::Guid, "AB-12"},
                                                           {XTokenKind::CloseBrace, ""},  {XTokenKind::End, ""}};
    REQUIRE(tokens.size() == std::size(expected));
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        INFO("word " << i);
        CHECK(tokens[i].kind == expected[i].first);
        CHECK(tokens[i].text == expected[i].second);
    }
    CHECK(tokens[0].offset == 16);
    CHECK(tokens[3].offset == text.find("-1.5"));
    CHECK(tokens[8].offset == text.size() - 1);
    CHECK(tokens[9].offset == text.size());
}

TEST_CASE("a mesh file word over its limit, an open text or a stray character is a fault that stays")
{
    const std::pair<std::string, const char*> cases[] = {
        {std::string(128, 'n'), "longer than its limit"},
        {std::string(65, '1'), "longer than its limit"},
        {"\"" + std::string(256, 't') + "\"", "longer than its limit"},
        {"\"no end", "left open"},
        {"\"two\nlines\"", "control character"},
        {"Frame @", "starts no word"},
        {"/ comment", "single '/'"},
    };
    for (const auto& [body, why] : cases) {
        INFO(body.substr(0, 20));
        std::string fault;
        const std::vector<XToken> tokens = ReadAll("xof 0303txt 0032\n" + body, fault);
        REQUIRE_FALSE(tokens.empty());
        CHECK(tokens.back().kind == XTokenKind::Fault);
        CHECK(tokens.back().text.find(why) != std::string::npos);
    }
    const std::pair<std::string, const char*> headers[] = {
        {"xof 0303txt", "shorter"},
        {"xof 0303bin 0032", "text form"},
        {"XOF 0303txt 0032", "xof"},
        {"xof 0303txt 0016", "float size"},
    };
    for (const auto& [header, why] : headers) {
        INFO(header);
        std::string fault;
        CHECK(ReadAll(header, fault).empty());
        CHECK(fault.find(why) != std::string::npos);
    }
}
