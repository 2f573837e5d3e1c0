// bench_wave_core - prints figures for the sound arithmetic (not a test; nothing is asserted):
//   gain throughput per sample width against a plain copy of the same bytes;
//   CPU time of one block refill (seek, read, gain) against the play time of that block;
//   time to walk the header of a 2 GiB (sparse) file against a 1 MiB file.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <string>
#include <vector>

#include "wave_core.h"
#include "wave_corpus.h"

namespace {

double Now()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

double CpuNow()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

// A WaveSource over an open file descriptor.
class FileSource : public WaveSource {
public:
    explicit FileSource(int fd) : m_fd(fd) {}
    uint32_t ReadAt(uint64_t offset, void* dest, uint32_t count) override
    {
        ssize_t n = pread(m_fd, dest, count, static_cast<off_t>(offset));
        return n < 0 ? 0 : static_cast<uint32_t>(n);
    }
    uint64_t Size() override
    {
        struct stat st;
        return fstat(m_fd, &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
    }

private:
    int m_fd;
};

volatile uint8_t g_sink;

std::string WriteFile(const char* name, const std::string& head, uint64_t size)
{
    std::string path = std::string("/tmp/") + name + "_" + std::to_string(getpid()) + ".wav";
    int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    if (fd < 0 || write(fd, head.data(), head.size()) != static_cast<ssize_t>(head.size()) ||
        ftruncate(fd, static_cast<off_t>(size)) != 0) {
        perror(path.c_str());
        exit(1);
    }
    close(fd);
    return path;
}

}  // namespace

int main()
{
    printf("== gain throughput (one 20000-byte block, volume 10) ==\n");
    std::vector<uint8_t> src(BLOCK_BYTES), dst(BLOCK_BYTES);
    std::string ramp = RampSamples(BLOCK_BYTES);
    memcpy(src.data(), ramp.data(), BLOCK_BYTES);
    const int rounds = 20000;
    double t0 = Now();
    for (int i = 0; i < rounds; ++i) {
        memcpy(dst.data(), src.data(), BLOCK_BYTES);
        g_sink = dst[i % BLOCK_BYTES];
    }
    double copy = (Now() - t0) / rounds;
    printf("plain copy       %8.2f us/block  %8.1f MB/s\n", copy * 1e6, BLOCK_BYTES / copy / 1e6);
    for (uint32_t width : {1u, 2u, 3u, 4u}) {
        t0 = Now();
        for (int i = 0; i < rounds; ++i) {
            memcpy(dst.data(), src.data(), BLOCK_BYTES);
            ApplyGain(dst.data(), BLOCK_BYTES - BLOCK_BYTES % width, width, 10);
            g_sink = dst[i % BLOCK_BYTES];
        }
        double t = (Now() - t0) / rounds;
        printf("gain %u-byte      %8.2f us/block  %8.1f MB/s  ratio to copy %.1f\n", width, t * 1e6,
               BLOCK_BYTES / t / 1e6, t / copy);
    }

    printf("== one refill (seek + read 20000 bytes + gain) against its play time ==\n");
    std::string head = WaveBytes().Riff().Chunk("fmt ", FormatBody(1, 2, 44100, 16)).Raw("data").U32(64u << 20).bytes;
    std::string samples = RampSamples(64u << 20 > 0 ? 4u << 20 : 0);
    std::string mid = WriteFile("bench_refill", head + samples, head.size() + samples.size());
    int fd = open(mid.c_str(), O_RDONLY);
    std::vector<uint8_t> block(BLOCK_BYTES);
    const int refills = 2000;
    double c0 = CpuNow();
    t0 = Now();
    for (int i = 0; i < refills; ++i) {
        off_t at = static_cast<off_t>(head.size()) + static_cast<off_t>(i % 200) * BLOCK_BYTES;
        if (pread(fd, block.data(), BLOCK_BYTES, at) < 0)
            break;
        ApplyGain(block.data(), BLOCK_BYTES, 2, 10);
    }
    double wall = (Now() - t0) / refills, cpu = (CpuNow() - c0) / refills;
    double play = BLOCK_BYTES / (44100.0 * 4);
    printf("refill: %.1f us CPU (%.1f us wall); block plays %.1f ms at 44100 Hz 16-bit stereo: %.4f%% of it\n",
           cpu * 1e6, wall * 1e6, play * 1e3, cpu / play * 100);
    close(fd);
    unlink(mid.c_str());

    printf("== header walk: 2 GiB sparse file against 1 MiB ==\n");
    std::string small = WriteFile("bench_small", head, 1u << 20);
    std::string big = WriteFile("bench_big", head, 2ull << 30);
    for (const std::string& path : {small, big}) {
        int f = open(path.c_str(), O_RDONLY);
        FileSource fs(f);
        WaveHeader h;
        const int loads = 2000;
        t0 = Now();
        for (int i = 0; i < loads; ++i)
            ParseWaveHeader(fs, h);
        double t = (Now() - t0) / loads;
        printf("%-5s file (%llu bytes): %.2f us per header walk, %u frames\n", path == small ? "1 MiB" : "2 GiB",
               static_cast<unsigned long long>(fs.Size()), t * 1e6, h.totalFrames);
        close(f);
        unlink(path.c_str());
    }
    return 0;
}
