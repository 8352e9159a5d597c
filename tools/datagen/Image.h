// An RGB picture the generators paint into, with JPEG and BMP output, and
// PNG output for pictures with alpha.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

struct Rgb {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

class Image {
public:
    Image(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb Get(int x, int y) const { return pixels_[Index(x, y)]; }
    void Set(int x, int y, const Rgb& colour) { pixels_[Index(x, y)] = colour; }
    // Mixes colour over the pixel by coverage 0..1; outside the picture is ignored.
    void Blend(int x, int y, const Rgb& colour, float coverage);

    // Baseline 8-bit RGB JPEG bytes.
    std::vector<std::uint8_t> EncodeJpeg(int quality) const;
    // An uncompressed 24-bit BMP file: its length depends on the size alone,
    // which map files need (their images of a group share one length).
    std::vector<std::uint8_t> EncodeBmp() const;

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }

    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

// An 8-bit RGBA PNG file from rows of RGBA bytes, top row first.
std::vector<std::uint8_t> EncodePngRgba(int width, int height, const std::vector<std::uint8_t>& rgba);

// Draws text with a TrueType font, centred on centreX with its baseline at
// baselineY. False when the font cannot be loaded.
bool DrawTextCentred(Image& image, const std::string& fontPath, int pixelSize, const std::string& text, int centreX,
                     int baselineY, const Rgb& colour, int letterSpacing);

} // namespace datagen
