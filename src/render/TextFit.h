// Text cut to the width it is drawn in: the longest start of the text that,
// with "..." after it, measures no wider than the room (the whole text when it
// fits). Used for names and chat from the network and for long names in the
// statistics, so nothing runs past its panel or column. The measure is the
// font's own, through a canvas or the TextManager.
#pragma once

#include <functional>
#include <string>

using TextMeasure = std::function<int(const std::string&)>;

std::string FitTextToWidth(const std::string& text, int maxWidth, const TextMeasure& measure);
