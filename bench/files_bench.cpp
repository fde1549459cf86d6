// Open and Save of a 16 MiB document against the plainest system calls that move the
// same bytes, in the same run and the same folder:
//   BM_Open_16MiB            F2 until the first page is drawn
//   BM_Baseline_Read_16MiB   one read() into a freshly allocated buffer
//   BM_Baseline_ReadBesideAnother_16MiB  the same while another 16 MiB buffer is held
//   BM_Save_16MiB            F3 with every safety step (temporary file, reserve, fsync,
//                            rename, folder fsync)
//   BM_Baseline_WriteFsync_16MiB  one write() and fsync() to a new file
//   BM_Open_PeakMemory       peak resident memory while opening 16 MiB over a 16 MiB
//                            document, in documents

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "BenchTable.h"
#include "support/Editor.h"
#include "support/TempFiles.h"

namespace {

using quillory::Bytes;
using quillory::kMaxDocument;
using quillory::testing::Editor;
using quillory::testing::writeBytes;

Bytes bytesOfSize(std::size_t size) {
    return quillory::testing::pattern(size, 12345);
}

constexpr std::size_t kSize = static_cast<std::size_t>(kMaxDocument);

// A temporary folder holding one 16 MiB file.
struct Folder : quillory::testing::TempFolder {
    std::string file = path + "/doc.bin";
    Folder() { writeBytes(file, bytesOfSize(kSize)); }
};

void BM_Open_16MiB(benchmark::State& state) {
    Folder folder;
    Editor e;
    e.load(bytesOfSize(kSize)); // open over a document of the same size
    for (auto _ : state) {
        e.fake.files.push_back(quillory::ascii(folder.file));
        e.form.Fopen();
        if (e.form.FileBytes.size() != kSize) state.SkipWithError("open failed");
        benchmark::DoNotOptimize(e.form.NumberBox.text(0));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_Open_16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Baseline_Read_16MiB(benchmark::State& state) {
    Folder folder;
    for (auto _ : state) {
        const int fd = ::open(folder.file.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st;
        ::fstat(fd, &st);
        std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[std::size_t(st.st_size)]);
        if (::read(fd, buffer.get(), std::size_t(st.st_size)) != st.st_size)
            state.SkipWithError("read failed");
        ::close(fd);
        benchmark::DoNotOptimize(buffer.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_Baseline_Read_16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
QUILLORY_TARGET("BM_Open_16MiB", "BM_Baseline_Read_16MiB", 1.5, 0);

// The same read while another 16 MiB buffer stays allocated, as Open keeps the old
// document until the new one is whole: the fresh buffer is not the one just freed, and
// its lines are not in the cache. Shown for contrast.
void BM_Baseline_ReadBesideAnother_16MiB(benchmark::State& state) {
    Folder folder;
    std::unique_ptr<std::uint8_t[]> other(new std::uint8_t[kSize]);
    std::fill_n(other.get(), kSize, std::uint8_t{1});
    for (auto _ : state) {
        const int fd = ::open(folder.file.c_str(), O_RDONLY | O_CLOEXEC);
        std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[kSize]);
        if (::read(fd, buffer.get(), kSize) != static_cast<ssize_t>(kSize))
            state.SkipWithError("read failed");
        ::close(fd);
        other = std::move(buffer);
        benchmark::DoNotOptimize(other.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_Baseline_ReadBesideAnother_16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
QUILLORY_TARGET("BM_Open_16MiB", "BM_Baseline_ReadBesideAnother_16MiB", 0, 0);

void BM_Save_16MiB(benchmark::State& state) {
    Folder folder;
    Editor e;
    e.fake.files.push_back(quillory::ascii(folder.file));
    e.form.Fopen();
    for (auto _ : state) {
        e.form.FileBytes[0] ^= 1;
        if (!e.form.Fsave()) state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_Save_16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Baseline_WriteFsync_16MiB(benchmark::State& state) {
    Folder folder;
    const Bytes bytes = bytesOfSize(kSize);
    const std::string plain = folder.path + "/plain.bin";
    for (auto _ : state) {
        const int fd = ::open(plain.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
            ::fsync(fd) != 0)
            state.SkipWithError("write failed");
        ::close(fd);
        state.PauseTiming();
        ::unlink(plain.c_str()); // the next write goes to a new file again
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kSize));
}
BENCHMARK(BM_Baseline_WriteFsync_16MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
QUILLORY_TARGET("BM_Save_16MiB", "BM_Baseline_WriteFsync_16MiB", 1.5, 0);

// Resident kilobytes: the current figure, or the peak since the last reset.
long statusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::strtol(line.c_str() + key.size(), nullptr, 10);
    return -1;
}

bool resetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return bool(clear);
}

void BM_Open_PeakMemory(benchmark::State& state) {
    Folder folder;
    double documents = 0;
    for (auto _ : state) {
        Editor e;
        e.load(bytesOfSize(kSize));
        const long before = statusKb("VmRSS");
        if (!resetPeak()) {
            state.SkipWithError("the peak resident size cannot be reset here");
            break;
        }
        e.fake.files.push_back(quillory::ascii(folder.file));
        e.form.Fopen();
        const long peak = statusKb("VmHWM");
        // The first document was resident before; the peak adds what Open needed.
        documents = 1.0 + double(peak - before) * 1024.0 / double(kSize);
    }
    state.counters["documents_at_peak"] = documents;
}
BENCHMARK(BM_Open_PeakMemory)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
