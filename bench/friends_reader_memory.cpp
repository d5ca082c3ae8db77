// Peak memory of reading a friends file: an ordinary one against 1 GiB with no line end. Each file is
// read by a fresh process of its own, so that one peak cannot hide the other. The 1 GiB file is made in
// the folder given (the current one by default) and deleted afterwards.
//
//   friends_reader_memory [folder]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "friends/friends_file.h"

namespace {

constexpr long long kHugeSize = 1LL << 30;

class FileSource : public relinka::ByteSource {
public:
    explicit FileSource(int fd) : fd_(fd) {}
    ~FileSource() override { close(fd_); }
    std::size_t read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, size);
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) return 0;
        }
    }

private:
    int fd_;
};

long peak_rss_kib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long vm_hwm_kib() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = -1;
    while (status >> key) {
        if (key == "VmHWM:") {
            status >> value;
            break;
        }
        status.ignore(1 << 10, '\n');
    }
    return value;
}

// In the child: reads one file and prints its figures on one line.
int read_and_report(const char* path) {
    const long before = peak_rss_kib();
    const int fd = open(path, O_RDONLY);
    if (fd < 0) {
        std::perror(path);
        return 1;
    }
    FileSource source(fd);
    const auto start = std::chrono::steady_clock::now();
    const relinka::FriendsLines lines = relinka::read_friends_lines(source);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const long after = peak_rss_kib(), hwm = vm_hwm_kib();
    std::printf(
        "peak RSS before reading %6ld KiB, after %6ld KiB (VmHWM %6ld KiB); first line %zu bytes; %.2f s\n",
        before, after, hwm, lines[0].size(), took.count());
    return 0;
}

bool measure(const char* what, const std::string& path) {
    std::printf("%-28s ", what);
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        execl("/proc/self/exe", "friends_reader_memory", "--read", path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool write_huge_file(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const std::string block(1 << 20, 'X');
    bool ok = true;
    for (long long written = 0; ok && written < kHugeSize; written += static_cast<long long>(block.size()))
        ok = write(fd, block.data(), block.size()) == static_cast<ssize_t>(block.size());
    return close(fd) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--read") == 0) return read_and_report(argv[2]);
    const std::string folder = argc > 1 ? argv[1] : ".";
    const std::string ordinary = folder + "/amigos-ordinary.txt", huge = folder + "/amigos-1GiB.txt";

    std::ofstream(ordinary, std::ios::binary) << "PU2ABC\r\nPY1AA\r\n\r\n*RIO*\r\n\r\n\r\n\r\nPU2XYZ\r\n";
    bool ok = measure("ordinary file (8 lines):", ordinary);
    if (write_huge_file(huge)) {
        ok = measure("1 GiB with no line end:", huge) && ok;
    } else {
        std::fprintf(stderr, "cannot write %s\n", huge.c_str());
        ok = false;
    }
    std::remove(huge.c_str());
    std::remove(ordinary.c_str());
    return ok ? 0 : 1;
}
