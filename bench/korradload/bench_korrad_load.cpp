// bench_korrad_load OLD_BIN NEW_BIN [runs]
//
// What the conversion library costs the programs that load it, for two
// builds side by side in the same run on the same files. OLD_BIN and NEW_BIN
// are the bin folders of the two builds (libkorrad.so, corvane-thumbnailer,
// corvane-cli). Every figure is the median of RUNS fresh processes, the two
// builds taken in turn so that the machine's other work falls on both alike:
//   - load and first picture: dlopen, _Pic_Valid and _anytobmps of a 512 x 256
//     PNG at the 512-pixel hint, in a process that links nothing else;
//   - corvane-thumbnailer's whole run on a 2048 x 2048 DXT1 with mipmaps;
//   - corvane-cli preview's whole run on a 2048 x 1024 PNG, to a 256-pixel BMP.
// Wall time (what the player waits for) and processor time of the process.

#include "DdsWriter.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

struct Run
{
    double wallMs = -1;
    double cpuMs = -1;
    std::string output;
};

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Runs a program to its end; the times are -1 unless it ended with 0.
Run runProgram(const std::vector<std::string> &arguments)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    const double start = nowMs();
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    Run run;
    char buffer[256];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        run.output.append(buffer, std::size_t(got));
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    run.wallMs = nowMs() - start;
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    run.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    return run;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Figures
{
    std::vector<double> first, second, third;
};

void record(Figures &figures, double first, double second, double third)
{
    figures.first.push_back(first);
    figures.second.push_back(second);
    figures.third.push_back(third);
}

void printRow(const char *what, const char *unit, const std::vector<double> &old, const std::vector<double> &now)
{
    const double before = median(old), after = median(now);
    std::printf("  %-34s %9.2f %9.2f  %s", what, before, after, unit);
    if (before > 0 && after > 0)
        std::printf("   after = %.2f x before\n", after / before);
    else
        std::printf("   (a run failed)\n");
}

bool writePng(const std::string &path, int width, int height)
{
    std::vector<unsigned char> rgb(std::size_t(width) * height * 3);
    std::uint32_t state = 2463534242u;
    for (unsigned char &byte : rgb) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<unsigned char>(state >> 24);
    }
    return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_korrad_load OLD_BIN NEW_BIN [runs]\n");
        return 2;
    }
    const std::string builds[2] = {argv[1], argv[2]};
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 15;

    char folderTemplate[] = "/tmp/bench_korrad_load.XXXXXX";
    if (!mkdtemp(folderTemplate))
        return 1;
    const std::string folder = folderTemplate;
    const std::string smallPng = folder + "/small.png", largePng = folder + "/large.png";
    const std::string texture = folder + "/dxt1_2048_mips.dds";
    if (!writePng(smallPng, 512, 256) || !writePng(largePng, 2048, 1024)
        || !ddstest::writeFile(texture, ddstest::legacyBlockDds(
                                            ddstest::mipChain(ddstest::gradient(2048, 2048, 7), 12),
                                            ddstest::Block::Bc1, "DXT1"))) {
        std::fprintf(stderr, "cannot write the sample files in %s\n", folder.c_str());
        return 1;
    }

    Figures wall[2], cpu[2];
    std::vector<double> dlopenOnly[2];
    for (int i = 0; i < runs; ++i)
        for (int build = 0; build < 2; ++build) {
            const std::string bin = builds[build];
            const Run load = runProgram({LOAD_CHILD, bin + "/libkorrad.so", smallPng, folder + "/small.bmp"});
            double firstPictureUs = -1, dlopenUs = -1;
            if (load.wallMs < 0 || std::sscanf(load.output.c_str(), "%lf %lf", &firstPictureUs, &dlopenUs) != 2)
                firstPictureUs = dlopenUs = -1;
            dlopenOnly[build].push_back(dlopenUs / 1e3);
            const Run thumbnail = runProgram({bin + "/corvane-thumbnailer", "-s", "256", texture, folder + "/thumb.png"});
            const Run preview = runProgram({bin + "/corvane-cli", "preview", largePng, folder + "/preview.bmp", "--size",
                                            "256"});
            record(wall[build], firstPictureUs / 1e3, thumbnail.wallMs, preview.wallMs);
            record(cpu[build], load.cpuMs, thumbnail.cpuMs, preview.cpuMs);
        }

    std::printf("%d runs of each, medians; before = %s, after = %s\n", runs, argv[1], argv[2]);
    std::printf("  %-34s %9s %9s\n", "", "before", "after");
    printRow("library: dlopen alone", "ms wall", dlopenOnly[0], dlopenOnly[1]);
    printRow("library: dlopen + first picture", "ms wall", wall[0].first, wall[1].first);
    printRow("library: its process, processor", "ms cpu", cpu[0].first, cpu[1].first);
    printRow("corvane-thumbnailer run", "ms wall", wall[0].second, wall[1].second);
    printRow("corvane-thumbnailer run, processor", "ms cpu", cpu[0].second, cpu[1].second);
    printRow("corvane-cli preview run", "ms wall", wall[0].third, wall[1].third);
    printRow("corvane-cli preview run, processor", "ms cpu", cpu[0].third, cpu[1].third);

    for (const char *name : {"/small.png", "/large.png", "/dxt1_2048_mips.dds", "/small.bmp", "/thumb.png",
                             "/preview.bmp"})
        std::remove((folder + name).c_str());
    rmdir(folder.c_str());
    return 0;
}
