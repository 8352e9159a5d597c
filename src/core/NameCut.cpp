// NameCut: the cut and the trim of the spaces it leaves.
#include "core/NameCut.h"

std::string CutName(const std::string& name, std::size_t maxBytes)
{
    if (name.size() <= maxBytes) {
        return name;
    }
    std::string cut = name.substr(0, maxBytes);
    while (!cut.empty() && cut.back() == ' ') {
        cut.pop_back();
    }
    return cut;
}
