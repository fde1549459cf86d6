// Block edits on a 16 MiB document: delete all, cut and insert at the front, copy to
// hex text and the key transform, each against the plain loop or memmove it should
// stay close to.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "BenchTable.h"
#include "blocks/HexPairs.h"
#include "core/Form1.h"
#include "support/FakePlatform.h"

namespace {

using namespace quillory;

constexpr std::size_t kBig = 16 * 1024 * 1024;
constexpr std::size_t kSmall = 256 * 1024;

Bytes everyOther41(std::size_t size) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = i % 2 ? 0x41 : 0x00;
    return b;
}

Bytes mixed(std::size_t size) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = static_cast<std::uint8_t>(i * 131 + (i >> 9));
    return b;
}

struct Bench {
    testing::FakePlatform fake;
    Form1 form{fake};
    Bench() { form.Form_Load(); }

    // Puts the document in place without a new buffer once the capacity is there.
    void load(const Bytes& doc) {
        form.FileBytes.assign(doc.begin(), doc.end());
        form.LastOffset = static_cast<std::int32_t>(doc.size());
        form.LengthChanged = kFalse;
        form.Fcount();
        form.CurPage = form.PageStart = 0;
        form.VscrollBar.setValue(0);
        form.Dirty = kFalse;
        fake.messages.clear();
        fake.promptsShown.clear();
    }

    // What cutting `pattern` at offset 0 leaves for delete next and delete all.
    void cutRecord(const Bytes& pattern) {
        form.CutAt = 0;
        form.cutBytes = pattern;
        form.BlockBytes = pattern;
        form.FindLast = static_cast<std::int32_t>(pattern.size());
    }
};

// ---- delete all ----

void deleteAll(benchmark::State& state, const Bytes& doc, const Bytes& pattern) {
    Bench b;
    for (auto _ : state) {
        state.PauseTiming();
        b.load(doc);
        b.cutRecord(pattern);
        state.ResumeTiming();
        b.form.DelAll(1);
        benchmark::DoNotOptimize(b.form.FileBytes.data());
    }
}

void BM_DelAll_EveryOtherByte_16MiB(benchmark::State& state) {
    deleteAll(state, everyOther41(kBig), {0x41});
}
BENCHMARK(BM_DelAll_EveryOtherByte_16MiB)->Unit(benchmark::kMillisecond);

void BM_DelAll_Pair4141_All41_16MiB(benchmark::State& state) {
    deleteAll(state, Bytes(kBig, 0x41), {0x41, 0x41});
}
BENCHMARK(BM_DelAll_Pair4141_All41_16MiB)->Unit(benchmark::kMillisecond);

void BM_DelAll_EveryOtherByte_256KiB(benchmark::State& state) {
    deleteAll(state, everyOther41(kSmall), {0x41});
}
BENCHMARK(BM_DelAll_EveryOtherByte_256KiB)->Unit(benchmark::kMillisecond);

// Plain read/write-cursor compaction on the same buffer, restored the same way.
void BM_Baseline_Compaction_EveryOtherByte_16MiB(benchmark::State& state) {
    const Bytes doc = everyOther41(kBig);
    Bytes buf;
    for (auto _ : state) {
        state.PauseTiming();
        buf.assign(doc.begin(), doc.end());
        state.ResumeTiming();
        std::size_t w = 0;
        for (std::size_t r = 0; r < buf.size(); ++r)
            if (buf[r] != 0x41) buf[w++] = buf[r];
        buf.resize(w);
        benchmark::DoNotOptimize(buf.data());
    }
}
BENCHMARK(BM_Baseline_Compaction_EveryOtherByte_16MiB)->Unit(benchmark::kMillisecond);

void BM_Baseline_Compaction_Pair4141_All41_16MiB(benchmark::State& state) {
    const Bytes doc(kBig, 0x41);
    Bytes buf;
    for (auto _ : state) {
        state.PauseTiming();
        buf.assign(doc.begin(), doc.end());
        state.ResumeTiming();
        const std::size_t size = buf.size();
        std::size_t r = 0, w = 0;
        while (r < size) {
            if (r + 1 < size && buf[r] == 0x41 && buf[r + 1] == 0x41)
                r += 2;
            else
                buf[w++] = buf[r++];
        }
        buf.resize(w);
        benchmark::DoNotOptimize(buf.data());
    }
}
BENCHMARK(BM_Baseline_Compaction_Pair4141_All41_16MiB)->Unit(benchmark::kMillisecond);

// The one-by-one method: find, move the whole tail down, recount; resume where the
// deleted occurrence stood. Shown for contrast on a small document only.
void BM_DelAll_OneByOne_EveryOtherByte_256KiB(benchmark::State& state) {
    Bench b;
    const Bytes doc = everyOther41(kSmall);
    for (auto _ : state) {
        state.PauseTiming();
        b.load(doc);
        b.form.BlockBytes = {0x41};
        state.ResumeTiming();
        Form1& f = b.form;
        std::int32_t q = 0;
        for (;;) {
            const std::int32_t at = f.Lookup(q, 0, kFalse);
            if (at == kNone) break;
            const std::int32_t p = f.PageStart + at;
            // The tail moves down by one, and the array shrinks by one.
            f.FileBytes.erase(f.FileBytes.begin() + p);
            f.LastOffset = static_cast<std::int32_t>(f.FileBytes.size()) - 1;
            f.LastOffset += 1;
            f.LengthChanged = kFalse;
            f.Fcount();
            q = p;
        }
        f.PageStart = f.CurPage * kPageSize;
        benchmark::DoNotOptimize(f.FileBytes.data());
    }
}
BENCHMARK(BM_DelAll_OneByOne_EveryOtherByte_256KiB)->Unit(benchmark::kMillisecond)->Iterations(1);

