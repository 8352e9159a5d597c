// A drop box in name only: the game never makes one, so it keeps its items
// and draws and does nothing. Fetching one by kind still works, so a screen
// that asks gets a widget rather than null.
#pragma once

#include "gui/guiObject.h"

#include <string>

class guiDropBox : public guiObject {
public:
    guiDropBox(guiWindow* owner, guiCallback callback, float x, float y, float width, float height);

    std::uint32_t HandleMessage(std::uint32_t message, guiParam a, guiParam b, bool* handled) override;
    void Render(float windowX, float windowY, float windowWidth, float windowHeight, std::uint32_t color) override;

    void AddItem(const std::string& item) { (void)item; }
    void RemoveItem(const std::string& item) { (void)item; }
    void SelectItem(std::int32_t index) { (void)index; }
    // Always empty.
    std::string GetSelectedItem() const { return selected_; }

private:
    std::string selected_;
};
