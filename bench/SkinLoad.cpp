// Start-up work of the built-in skin: the resource ZIP read and inflated,
// interface.xml parsed, the resources built (the BMP decoded, masks turned
// into regions), then the main window's control tree built with the
// program's own control classes. Runs on the offscreen platform.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "app/Entities.h"
#include "controls/KestCtl.h"
#include "controls/Skins.h"
#include "games/boards/BoardControls.h"
#include "platform/Application.h"
#include "platform/Resources.h"

namespace {

struct TManagers {
  app::TEntityManager Entities;
};

std::unique_ptr<controls::TSkin> LoadBuiltInSkin(TManagers& managers) {
  auto skin = std::make_unique<controls::TSkin>(managers.Entities);
  boards::RegisterBoardControls(*skin);
  auto stream = platform::OpenResource("DefSkin");
  skin->LoadFromZIP(*stream);
  return skin;
}

void BM_LoadBuiltInSkin(benchmark::State& state) {
  TManagers managers;
  for (auto _ : state) benchmark::DoNotOptimize(LoadBuiltInSkin(managers));
}
BENCHMARK(BM_LoadBuiltInSkin)->Unit(benchmark::kMillisecond);

void BM_BuildMainWindow(benchmark::State& state) {
  TManagers managers;
  auto skin = LoadBuiltInSkin(managers);
  for (auto _ : state) benchmark::DoNotOptimize(skin->BuildWindow("Main"));
}
BENCHMARK(BM_BuildMainWindow)->Unit(benchmark::kMillisecond);

// Both together, as the program does them once at start.
void BM_LoadAndBuild(benchmark::State& state) {
  TManagers managers;
  for (auto _ : state) {
    auto skin = LoadBuiltInSkin(managers);
    benchmark::DoNotOptimize(skin->BuildWindow("Main"));
  }
}
BENCHMARK(BM_LoadAndBuild)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  platform::TApplication application;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
