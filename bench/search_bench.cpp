// Search, count and replace-all over a 16 MiB document, against glibc memchr/memmem and
// a plain first-byte loop on the same buffer, measured in the same run.

#include <benchmark/benchmark.h>

#include <cstring>

#include "BenchTable.h"
#include "core/Form1.h"
#include "support/FakePlatform.h"

namespace {

using namespace quillory;

constexpr std::size_t kSize = 16 * 1024 * 1024;

const Bytes kAdversarialPattern = {0x41, 0x41, 0x41, 0x42};
const Bytes kRarePattern = {0x41, 0x42, 0x43, 0x44};

// All 0x41, with 41 41 41 42 as the last four bytes: every position passes a first-byte
// test and the only occurrence ends on the last byte.
const Bytes& adversarial() {
    static const Bytes bytes = [] {
        Bytes b(kSize, 0x41);
        std::memcpy(b.data() + kSize - 4, kAdversarialPattern.data(), 4);
        return b;
    }();
    return bytes;
}

// Bytes below 0x40, with 41 42 43 44 at the end: the first byte occurs once.
const Bytes& rareFirstByte() {
    static const Bytes bytes = [] {
        Bytes b(kSize);
        std::uint32_t x = 12345;
        for (auto& v : b) {
            x = x * 1103515245u + 12345u;
            v = static_cast<std::uint8_t>((x >> 16) & 0x3F);
        }
        std::memcpy(b.data() + kSize - 4, kRarePattern.data(), 4);
        return b;
    }();
    return bytes;
}

// 41 00 41 00 ...: a one-byte pattern at every other byte.
const Bytes& everyOther() {
    static const Bytes bytes = [] {
        Bytes b(kSize, 0x00);
        for (std::size_t i = 0; i < kSize; i += 2)
            b[i] = 0x41;
        return b;
    }();
    return bytes;
}

const Bytes& allA() {
    static const Bytes bytes(kSize, 0x41);
    return bytes;
}

struct Document {
    testing::FakePlatform fake;
    Form1 form{fake};
    explicit Document(const Bytes& bytes) {
        form.Form_Load();
        form.loadDocument(bytes);
    }
};

std::int64_t memmemFind(const Bytes& text, const Bytes& pattern) {
    const void* hit = memmem(text.data(), text.size(), pattern.data(), pattern.size());
    return hit ? static_cast<const std::uint8_t*>(hit) - text.data() : -1;
}

// The scan as a plain loop: a first-byte test, then the rest of the pattern.
std::int64_t firstByteLoop(const Bytes& text, const Bytes& pattern) {
    const std::size_t m = pattern.size();
    const std::uint8_t first = pattern[0];
    for (std::size_t a = 0; a + m <= text.size(); ++a) {
        if (text[a] != first) continue;
        std::size_t k = 1;
        while (k < m && text[a + k] == pattern[k])
            ++k;
        if (k == m) return static_cast<std::int64_t>(a);
    }
    return -1;
}

// Non-overlapping occurrences, each search starting right after the previous one.
std::int64_t memmemCount(const Bytes& text, const Bytes& pattern) {
    std::int64_t n = 0;
    const std::uint8_t* p = text.data();
    const std::uint8_t* const end = text.data() + text.size();
    while (const void* hit =
               memmem(p, static_cast<std::size_t>(end - p), pattern.data(), pattern.size())) {
        ++n;
        p = static_cast<const std::uint8_t*>(hit) + pattern.size();
    }
    return n;
}

void lookupOnce(benchmark::State& state, const Bytes& text, const Bytes& pattern) {
    Document doc(text);
    doc.form.BlockBytes = pattern;
    const auto dLen = static_cast<std::int32_t>(pattern.size()) - 1;
    for (auto _ : state) {
        const std::int32_t at = doc.form.Lookup(0, dLen, kFalse);
        if (doc.form.PageStart + at != static_cast<std::int32_t>(kSize) - 4)
            state.SkipWithError("wrong occurrence");
        benchmark::DoNotOptimize(at);
    }
}

void BM_Lookup_Adversarial(benchmark::State& state) {
    lookupOnce(state, adversarial(), kAdversarialPattern);
}
void BM_Baseline_Memmem_Adversarial(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(memmemFind(adversarial(), kAdversarialPattern));
}
void BM_Baseline_FirstByteLoop_Adversarial(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(firstByteLoop(adversarial(), kAdversarialPattern));
}
BENCHMARK(BM_Lookup_Adversarial)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline_Memmem_Adversarial)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline_FirstByteLoop_Adversarial)->Unit(benchmark::kMillisecond);
// At most 1.5 times the faster of the two baselines: within 1.5 times each of them.
QUILLORY_TARGET("BM_Lookup_Adversarial", "BM_Baseline_Memmem_Adversarial", 1.5, 100);
QUILLORY_TARGET("BM_Lookup_Adversarial", "BM_Baseline_FirstByteLoop_Adversarial", 1.5, 100);