QUILLORY_TARGET("BM_DelAll_EveryOtherByte_16MiB", "BM_Baseline_Compaction_EveryOtherByte_16MiB",
                2.0, 100.0);
QUILLORY_TARGET("BM_DelAll_Pair4141_All41_16MiB", "BM_Baseline_Compaction_Pair4141_All41_16MiB",
                2.0, 100.0);
QUILLORY_TARGET("BM_DelAll_OneByOne_EveryOtherByte_256KiB", "BM_DelAll_EveryOtherByte_256KiB", 0,
                0);

// ---- cut and insert at the front ----

void cutFront(Form1& f) {
    f.SelStart = 0;
    f.SelSpan = 0;
    f.CopyOrCut(1);
}

void insertFront(Bench& b) {
    b.form.SelStart = 0;
    b.fake.prompts.push_back(u"41");
    b.form.Insert(1);
}

void BM_CutInsert_OneByteAt0_16MiB(benchmark::State& state) {
    Bench b;
    b.load(mixed(kBig));
    for (auto _ : state) {
        cutFront(b.form);
        insertFront(b);
        benchmark::DoNotOptimize(b.form.FileBytes.data());
    }
    if (b.form.FileBytes.size() != kBig) state.SkipWithError("length changed");
}
BENCHMARK(BM_CutInsert_OneByteAt0_16MiB)->Unit(benchmark::kMillisecond);

void BM_Cut_OneByteAt0_16MiB(benchmark::State& state) {
    Bench b;
    b.load(mixed(kBig));
    for (auto _ : state) {
        cutFront(b.form);
        state.PauseTiming();
        insertFront(b);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Cut_OneByteAt0_16MiB)->Unit(benchmark::kMillisecond);

void BM_Insert_OneByteAt0_16MiB(benchmark::State& state) {
    Bench b;
    b.load(mixed(kBig));
    for (auto _ : state) {
        state.PauseTiming();
        cutFront(b.form);
        state.ResumeTiming();
        insertFront(b);
    }
}
BENCHMARK(BM_Insert_OneByteAt0_16MiB)->Unit(benchmark::kMillisecond);

void BM_Baseline_Memmove_16MiB(benchmark::State& state) {
    Bytes buf = mixed(kBig);
    bool down = true;
    for (auto _ : state) {
        if (down)
            std::memmove(buf.data(), buf.data() + 1, kBig - 1);
        else
            std::memmove(buf.data() + 1, buf.data(), kBig - 1);
        down = !down;
        benchmark::DoNotOptimize(buf.data());
    }
}
BENCHMARK(BM_Baseline_Memmove_16MiB)->Unit(benchmark::kMillisecond);

QUILLORY_TARGET("BM_CutInsert_OneByteAt0_16MiB", "BM_Baseline_Memmove_16MiB", 3.0, 0);
QUILLORY_TARGET("BM_Cut_OneByteAt0_16MiB", "BM_Baseline_Memmove_16MiB", 3.0, 0);
QUILLORY_TARGET("BM_Insert_OneByteAt0_16MiB", "BM_Baseline_Memmove_16MiB", 3.0, 0);

// ---- copy to hex text ----

void BM_CopyHex_16MiB(benchmark::State& state) {
    const Bytes doc = mixed(kBig);
    for (auto _ : state) {
        const std::u16string text = hexPairs(doc.data(), doc.size());
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_CopyHex_16MiB)->Unit(benchmark::kMillisecond);

void BM_Baseline_NibbleLoop_16MiB(benchmark::State& state) {
    const Bytes doc = mixed(kBig);
    const char16_t* digits = u"0123456789ABCDEF";
    for (auto _ : state) {
        std::unique_ptr<char16_t[]> out(new char16_t[2 * doc.size()]);
        for (std::size_t i = 0; i < doc.size(); ++i) {
            out[2 * i] = digits[doc[i] >> 4];
            out[2 * i + 1] = digits[doc[i] & 15];
        }
        benchmark::DoNotOptimize(out.get());
    }
}
BENCHMARK(BM_Baseline_NibbleLoop_16MiB)->Unit(benchmark::kMillisecond);

QUILLORY_TARGET("BM_CopyHex_16MiB", "BM_Baseline_NibbleLoop_16MiB", 1.5, 0);

// ---- the key transform ----

void BM_Encrypt_TenCharKey_16MiB(benchmark::State& state) {
    Bench b;
    b.load(mixed(kBig));
    for (auto _ : state) {
        b.fake.inputs.push_back(u"Quillory#1");
        b.form.Encrypt();
        benchmark::DoNotOptimize(b.form.FileBytes.data());
    }
}
BENCHMARK(BM_Encrypt_TenCharKey_16MiB)->Unit(benchmark::kMillisecond);

QUILLORY_TARGET("BM_Encrypt_TenCharKey_16MiB", "BM_Baseline_Memmove_16MiB", 2.0, 0);

} // namespace
