#include "hexcontrol/HexFind.h"

#include "search/Utf16PhraseFinder.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <vector>

namespace quennet {

namespace {
constexpr std::size_t kChunk = 1 << 20;
constexpr std::int64_t kNoEnd = std::numeric_limits<std::int64_t>::max() / 2;
const std::atomic<bool> kNeverStopped{false}; // the viewer cancels a job by dropping it
} // namespace

HexFindJob::HexFindJob(const HexData& data, HexPos from, const SearchedPhrase& phrase)
    : data_(data), from_(std::max<HexPos>(from, 0)) {
    if (phrase.RegularExpression) {
        regex_ = std::make_unique<RegexFinder>(phrase.Bytes, !phrase.FoldCase, kNeverStopped);
        regex_->Begin(
            [&data](unsigned char* to, std::size_t count, std::int64_t offset) {
                const auto n = static_cast<std::size_t>(std::clamp<HexPos>(data.Size() - offset, 0, static_cast<HexPos>(count)));
                data.Read(offset, n, to);
                return n;
            },
            from_);
        return;
    }
    ByteOrderMark mark = ByteOrderMark::None;
    if (!phrase.Wide.empty() && data.Size() >= static_cast<HexPos>(kByteOrderMarkSize)) {
        std::uint8_t head[kByteOrderMarkSize];
        data.Read(0, kByteOrderMarkSize, head);
        mark = ByteOrderMarkOf(head, kByteOrderMarkSize);
    }
    auto bytes = std::make_shared<const PhraseFinder>(phrase.Bytes, phrase.FoldCase);
    const auto bytesLength = static_cast<HexPos>(bytes->Length());
    shortest_ = longest_ = bytesLength;
    if (mark == ByteOrderMark::None) {
        find_ = [f = bytes.get(), bytesLength](const std::uint8_t* chunk, std::size_t count, HexPos) {
            const std::size_t at = f->Find(chunk, count);
            return at == PhraseFinder::npos ? HexFound{} : HexFound{static_cast<HexPos>(at), bytesLength};
        };
        finder_ = std::move(bytes);
    } else {
        // As the search that listed the file: its bytes or its UTF-16 form, so F3 stops at
        // every match the search could have shown.
        auto wide = std::make_shared<const Utf16PhraseFinder>(phrase.Wide, phrase.FoldCase,
                                                              mark == ByteOrderMark::BigEndian);
        const auto wideLength = static_cast<HexPos>(wide->Length());
        shortest_ = std::min(bytesLength, wideLength);
        longest_ = std::max(bytesLength, wideLength);
        find_ = [b = bytes.get(), w = wide.get(), bytesLength, wideLength](const std::uint8_t* chunk,
                                                                           std::size_t count, HexPos offset) {
            HexFound found;
            const std::size_t at = b->Find(chunk, count);
            if (at != PhraseFinder::npos)
                found = {static_cast<HexPos>(at), bytesLength};
            // The mark itself is not text.
            const auto skip = static_cast<std::size_t>(
                std::clamp<HexPos>(static_cast<HexPos>(kByteOrderMarkSize) - offset, 0, static_cast<HexPos>(count)));
            const std::size_t unitAt = w->Find(chunk + skip, count - skip, offset + static_cast<HexPos>(skip));
            if (unitAt != PhraseFinder::npos && (found.At < 0 || static_cast<HexPos>(unitAt + skip) < found.At))
                found = {static_cast<HexPos>(unitAt + skip), wideLength};
            return found;
        };
        finder_ = std::make_shared<std::pair<std::shared_ptr<const PhraseFinder>, std::shared_ptr<const Utf16PhraseFinder>>>(
            std::move(bytes), std::move(wide));
    }
    done_ = shortest_ == 0;
}

bool HexFindJob::StepRegex(std::size_t budget) {
    std::size_t read = 0;
    while (!done_ && (read == 0 || read < budget)) {
        RegexFinder::Step step = RegexFinder::Step::More;
        if (from_ >= data_.Size()) {
            step = regex_->Finish(kNoEnd);
        } else {
            const auto count = static_cast<std::size_t>(std::min<HexPos>(kChunk, data_.Size() - from_));
            chunk_.resize(count);
            data_.Read(from_, count, chunk_.data());
            step = regex_->Feed(chunk_.data(), count, from_, kNoEnd);
            from_ += static_cast<HexPos>(count);
            read += count;
        }
        if (step == RegexFinder::Step::Found)
            found_ = {regex_->Offset(), regex_->Length()};
        done_ = step != RegexFinder::Step::More;
    }
    return done_;
}

bool HexFindJob::Step(std::size_t budget) {
    if (regex_)
        return StepRegex(budget);
    std::size_t read = 0;
    while (!done_ && (read == 0 || read < budget)) {
        if (from_ + shortest_ > data_.Size()) {
            done_ = true;
            break;
        }
        const auto count = static_cast<std::size_t>(std::min<HexPos>(kChunk, data_.Size() - from_));
        chunk_.resize(count);
        data_.Read(from_, count, chunk_.data());
        read += count;
        const bool last = from_ + static_cast<HexPos>(count) >= data_.Size();
        const HexFound found = find_(chunk_.data(), count, from_);
        // A match is the earliest once no longer form could start before it and still be cut by
        // this read's end.
        if (found.At >= 0 && (last || found.At + longest_ <= static_cast<HexPos>(count))) {
            found_ = {from_ + found.At, found.Length};
            done_ = true;
        } else if (last) {
            done_ = true;
        } else {
            // The next read starts where a match cut by this one's end would start.
            from_ += static_cast<HexPos>(count) - longest_ + 1;
        }
    }
    return done_;
}

HexFindJob::HexFindJob(const HexData& data, HexPos from, const PhraseFinder& finder)
    : data_(data), from_(std::max<HexPos>(from, 0)), shortest_(static_cast<HexPos>(finder.Length())),
      longest_(shortest_), find_([&finder, length = shortest_](const std::uint8_t* bytes, std::size_t count, HexPos) {
          const std::size_t at = finder.Find(bytes, count);
          return at == PhraseFinder::npos ? HexFound{} : HexFound{static_cast<HexPos>(at), length};
      }),
      done_(shortest_ == 0) {}

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
