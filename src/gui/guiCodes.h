// The codes the GUI toolkit speaks, and its one-word argument and callback.
//
// guiMessage (input/guiMessage.h, where the keyboard and mouse that send them
// live): input offered to the windows, front window first. guiEvent: what a
// widget reports to its own callback.
// guiObjectType: the widget kinds, stored in every widget and checked when
// a widget is fetched as a given kind.
#pragma once

#include "input/guiMessage.h"

#include <cstdint>

enum guiObjectType : std::uint32_t {
    kGuiButton = 0,
    kGuiEditBox = 1,
    kGuiSlider = 2,
    kGuiDropBox = 3,
    kGuiCheckBox = 4,
};

enum guiEvent : std::uint32_t {
    // a = the button; b = 0.
    kGuiButtonPressed = 100,
    // The first left-button release after a press of the button, wherever
    // the cursor is: a completed click. Screens act on this one.
    kGuiButtonReleased = 101,
    // a = the check box; b = 0.
    kGuiChecked = 102,
    kGuiUnchecked = 103,
    // a = the new value (float); b = the change (float), sent on every drag move.
    kGuiSliderMoved = 104,
    // a = the value; sent on every left-button release that reaches a slider.
    kGuiSliderReleased = 105,
    // a = the box's text (char*), a copy valid for the call only.
    kGuiEditBoxEnter = 107,
};

// One argument word: a signed 32-bit integer, the bits of a float, or a
// pointer. The tag keeps them apart, so an integer is never read back as a
// pointer: asking for the wrong kind gives 0 or null.
class guiParam {
public:
    guiParam() = default;
    static guiParam FromInt(std::int32_t value);
    static guiParam FromFloat(float value);
    static guiParam FromPointer(void* value);

    std::int32_t AsInt() const { return kind_ == Kind::kInt ? value_.i : 0; }
    float AsFloat() const { return kind_ == Kind::kFloat ? value_.f : 0.0f; }
    void* AsPointer() const { return kind_ == Kind::kPointer ? value_.p : nullptr; }

private:
    enum class Kind : std::uint8_t {
        kInt,
        kFloat,
        kPointer,
    };
    union Value {
        std::int32_t i;
        float f;
        void* p;
    };

    Kind kind_ = Kind::kInt;
    Value value_{0};
};

inline guiParam guiParam::FromInt(std::int32_t value)
{
    guiParam param;
    param.kind_ = Kind::kInt;
    param.value_.i = value;
    return param;
}

inline guiParam guiParam::FromFloat(float value)
{
    guiParam param;
    param.kind_ = Kind::kFloat;
    param.value_.f = value;
    return param;
}

inline guiParam guiParam::FromPointer(void* value)
{
    guiParam param;
    param.kind_ = Kind::kPointer;
    param.value_.p = value;
    return param;
}

// A window's callback receives guiMessage codes, a widget's guiEvent codes.
// Setting *handled stops the message going any further. The result is ignored.
using guiCallback = std::uint32_t (*)(std::uint32_t code, guiParam* a, guiParam* b, bool* handled);
