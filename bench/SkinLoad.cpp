// Start-up work of the built-in skin: the resource ZIP read and inflated,
// interface.xml parsed, the resources built (the BMP decoded, masks turned
// into regions), then the main window's control tree built with the
// program's own control classes. Then, in the whole program, switching to
// each shipped skin of the build tree's "Skins" folder as the selector does,
// and a soak of 2,000 reloads. Runs on the offscreen platform.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/Entities.h"
#include "controls/KestCtl.h"
#include "controls/Skins.h"
#include "games/boards/BoardControls.h"
#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/Resources.h"
#include "platform/SysInfo.h"
#include "program/AppManager.h"
#include "ui/UI.h"

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
  platform::TApplication application;  // the program makes its own
  TManagers managers;
  for (auto _ : state) benchmark::DoNotOptimize(LoadBuiltInSkin(managers));
}
BENCHMARK(BM_LoadBuiltInSkin)->Unit(benchmark::kMillisecond);

void BM_BuildMainWindow(benchmark::State& state) {
  platform::TApplication application;  // the program makes its own
  TManagers managers;
  auto skin = LoadBuiltInSkin(managers);
  for (auto _ : state) benchmark::DoNotOptimize(skin->BuildWindow("Main"));
}
BENCHMARK(BM_BuildMainWindow)->Unit(benchmark::kMillisecond);

// Both together, as the program does them once at start.
void BM_LoadAndBuild(benchmark::State& state) {
  platform::TApplication application;  // the program makes its own
  TManagers managers;
  for (auto _ : state) {
    auto skin = LoadBuiltInSkin(managers);
    benchmark::DoNotOptimize(skin->BuildWindow("Main"));
  }
}
BENCHMARK(BM_LoadAndBuild)->Unit(benchmark::kMillisecond);

// The whole program, prepared as for a start, reading the skins staged in
// the build tree.
class TBenchProgram : public app::TAppManager {
 public:
  explicit TBenchProgram(std::string directory) : directory_(std::move(directory)) {}
  void Start() {
    app::Application = this;
    Prepare();
    UI()->ShowWindow("Main");
  }
  ~TBenchProgram() override {
    Finish();
    app::Application = nullptr;
  }
  std::string ProgramDirectory() const override { return directory_; }
  // What a click in the skin selector does.
  void SwitchTo(const std::string& name) {
    LoadSkinByName(name);
    UI()->ShowWindow("Main");
  }

 private:
  std::string directory_;
};

std::unique_ptr<TBenchProgram> MakeProgram(const std::string& directory = LUDEX_BINARY_DIR) {
  auto program = app::CreateApplication<TBenchProgram>(directory);
  program->Start();
  return program;
}

// A "Skins" folder of 20,000 sub-folders and 40,000 other files, some with
// control characters and bytes that are not UTF-8 in their names: the
// selector lists it (F12) in one go.
void BM_SelectSkinInAHugeFolder(benchmark::State& state) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("ludex-bench-skins-" + std::to_string(::getpid()));
  const std::filesystem::path skins = folder / "Skins";
  std::filesystem::create_directories(skins);
  for (int i = 0; i < 20000; ++i) {
    std::filesystem::create_directory(skins /
                                      ("skin\x01" + std::to_string(i) + (i % 7 ? "" : "\xff")));
    for (const char* kind : {".txt", ".bmp"}) std::ofstream(skins / (std::to_string(i) + kind));
  }
  {
    auto program = MakeProgram(folder.string());
    for (auto _ : state) {
      program->EntityManager()->Execute("Application.SelectSkin");
      benchmark::DoNotOptimize(program->SkinList());
    }
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SelectSkinInAHugeFolder)->Unit(benchmark::kMillisecond)->Iterations(3);

// Switching from the built-in skin to a shipped one (folder or ZIP).
void BM_SwitchToShippedSkin(benchmark::State& state, const std::string& name) {
  auto program = MakeProgram();
  for (auto _ : state) {
    state.PauseTiming();
    program->SwitchTo("");
    platform::ProcessMessages();
    state.ResumeTiming();
    program->SwitchTo(name);
  }
}

std::int64_t ResidentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atoll(line.c_str() + 6);
  }
  return 0;
}

double MedianMs(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times.empty() ? 0 : times[times.size() / 2];
}

// 2,000 reloads alternating the shipped skins through the selector's path
// and "Application.ReloadSkin", with the message loop's work between them.
// Reports the growth of resident memory and of the live heap, and the
// median time of a reload among the first and the last hundred.
void BM_ReloadSoak(benchmark::State& state, const std::vector<std::string>& skins) {
  for (auto _ : state) {
    auto program = MakeProgram();
    // The allocator's arenas and the font caches settle over the first
    // hundred reloads; growth is measured after them.
    for (int i = 0; i < 100; ++i) {
      program->SwitchTo(skins[static_cast<std::size_t>(i) % skins.size()]);
      platform::ProcessMessages();
    }
    program->SwitchTo(skins.back());
    platform::ProcessMessages();
    const std::int64_t rssBefore = ResidentKiB();
    malloc_trim(0);
    const std::int64_t rssTrimmed = ResidentKiB();
    const platform::THeapStatus heapBefore = platform::GetHeapStatus();
    std::vector<double> times;
    for (int i = 0; i < 2000; ++i) {
      const std::string& name = skins[static_cast<std::size_t>(i) % skins.size()];
      const auto start = std::chrono::steady_clock::now();
      if (i % 2 == 0) {
        program->SwitchTo(name);
      } else {
        program->Settings().WriteString("Application.Skin", name);
        program->EntityManager()->Execute("Application.ReloadSkin");
      }
      times.push_back(
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count());
      platform::ProcessMessages();
    }
    // Measured with the same skin loaded as before: a skin's pictures are
    // not growth.
    program->SwitchTo(skins.back());
    platform::ProcessMessages();
    const platform::THeapStatus heapAfter = platform::GetHeapStatus();
    state.counters["rss_growth_KiB"] = static_cast<double>(ResidentKiB() - rssBefore);
    // What the allocator keeps free but has not given back is not the
    // program's: the same growth once it has returned it.
    malloc_trim(0);
    state.counters["rss_growth_trimmed_KiB"] = static_cast<double>(ResidentKiB() - rssTrimmed);
    state.counters["heap_growth_KiB"] =
        static_cast<double>(heapAfter.Bytes - heapBefore.Bytes) / 1024;
    state.counters["heap_blocks_growth"] = static_cast<double>(heapAfter.Count - heapBefore.Count);
    state.counters["first100_ms"] = MedianMs({times.begin(), times.begin() + 100});
    state.counters["last100_ms"] = MedianMs({times.end() - 100, times.end()});
  }
}

// The shipped skins as the selector lists them, without the built-in entry.
std::vector<std::string> ShippedSkins() {
  const std::string folder = platform::JoinPath(LUDEX_BINARY_DIR, "Skins");
  std::vector<std::string> names = app::TAppCore::SkinListEntries(platform::ListDirectory(folder));
  names.erase(names.begin());
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::vector<std::string> shipped = ShippedSkins();
  for (const std::string& name : shipped) {
    benchmark::RegisterBenchmark(("BM_SwitchToShippedSkin/" + name).c_str(), BM_SwitchToShippedSkin,
                                 name)
        ->Unit(benchmark::kMillisecond);
  }
  if (!shipped.empty()) {
    std::vector<std::string> soak = shipped;
    soak.push_back("");  // the built-in skin too
    benchmark::RegisterBenchmark("BM_ReloadSoak", BM_ReloadSoak, soak)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
