// A line of typed text. Only a focused box takes keys, and focus is given and
// taken by the screens (clicking a box does not focus it). Backspace removes
// the last character, Enter reports 107 with a copy of the text and then,
// when clear on Enter is set, empties the box; any other character is
// appended while there is room.
//
// The text is bounded: by the box's maximum length when it has one, and never
// beyond kMaxTextLength, so a box without a limit cannot grow for ever.
//
// A text wider than its box is shown by its end, where the typing is, so it
// never runs past the box's inner edge (the text offset in from its right,
// as on its left).
//
// A box laid over the battle (the chat line) may draw its text outlined and
// grow with it: the background widens to hold the text, up to a limit, and
// is never shorter than a line; past the limit it too shows the end of the
// text.
#pragma once

#include "gui/guiObject.h"
#include "platform/math/Color.h"
#include "render/TextureLoader.h"

#include <string>

class Canvas2D;

class guiEditBox : public guiObject {
public:
    static constexpr std::size_t kMaxTextLength = 255;

    guiEditBox(guiWindow* owner, guiCallback callback, float x, float y, float width, float height);

    std::uint32_t HandleMessage(std::uint32_t message, guiParam a, guiParam b, bool* handled) override;
    // The background, then the text and, while focused, a "_" cursor.
    void Render(float windowX, float windowY, float windowWidth, float windowHeight, std::uint32_t color) override;

    std::string GetText() const { return text_; }
    // Cut to the box's bound.
    void SetText(const std::string& text);
    void SetActive(std::uint8_t active) { focus_ = active != 0; }
    std::uint8_t IsActive() const { return focus_ ? 1 : 0; }
    void SetClearOnEnter(std::uint8_t clear) { clearOnEnter_ = clear != 0; }
    bool GetClearOnEnter() const { return clearOnEnter_; }
    // 0: only the toolkit's own bound.
    void SetMaxLength(std::int32_t length) { maxLength_ = length; }
    std::int32_t GetMaxLength() const { return maxLength_; }
    void SetTextOffsetX(std::int32_t x) { textOffsetX_ = x; }
    void SetTextOffsetY(std::int32_t y) { textOffsetY_ = y; }
    void SetTextColor(float r, float g, float b, float a) { textColor_ = {r, g, b, a}; }
    void SetFontKey(const std::string& fontKey) { fontKey_ = fontKey; }
    const std::string& GetFontKey() const { return fontKey_; }
    void SetBackgroundTexture(const std::string& file);
    void SetOutlinedText(bool outlined) { outlinedText_ = outlined; }
    // The widest the box may grow, in fractions of its window like its
    // width; 0 (the default) keeps the box at its own size.
    void SetGrowLimit(float maxWidth) { growLimit_ = maxWidth; }

private:
    std::size_t Capacity() const;
    void Type(char character);
    void Enter(bool* handled);
    // Widens and deepens rect to hold shown, and cuts shown's start when
    // even the widest box is too narrow.
    void GrowToText(const Canvas2D& canvas, guiRect& rect, std::string& shown) const;
    // Cuts shown's start until the rest measures no more than room pixels.
    void KeepEndThatFits(const Canvas2D& canvas, float room, std::string& shown) const;

    std::string text_;
    bool focus_ = false;
    bool clearOnEnter_ = true;
    std::int32_t maxLength_ = 0;
    TextureHandle background_;
    ColorValue textColor_{1.0f, 1.0f, 1.0f, 1.0f};
    std::string fontKey_ = "Default";
    std::int32_t textOffsetX_ = 0;
    std::int32_t textOffsetY_ = 0;
    bool outlinedText_ = false;
    float growLimit_ = 0.0f;
};
