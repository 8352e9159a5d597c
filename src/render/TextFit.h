// Text cut to the width it is drawn in, for text the player did not type
// here (names and chat from the network): it never runs past its panel.
// No font is asked (the screens draw headless too): no character of the
// game's fonts moves the pen further than its font's widest, so a text of
// width / widest characters always fits. Lines of typical letters thus stop
// somewhat short of the edge, never past it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The widest advance, in pixels, of any character of the font of this key
// (TextManager's "Default", "ButtonDefault" and "GameOverFont"); an unknown
// key gets the widest of them all.
int WidestCharacterPixels(std::string_view fontKey);

// The characters of the font that always fit in pixels (0 for no room).
std::size_t CharactersThatFit(int pixels, std::string_view fontKey);

// text, cut to the characters that fit in pixels.
std::string FitTextToWidth(const std::string& text, int pixels, std::string_view fontKey);
