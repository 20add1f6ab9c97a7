// Runs a command and writes its wall time and peak resident memory to a file, so that the
// engine and the archive tools it is compared with are timed by the same clock and measured
// the same way.
//
//   bench_measure OUTPUT_FILE COMMAND [ARGUMENT...]
//
// OUTPUT_FILE receives one line: wall seconds, peak resident KiB, exit status. The command's
// own output passes through; the exit status is the command's.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_measure OUTPUT_FILE COMMAND [ARGUMENT...]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("bench_measure: fork");
        return 2;
    }
    if (child == 0) {
        execvp(argv[2], argv + 2);
        std::perror("bench_measure: exec");
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (wait4(child, &status, 0, &usage) != child) {
        std::perror("bench_measure: wait");
        return 2;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror("bench_measure: output");
        return 2;
    }
    // ru_maxrss is in KiB on Linux.
    std::fprintf(out, "%.4f %ld %d\n", seconds, usage.ru_maxrss, code);
    std::fclose(out);
    return code;
}
