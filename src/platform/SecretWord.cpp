// SecretWord: getrandom(2), which reads the kernel's random pool and waits
// only until the pool is first filled at boot; std::random_device when the
// call is missing or fails.
#include "platform/SecretWord.h"

#include <sys/random.h>

#include <cerrno>
#include <random>

namespace platform {

namespace {

std::uint32_t KernelWord()
{
    std::uint32_t word = 0;
    for (;;) {
        const ssize_t got = ::getrandom(&word, sizeof word, 0);
        if (got == static_cast<ssize_t>(sizeof word)) {
            return word;
        }
        if (got < 0 && errno != EINTR) {
            break;
        }
    }
    std::random_device device;
    return static_cast<std::uint32_t>(device());
}

} // namespace

std::uint32_t UnpredictableWord()
{
    std::uint32_t word = 0;
    while (word == 0) {
        word = KernelWord();
    }
    return word;
}

} // namespace platform
