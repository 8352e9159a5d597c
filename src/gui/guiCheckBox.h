// A check box: a press inside toggles it and reports 102 (now checked) or
// 103 (now unchecked). Four pictures: unchecked, checked, and each of them
// under the cursor.
#pragma once

#include "gui/guiObject.h"
#include "render/TextureLoader.h"

#include <string>

class guiCheckBox : public guiObject {
public:
    guiCheckBox(guiWindow* owner, guiCallback callback, float x, float y, float width, float height);

    std::uint32_t HandleMessage(std::uint32_t message, guiParam a, guiParam b, bool* handled) override;
    void Render(float windowX, float windowY, float windowWidth, float windowHeight, std::uint32_t color) override;

    void SetUncheckedTexture(const std::string& file);
    void SetCheckedTexture(const std::string& file);
    void SetHoverTexture(const std::string& file);
    void SetCheckedHoverTexture(const std::string& file);
    // Reports nothing.
    void SetChecked(std::uint8_t checked) { checked_ = checked != 0; }
    std::uint8_t IsChecked() const { return checked_ ? 1 : 0; }
    bool IsHovered() const { return hover_; }

private:
    platform::Texture* FaceToDraw() const;

    bool checked_ = false;
    bool hover_ = false;
    TextureHandle uncheckedTexture_;
    TextureHandle checkedTexture_;
    TextureHandle hoverTexture_;
    TextureHandle checkedHoverTexture_;
};