void BM_Lookup_RareFirstByte(benchmark::State& state) {
    lookupOnce(state, rareFirstByte(), kRarePattern);
}
void BM_Baseline_Memchr_RareFirstByte(benchmark::State& state) {
    const Bytes& text = rareFirstByte();
    for (auto _ : state)
        benchmark::DoNotOptimize(std::memchr(text.data(), 0x41, text.size()));
}
void BM_Baseline_Memmem_RareFirstByte(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(memmemFind(rareFirstByte(), kRarePattern));
}
BENCHMARK(BM_Lookup_RareFirstByte)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline_Memchr_RareFirstByte)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline_Memmem_RareFirstByte)->Unit(benchmark::kMillisecond);
QUILLORY_TARGET("BM_Lookup_RareFirstByte", "BM_Baseline_Memchr_RareFirstByte", 1.5, 0);
QUILLORY_TARGET("BM_Lookup_RareFirstByte", "BM_Baseline_Memmem_RareFirstByte", 1.5, 0);

// Count mode of find next, from offset 0, with the marked data as a clicked byte or as
// a pair picked with two double clicks.
void countAll(benchmark::State& state, const Bytes& text, const Bytes& pattern) {
    Document doc(text);
    const std::u16string expected = u"共找到8388608处选定数据";
    for (auto _ : state) {
        doc.form.SelStart = 0;
        doc.form.SelSpan = static_cast<std::int32_t>(pattern.size()) - 1;
        doc.form.PickCount = 2;
        doc.form.BlockBytes = pattern;
        doc.fake.messages.clear();
        doc.form.Hnext(0);
        if (doc.fake.messages.size() != 1 || doc.fake.messages[0].text != expected)
            state.SkipWithError("wrong count");
    }
}

void BM_Count_OneByteEveryOther(benchmark::State& state) {
    countAll(state, everyOther(), {0x41});
}
void BM_Baseline_MemmemCount_OneByteEveryOther(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(memmemCount(everyOther(), {0x41}));
}
void BM_Count_PairsInRun(benchmark::State& state) {
    countAll(state, allA(), {0x41, 0x41});
}
void BM_Baseline_MemmemCount_PairsInRun(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(memmemCount(allA(), {0x41, 0x41}));
}
BENCHMARK(BM_Count_OneByteEveryOther)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline_MemmemCount_OneByteEveryOther)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Count_PairsInRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Baseline_MemmemCount_PairsInRun)->Unit(benchmark::kMillisecond);
QUILLORY_TARGET("BM_Count_OneByteEveryOther", "BM_Baseline_MemmemCount_OneByteEveryOther", 1.5, 0);
QUILLORY_TARGET("BM_Count_PairsInRun", "BM_Baseline_MemmemCount_PairsInRun", 1.5, 0);

// Replace all after 41 41 at offset 0 was replaced with 42 42: 8 Mi - 1 further pairs.
void BM_ReplaceAll_PairsInRun(benchmark::State& state) {
    Document doc(allA());
    const std::u16string expected = u"幸不辱命，全部替换完毕（共替换8388607次）！";
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(doc.form.FileBytes.data(), allA().data(), kSize);
        doc.form.PageStart = 0;
        doc.form.SelStart = 0;
        doc.form.SelSpan = 1;
        doc.form.PickCount = 2;
        doc.form.BlockBytes = {0x41, 0x41};
        doc.fake.prompts.push_back(u"42 42");
        doc.form.Swap(1);
        doc.fake.messages.clear();
        state.ResumeTiming();
        doc.form.SwapNext(1);
        if (doc.fake.messages.size() != 1 || doc.fake.messages[0].text != expected)
            state.SkipWithError("wrong replacement count");
    }
}
BENCHMARK(BM_ReplaceAll_PairsInRun)->Unit(benchmark::kMillisecond);
QUILLORY_TARGET("BM_ReplaceAll_PairsInRun", "BM_Baseline_MemmemCount_PairsInRun", 2.0, 0);

} // namespace
