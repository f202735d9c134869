// The application the benchmark programs run in. Widgets kept between benchmarks must be
// released while the QApplication still exists: a static destroyed after main() returns would
// tear a widget down after its application and crash at exit.
#pragma once

#include <functional>

namespace benchapp {

// Runs `release` after the benchmarks, before the application object is destroyed.
void ReleaseBeforeExit(std::function<void()> release);

} // namespace benchapp
