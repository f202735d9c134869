// Entry point shared by the benchmark programs: a headless QApplication, then Google Benchmark.
#include "BenchApp.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

std::vector<std::function<void()>>& Releases()
{
    static std::vector<std::function<void()>> releases;
    return releases;
}

} // namespace

void benchapp::ReleaseBeforeExit(std::function<void()> release)
{
    Releases().push_back(std::move(release));
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    // Last kept first, as statics would have gone.
    for (auto it = Releases().rbegin(); it != Releases().rend(); ++it)
        (*it)();
    Releases().clear();
    return 0;
}
