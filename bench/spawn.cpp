// Runs a program and writes "status seconds peak_kb cpu_seconds" to a file,
// the CPU time being user and system time together. A child's
// peak memory counts the pages of the process it was forked from, so the
// benchmarks fork it from this small one rather than from themselves.
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    struct timespec t0, t1;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    int status = 0;
    struct rusage use;
    if (pid < 0 || wait4(pid, &status, 0, &use) != pid)
        return 1;
    clock_gettime(CLOCK_MONOTONIC, &t1);
    std::FILE* out = fopen(argv[1], "w");
    if (!out)
        return 1;
    const double cpu = double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
                       double(use.ru_utime.tv_usec + use.ru_stime.tv_usec) * 1e-6;
    fprintf(out, "%d %.9f %ld %.6f\n", WIFEXITED(status) ? WEXITSTATUS(status) : 128,
            double(t1.tv_sec - t0.tv_sec) + double(t1.tv_nsec - t0.tv_nsec) * 1e-9, use.ru_maxrss,
            cpu);
    return fclose(out) == 0 ? 0 : 1;
}
