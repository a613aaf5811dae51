// Finds the first occurrence of a phrase in a block of bytes, optionally folding A-Z to a-z
// while comparing (the phrase itself is already folded), so no lower-cased copy is made.
#pragma once

#include <cstddef>
#include <string>

namespace quennet {

class PhraseFinder {
  public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    PhraseFinder(std::string phrase, bool foldCase);

    std::size_t Length() const { return phrase_.size(); }

    // Index of the first occurrence that lies wholly inside data[0, size), or npos.
    std::size_t Find(const unsigned char* data, std::size_t size) const;

  private:
    bool MatchesAt(const unsigned char* at) const;
    template <bool Fold>
    std::size_t ScanAvx2(const unsigned char* data, std::size_t size, std::size_t& start) const;
    std::size_t FindScalar(const unsigned char* data, std::size_t from, std::size_t lastStart) const;

    std::string phrase_;
    bool fold_;
    // Two positions in the phrase whose bytes are unlikely in ordinary data; candidates are
    // the places where both bytes match, checked whole afterwards.
    std::size_t rare1_ = 0;
    std::size_t rare2_ = 0;
    // OR-ed into the data's bytes at those positions before comparing: 0x20 where the phrase
    // has a letter and case is folded, else 0.
    unsigned char caseBit1_ = 0;
    unsigned char caseBit2_ = 0;
};

} // namespace quennet
