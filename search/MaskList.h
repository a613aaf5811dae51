// A box of wildcard masks separated by ";" or "," ("*.cpp;*.h", "*.cpp, *.h"): a name passes
// when it matches one of them. Each mask matches the whole name with TMask's rules; it is not
// wrapped in "*...*" as the name fragment is. Blanks around a mask are dropped and empty
// masks ignored, so an empty box holds no mask; a blank inside one is part of it ("New folder").
#pragma once

#include "search/Masks.h"

#include <string_view>
#include <vector>

namespace quennet {

class MaskList {
  public:
    MaskList() = default;
    // Throws EMaskException with the faulty mask's message.
    explicit MaskList(std::string_view text);

    bool Empty() const { return masks_.empty(); }
    bool MatchesAny(std::string_view name) const;

  private:
    std::vector<TMask> masks_;
};

} // namespace quennet
