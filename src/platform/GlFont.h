// A font for the OpenGL device: FreeType draws every glyph of the game's
// character set once into an atlas texture, and text becomes one textured
// quad per glyph. Text is bytes read as Latin-1; the glyph table has an entry
// for each of the 256 byte values, so any byte a name or a chat line carries
// is looked up safely (control bytes draw nothing, characters the face lacks
// draw its missing-glyph box). An outlined font also keeps, beside each
// glyph, its rim: the glyph's shape grown by about a pixel and a half, drawn
// dark under the whole run of text before the glyphs themselves.
#pragma once

#include "platform/RenderDevice.h"

#include <array>
#include <memory>
#include <string_view>
#include <vector>

namespace platform {

class GlFont : public Font {
public:
    struct Glyph {
        bool drawn = false; // false for control bytes
        int atlasX = 0;
        int atlasY = 0;
        int width = 0;
        int height = 0;
        int left = 0; // pen to the bitmap's left edge
        int top = 0;  // baseline up to the bitmap's top edge
        int advance = 0;
        // The rim's bitmap in the atlas (outlined fonts only), kRimReach
        // pixels larger than the glyph's on every side.
        int rimAtlasX = 0;
        int rimAtlasY = 0;
    };

    static constexpr int kRimReach = 2;

    // nullptr (and a reason) when the font file cannot be read.
    static std::unique_ptr<GlFont> Create(RenderDevice& device, const FontDesc& desc, std::string* error);

    int LineHeight() const override { return lineHeight_; }
    int TextWidth(std::string_view text) const override;
    int Ascent() const { return ascent_; }
    const Glyph& GetGlyph(unsigned char byte) const { return glyphs_[byte]; }
    Texture* GetAtlas() const { return atlas_.get(); }

    // Appends two triangles per drawn glyph of text, top left at (x, y);
    // for an outlined font the rims of the whole text come first, in a dark
    // colour that fades with the text's alpha.
    void AppendQuads(std::string_view text, int x, int y, std::uint32_t argb, std::vector<ScreenTexVertex>& out) const;

private:
    GlFont() = default;

    void AppendRun(std::string_view text, int x, int y, std::uint32_t argb, bool rims,
                   std::vector<ScreenTexVertex>& out) const;

    std::array<Glyph, 256> glyphs_{};
    std::unique_ptr<Texture> atlas_;
    int atlasWidth_ = 0;
    int atlasHeight_ = 0;
    int lineHeight_ = 16;
    int ascent_ = 12;
    bool outlined_ = false;
};

// The font files faces are drawn from: DejaVu Sans stands in for every face.
const char* FontFilePath(const FontDesc& desc);

} // namespace platform
