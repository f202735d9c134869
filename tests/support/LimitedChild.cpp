#include "LimitedChild.h"

#include <QElapsedTimer>
#include <QFile>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORV_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(ORV_TEST_ASAN)
#define ORV_TEST_ASAN 1
#endif

#ifdef ORV_TEST_ASAN
#include <sanitizer/allocator_interface.h>
#endif

namespace orvtest {

namespace {

constexpr int kOverMemoryExit = 97;
int g_reportFd = -1;

#ifdef ORV_TEST_ASAN
std::atomic<long long> g_liveBytes { 0 };
long long g_heapLimit = 0;

void OnMalloc(const volatile void*, size_t size)
{
    if (g_liveBytes.fetch_add(static_cast<long long>(size)) + static_cast<long long>(size) > g_heapLimit) {
        static const char message[] = "memory limit of the child reached\n";
        (void)!::write(2, message, sizeof message - 1);
        ::_exit(kOverMemoryExit);
    }
}

void OnFree(const volatile void* ptr)
{
    g_liveBytes.fetch_sub(
        static_cast<long long>(__sanitizer_get_allocated_size(const_cast<const void*>(ptr))));
}
#endif

qint64 AddressSpaceBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const qint64 pages = statm.readAll().split(' ').value(0).toLongLong();
    return pages * ::sysconf(_SC_PAGESIZE);
}

void LimitMemory(qint64 extraBytes)
{
#ifdef ORV_TEST_ASAN
    g_liveBytes = static_cast<long long>(__sanitizer_get_current_allocated_bytes());
    g_heapLimit = g_liveBytes + extraBytes;
    __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
#else
    const rlim_t limit = rlim_t(AddressSpaceBytes() + extraBytes);
    const rlimit r { limit, limit };
    ::setrlimit(RLIMIT_AS, &r);
#endif
}

} // namespace

bool SanitizedBuild()
{
#ifdef ORV_TEST_ASAN
    return true;
#else
    return false;
#endif
}

void ChildReport(const QByteArray& text)
{
    if (g_reportFd < 0)
        return;
    qsizetype done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(g_reportFd, text.constData() + done, size_t(text.size() - done));
        if (n <= 0)
            break;
        done += n;
    }
}

ChildOutcome RunLimitedChild(const std::function<int()>& body, qint64 extraBytes, int timeoutMs)
{
    ChildOutcome outcome;
    int fds[2];
    if (::pipe(fds) != 0)
        return outcome;
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return outcome;
    }
    if (pid == 0) {
        ::close(fds[0]);
        g_reportFd = fds[1];
        LimitMemory(extraBytes);
        int code = 0;
        try {
            code = body();
        } catch (const std::bad_alloc&) {
            code = kOverMemoryExit;
        } catch (...) {
            code = 98;
        }
        ::_exit(code); // no atexit handlers, no destructors of the parent's objects
    }
    ::close(fds[1]);
    // Read the report while the child runs, so that a long report cannot block it.
    QByteArray output;
    std::thread reader([&output, fd = fds[0]] {
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            output.append(buffer, qsizetype(n));
        }
    });
    QElapsedTimer clock;
    clock.start();
    int status = 0;
    rusage usage {};
    for (;;) {
        const pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
            break;
        if (clock.elapsed() > timeoutMs) {
            outcome.timedOut = true;
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            break;
        }
        ::usleep(2000);
    }
    reader.join();
    ::close(fds[0]);
    outcome.output = output;
    outcome.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    if (WIFEXITED(status)) {
        outcome.exited = true;
        outcome.exitCode = WEXITSTATUS(status);
        outcome.overMemory = outcome.exitCode == kOverMemoryExit;
    } else if (WIFSIGNALED(status)) {
        outcome.signal = WTERMSIG(status);
    }
    return outcome;
}

} // namespace orvtest
