// Decoder throughput: our inflate beside zlib's and libdeflate's on the same streams, printed
// as time ratios at the end; and our shrink, reduce and implode decoders on the fixture members.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

#include "BenchData.h"
#include "Engines.h"
#include "archive/ZipMethods.h"

using namespace orvello;
using namespace orvello::bench;

namespace {

struct Corpus {
    std::string name;
    Bytes raw;
    Bytes stream;
};

const std::vector<Corpus>& Corpora() {
    static const std::vector<Corpus> corpora = [] {
        std::vector<Corpus> c;
        const Bytes rom = Generate("rom", 16u << 20, 1);
        const Bytes text = Generate("text", 16u << 20, 2);
        c.push_back({"rom16M-level1", rom, RawDeflate(rom, 1)});
        c.push_back({"rom16M-level6", rom, RawDeflate(rom, 6)});
        c.push_back({"rom16M-level9", rom, RawDeflate(rom, 9)});
        c.push_back({"text16M-level6", text, RawDeflate(text, 6)});
        // The biggest fixture member, as Info-ZIP's zip -9 wrote it.
        const Bytes zip = ReadFile(std::string(ORVELLO_FIXTURES) + "/archives/zip/BIGROM.ZIP");
        if (zip.size() > 30 + 10 + 237351) {
            Bytes s(zip.begin() + 30 + 10,
                    zip.begin() + 30 + 10 + 237351);  // local header + name BIGROM.BIN
            c.push_back({"BIGROM-zip9", Bytes(614400), s});
        }
        return c;
    }();
    return corpora;
}

void BM_Ours(benchmark::State& state, std::size_t i) {
    const auto& c = Corpora()[i];
    std::vector<std::uint8_t> buf(32768);
    for (auto _ : state) {
        if (InflateOurs(c.stream, buf.data(), buf.size()) != c.raw.size())
            state.SkipWithError("decode failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.raw.size()));
}

void BM_Zlib(benchmark::State& state, std::size_t i) {
    const auto& c = Corpora()[i];
    std::vector<std::uint8_t> buf(32768);
    for (auto _ : state) {
        if (InflateZlib(c.stream, buf.data(), buf.size()) != c.raw.size())
            state.SkipWithError("decode failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.raw.size()));
}

void BM_Libdeflate(benchmark::State& state, std::size_t i) {
    const auto& c = Corpora()[i];
    std::vector<std::uint8_t> out(c.raw.size());
    std::unique_ptr<libdeflate_decompressor, void (*)(libdeflate_decompressor*)> d(
        libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
    for (auto _ : state) {
        if (InflateLibdeflate(d.get(), c.stream, out) != c.raw.size())
            state.SkipWithError("decode failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.raw.size()));
}

// Every member of a fixture archive through the method table, per iteration.
void BM_Legacy(benchmark::State& state, std::string archive) {
    const Bytes zip = ReadFile(std::string(ORVELLO_FIXTURES) + "/archives/zip/" + archive);
    struct Member {
        std::uint16_t method, flags;
        std::uint32_t size;
        Bytes data;
    };
    std::vector<Member> members;
    auto u16 = [&](std::size_t o) { return static_cast<std::uint32_t>(zip[o] | zip[o + 1] << 8); };
    auto u32 = [&](std::size_t o) { return u16(o) | u16(o + 2) << 16; };
    std::size_t e = zip.size() - 22;
    while (e > 0 && u32(e) != 0x06054b50u)
        --e;
    std::size_t cd = u32(e + 16);
    for (unsigned k = 0; k < u16(e + 10); ++k) {
        const std::size_t lho = u32(cd + 42);
        const std::size_t data = lho + 30 + u16(lho + 26) + u16(lho + 28);
        members.push_back({static_cast<std::uint16_t>(u16(cd + 10)),
                           static_cast<std::uint16_t>(u16(cd + 8)), u32(cd + 24),
                           Bytes(zip.begin() + data, zip.begin() + data + u32(cd + 20))});
        cd += 46 + u16(cd + 28) + u16(cd + 30) + u16(cd + 32);
    }
    std::vector<std::uint8_t> buf(32768);
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        for (const auto& m : members) {
            archive::MemorySource src(m.data);
            auto dec = archive::MakeZipDecoder(m.method, m.flags, m.size, src);
            std::size_t produced = 0;
            do {
                dec->Read(buf.data(), buf.size(), produced);
                bytes += produced;
            } while (produced != 0);
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

// Keeps each run's CPU time per iteration (steadier than wall time on a shared machine), so
// the ratios can be printed after the table.
class RatioReporter final : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs) {
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                times[r.benchmark_name()] = r.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    const auto& corpora = Corpora();
    for (std::size_t i = 0; i < corpora.size(); ++i) {
        benchmark::RegisterBenchmark(("inflate/ours/" + corpora[i].name).c_str(), BM_Ours, i)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("inflate/zlib/" + corpora[i].name).c_str(), BM_Zlib, i)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("inflate/libdeflate/" + corpora[i].name).c_str(),
                                     BM_Libdeflate, i)
            ->Unit(benchmark::kMillisecond);
    }
    for (const char* a : {"SHRINK.ZIP", "REDUCE3.ZIP", "IMP8K3T.ZIP", "IMP4K2T.ZIP"}) {
        benchmark::RegisterBenchmark((std::string("legacy/") + a).c_str(), BM_Legacy,
                                     std::string(a))
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-16s %14s %20s\n", "stream", "ours/zlib", "ours/libdeflate");
    for (const auto& c : corpora) {
        const auto t = [&](const char* engine) {
            const auto it = reporter.times.find(std::string("inflate/") + engine + "/" + c.name);
            return it == reporter.times.end() ? 0.0 : it->second;
        };
        if (t("ours") > 0 && t("zlib") > 0 && t("libdeflate") > 0) {
            std::printf("%-16s %14.2f %20.2f\n", c.name.c_str(), t("ours") / t("zlib"),
                        t("ours") / t("libdeflate"));
        }
    }
    benchmark::Shutdown();
    return 0;
}
