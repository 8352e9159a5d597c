// Words nobody else can guess, for secrets such as the word a client and its
// host share to prove their datagrams. Drawn from the operating system's
// random source, never from the game's seedable generator (Random.h), whose
// next values anyone who knows the seed can tell.
#pragma once

#include <cstdint>

namespace platform {

// A fresh unpredictable word, never 0 (0 stands for "no word").
std::uint32_t UnpredictableWord();

} // namespace platform
