// A player's name cut to the bytes a field holds. A cut that ends between
// words leaves a space at the end, which would show doubled wherever the
// name is followed by more text ("... has left the game."), so the spaces
// the cut leaves go too.
#pragma once

#include <cstddef>
#include <string>

// name whole when it fits maxBytes; otherwise its first maxBytes bytes less
// any spaces they end with.
std::string CutName(const std::string& name, std::size_t maxBytes);
