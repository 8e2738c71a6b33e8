// LZH archives of a KiSS set: porvane's -lh5- against zlib's deflate at
// levels 6 and 9 on the same files, each file compressed on its own as an
// archive holds it (raw deflate, as in a zip; a file that would grow is
// counted stored, as both kinds of archive store it). Counters: the set's
// bytes, the packed bytes (without the archives' headers) and their ratio.
// Beside them, the time to read the set's LZH archive back (every entry
// decoded and checked).
//
// The set is made here (tests/shared/doll_set.h: 8-bit and 32-bit cels of
// soft-edged shapes on transparency, palettes, the configuration; about 390
// KB), or read from a folder: PORVANE_LZH_SET=FOLDER, every file directly in
// it. --brief runs each once on the set made here.
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include <zlib.h>

#include "../../host/lzh/lh5_encoder.h"
#include "../../host/lzh/lzh_reader.h"
#include "../../host/lzh/lzh_writer.h"
#include "../shared/doll_set.h"

namespace {

std::vector<DollFile> setFromFolder(const std::string& folder)
{
    std::vector<DollFile> set;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return set;
    while (dirent* entry = readdir(dir)) {
        const std::string path = folder + "/" + entry->d_name;
        struct stat info;
        if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        DollFile file = {entry->d_name, {}};
        if (FILE* f = fopen(path.c_str(), "rb")) {
            file.bytes.resize((size_t)info.st_size);
            if (fread(file.bytes.data(), 1, file.bytes.size(), f) == file.bytes.size())
                set.push_back(file);
            fclose(f);
        }
    }
    closedir(dir);
    std::sort(set.begin(), set.end(), [](const DollFile& a, const DollFile& b) { return a.name < b.name; });
    return set;
}

const std::vector<DollFile>& theSet(bool brief)
{
    static std::vector<DollFile> set;
    if (set.empty()) {
        const char* folder = brief ? nullptr : getenv("PORVANE_LZH_SET");
        set = folder ? setFromFolder(folder) : makeDollSet(4);
    }
    return set;
}

size_t setBytes(const std::vector<DollFile>& set)
{
    size_t bytes = 0;
    for (const DollFile& file : set)
        bytes += file.bytes.size();
    return bytes;
}

void report(benchmark::State& state, const std::vector<DollFile>& set, size_t packed)
{
    state.counters["files"] = (double)set.size();
    state.counters["set_bytes"] = (double)setBytes(set);
    state.counters["packed_bytes"] = (double)packed;
    state.counters["packed/set"] = (double)packed / (double)setBytes(set);
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)setBytes(set));
}

void packWithLh5(benchmark::State& state, bool brief)
{
    const std::vector<DollFile>& set = theSet(brief);
    size_t packed = 0;
    std::vector<uint8_t> stream;
    for (auto _ : state) {
        packed = 0;
        for (const DollFile& file : set)
            packed += encodeLh5(file.bytes.data(), file.bytes.size(), &stream) ? stream.size() : file.bytes.size();
    }
    report(state, set, packed);
}

void packWithDeflate(benchmark::State& state, bool brief, int level)
{
    const std::vector<DollFile>& set = theSet(brief);
    size_t packed = 0;
    std::vector<uint8_t> out;
    for (auto _ : state) {
        packed = 0;
        for (const DollFile& file : set) {
            z_stream z = {};
            deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);  // raw, as a zip holds it
            out.resize(deflateBound(&z, file.bytes.size()));
            z.next_in = (Bytef*)file.bytes.data();
            z.avail_in = (uInt)file.bytes.size();
            z.next_out = out.data();
            z.avail_out = (uInt)out.size();
            if (deflate(&z, Z_FINISH) != Z_STREAM_END)
                state.SkipWithError("deflate did not finish");
            packed += std::min<size_t>(z.total_out, file.bytes.size());
            deflateEnd(&z);
        }
    }
    report(state, set, packed);
}

void readBack(benchmark::State& state, bool brief)
{
    const std::vector<DollFile>& set = theSet(brief);
    std::vector<LzhFileToPack> files;
    for (const DollFile& file : set)
        files.push_back({file.name, file.bytes.data(), file.bytes.size(), {2024, 5, 17, 12, 0, 0}});
    std::vector<uint8_t> archive;
    if (writeLzhArchive(files.data(), files.size(), &archive).problem != LZH_OK) {
        state.SkipWithError("the set could not be packed");
        return;
    }
    for (auto _ : state) {
        LzhArchive read;
        if (readLzhArchive(archive.data(), archive.size(), {1u << 30, 1u << 30}, &read) != LZH_OK ||
            read.entries.size() != set.size())
            state.SkipWithError("the archive did not read back");
        benchmark::DoNotOptimize(read.entries.data());
    }
    report(state, set, archive.size());
}

}

void registerLzhBenchmarks(bool brief)
{
    const int iterations = brief ? 1 : 10;
    benchmark::RegisterBenchmark("lzh/pack/lh5", packWithLh5, brief)->Iterations(iterations)->Unit(benchmark::kMillisecond);
    for (int level : {6, 9})
        benchmark::RegisterBenchmark(("lzh/pack/deflate-" + std::to_string(level)).c_str(), packWithDeflate, brief, level)
            ->Iterations(iterations)
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("lzh/read/lh5", readBack, brief)->Iterations(iterations)->Unit(benchmark::kMillisecond);
}
