// Throughput of the phrase search on cached data and of name matching, one thread.
#include "search/Masks.h"
#include "search/PhraseFinder.h"
#include "search/Utf16PhraseFinder.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

std::string TextBlock(std::size_t size) {
    static const char* kWords[] = {"the ", "search ", "buffer ", "Folder ",
                                   "of ",  "and ",    "phrase ", "File\n"};
    std::mt19937 rng(1);
    std::string text;
    while (text.size() < size)
        text += kWords[rng() % 8];
    text.resize(size);
    return text;
}

void PhraseSearch(benchmark::State& state, bool fold) {
    const std::string block = TextBlock(1 << 20); // one chunk, as the scanner reads it
    const quennet::PhraseFinder finder("quennetrarephrase", fold);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            finder.Find(reinterpret_cast<const unsigned char*>(block.data()), block.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(block.size()));
}
BENCHMARK_CAPTURE(PhraseSearch, exact, false);
BENCHMARK_CAPTURE(PhraseSearch, folded, true);

// The same text as a UTF-16LE file holds it, one chunk of it.
void PhraseSearchUtf16(benchmark::State& state, bool fold) {
    const std::string text = TextBlock(1 << 19);
    std::string block;
    for (char c : text)
        block += {c, '\0'};
    const quennet::Utf16PhraseFinder finder(u"quennetrarephrase", fold, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            finder.Find(reinterpret_cast<const unsigned char*>(block.data()), block.size(), 2));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(block.size()));
}
BENCHMARK_CAPTURE(PhraseSearchUtf16, exact, false);
BENCHMARK_CAPTURE(PhraseSearchUtf16, folded, true);

void NameMatch(benchmark::State& state) {
    const quennet::TMask mask("*frag*");
    const std::string names[] = {"file000123.dat", "frag000124.dat", "README.md",
                                 "a-much-longer-name-of-a-file.txt"};
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(mask.Matches(names[i++ % 4]));
}
BENCHMARK(NameMatch);

void NameMatchManyStars(benchmark::State& state) {
    // Backtracking over many stars stays polynomial.
    const quennet::TMask mask("*a*a*a*a*a*a*a*a*b*");
    const std::string name(200, 'a');
    for (auto _ : state)
        benchmark::DoNotOptimize(mask.Matches(name));
}
BENCHMARK(NameMatchManyStars);

} // namespace
