#include "hexcontrol/HexFind.h"

#include "search/Utf16PhraseFinder.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <vector>

namespace quennet {

namespace {
constexpr std::size_t kChunk = 1 << 20;
} // namespace

HexFindJob::HexFindJob(const HexData& data, HexPos from, const SearchedPhrase& phrase)
    : data_(data), from_(std::max<HexPos>(from, 0)) {
    ByteOrderMark mark = ByteOrderMark::None;
    if (!phrase.Wide.empty() && data.Size() >= static_cast<HexPos>(kByteOrderMarkSize)) {
        std::uint8_t head[kByteOrderMarkSize];
        data.Read(0, kByteOrderMarkSize, head);
        mark = ByteOrderMarkOf(head, kByteOrderMarkSize);
    }
    if (mark == ByteOrderMark::None) {
        auto finder = std::make_shared<const PhraseFinder>(phrase.Bytes, phrase.FoldCase);
        length_ = static_cast<HexPos>(finder->Length());
        find_ = [f = finder.get()](const std::uint8_t* bytes, std::size_t count, HexPos) {
            return f->Find(bytes, count);
        };
        finder_ = std::move(finder);
    } else {
        auto finder = std::make_shared<const Utf16PhraseFinder>(phrase.Wide, phrase.FoldCase,
                                                                mark == ByteOrderMark::BigEndian);
        length_ = static_cast<HexPos>(finder->Length());
        find_ = [f = finder.get()](const std::uint8_t* bytes, std::size_t count, HexPos offset) {
            return f->Find(bytes, count, offset);
        };
        finder_ = std::move(finder);
        // The mark itself is not text.
        from_ = std::max<HexPos>(from_, static_cast<HexPos>(kByteOrderMarkSize));
    }
    done_ = length_ == 0;
}

bool HexFindJob::Step(std::size_t budget) {
    std::size_t read = 0;
    while (!done_ && (read == 0 || read < budget)) {
        if (from_ + length_ > data_.Size()) {
            done_ = true;
            break;
        }
        const auto count = static_cast<std::size_t>(std::min<HexPos>(kChunk, data_.Size() - from_));
        chunk_.resize(count);
        data_.Read(from_, count, chunk_.data());
        read += count;
        const std::size_t at = find_(chunk_.data(), count, from_);
        if (at != PhraseFinder::npos) {
            found_ = from_ + static_cast<HexPos>(at);
            done_ = true;
        } else if (from_ + static_cast<HexPos>(count) >= data_.Size()) {
            done_ = true;
        } else {
            // The next read starts where a match cut by this one's end would start.
            from_ += static_cast<HexPos>(count) - length_ + 1;
        }
    }
    return done_;
}

HexFindJob::HexFindJob(const HexData& data, HexPos from, const PhraseFinder& finder)
    : data_(data), from_(std::max<HexPos>(from, 0)), length_(static_cast<HexPos>(finder.Length())),
      find_([&finder](const std::uint8_t* bytes, std::size_t count, HexPos) { return finder.Find(bytes, count); }),
      done_(length_ == 0) {}

HexPos HexFindNext(const HexData& data, HexPos from, const PhraseFinder& finder) {
    if (from < 0)
        return -1;
    HexFindJob job(data, from, finder);
    while (!job.Step(kChunk)) {
    }
    return job.Result().At;
}

HexFound HexFindNext(const HexData& data, HexPos from, const SearchedPhrase& phrase) {
    HexFindJob job(data, from, phrase);
    while (!job.Step(kChunk)) {
    }
    return job.Result();
}

std::optional<HexPos> ParseHexOffset(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    std::string digits = text.substr(begin, end - begin);
    bool hex = false;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.erase(0, 2);
        hex = true;
    } else if (digits.size() > 1 && (digits.back() == 'h' || digits.back() == 'H')) {
        digits.pop_back();
        hex = true;
    }
    if (digits.empty())
        return std::nullopt;
    for (char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        hex = hex || !std::isdigit(static_cast<unsigned char>(c));
    }
    const int radix = hex ? 16 : 10;
    HexPos value = 0;
    for (char c : digits) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
        if (value > (std::numeric_limits<HexPos>::max() - digit) / radix)
            return std::nullopt;
        value = value * radix + digit;
    }
    return value;
}

} // namespace quennet
