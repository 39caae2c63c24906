// The identifier pass over every well-formed corpus file, in memory, against a bare expat
// parse of the same bytes on one thread: streamed on one thread, and streamed on the tool's
// workers. Then the peak memory of the pass over the
// largest file, as the tool runs it on a file in a copy.
//   build/bench/bench/xml_benchmark [--corpus DIR] [google benchmark flags]
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <expat.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/xib/identifier_stream_rules.h"
#include "core/xib/interface_builder_file.h"
#include "files/file_manager.h"
#include "support/environment.h"
#include "support/worker_pool.h"
#include "xml/xml_stream_rewriter.h"

namespace {

std::vector<std::string> gInputs;
std::size_t gInputBytes = 0;

std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

bool parses(const std::string& text) {
  try {
    return korvaster::xml::XmlStreamRewriter(nullptr, [](std::string_view) { return true; }, 256).rewrite(text);
  } catch (const std::exception&) {
    return false;
  }
}

// Every regular file of the folder with its size, largest first.
std::vector<std::pair<off_t, std::string>> filesBySize(const std::string& folder) {
  std::vector<std::pair<off_t, std::string>> sized;
  if (DIR* directory = ::opendir(folder.c_str())) {
    while (const dirent* entry = ::readdir(directory)) {
      struct stat status {};
      const std::string path = folder + "/" + entry->d_name;
      if (entry->d_name[0] != '.' && ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
        sized.emplace_back(status.st_size, path);
      }
    }
    ::closedir(directory);
  }
  std::sort(sized.rbegin(), sized.rend());
  return sized;
}

void loadLargestFiles(const std::string& folder) {
  for (const auto& [size, path] : filesBySize(folder)) {
    std::string text = readFile(path);
    if (!parses(text)) continue;
    gInputBytes += text.size();
    gInputs.push_back(std::move(text));
  }
}

void bareExpatParse(const std::string& text) {
  XML_Parser parser = XML_ParserCreate(nullptr);
  XML_SetElementHandler(
      parser, [](void*, const XML_Char*, const XML_Char**) {}, [](void*, const XML_Char*) {});
  XML_SetCharacterDataHandler(parser, [](void*, const XML_Char*, int) {});
  if (XML_Parse(parser, text.data(), static_cast<int>(text.size()), XML_TRUE) != XML_STATUS_OK) std::abort();
  XML_ParserFree(parser);
}

void BM_BareExpatParse(benchmark::State& state) {
  for (auto _ : state) {
    for (const auto& text : gInputs) bareExpatParse(text);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(gInputBytes));
}

std::string streamPass(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8 + 4096);
  korvaster::IdentifierStreamRules rules;
  korvaster::xml::XmlStreamRewriter rewriter(&rules, [&out](std::string_view block) {
    out.append(block);
    return true;
  }, 256);
  rewriter.rewrite(text);
  return out;
}

void BM_StreamPass(benchmark::State& state) {
  for (auto _ : state) {
    for (const auto& text : gInputs) benchmark::DoNotOptimize(streamPass(text).data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(gInputBytes));
}

void BM_StreamPassOnWorkers(benchmark::State& state) {
  const std::size_t workers = korvaster::support::workerCount(korvaster::support::processEnvironment());
  for (auto _ : state) {
    korvaster::support::runOnWorkers(
        gInputs.size(), workers, [](std::size_t index) { benchmark::DoNotOptimize(streamPass(gInputs[index]).data()); },
        [](std::size_t) {}, [] { return false; });
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(gInputBytes));
  state.counters["workers"] = static_cast<double>(workers);
}

BENCHMARK(BM_BareExpatParse)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_StreamPass)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_StreamPassOnWorkers)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// Collects the mean real time of each benchmark so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) times_[run.run_name.function_name] = run.GetAdjustedRealTime();
  }
  double time(const std::string& name) const {
    const auto found = times_.find(name);
    return found == times_.end() ? 0 : found->second;
  }

 private:
  std::map<std::string, double> times_;
};

#if defined(__linux__)
long statusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
  }
  return -1;
}

// Peak resident memory of the pass over `path` above the child's baseline, as the tool runs it
// on a file in a copy (a scratch copy of `path`). Called before anything else is loaded, so the heap has no freed pages that
// would hide the growth. Returns false when the file is not well-formed.
bool reportPeakMemory(const std::string& path) {
  const std::string scratch = "/tmp/korvaster-bench-peak-" + std::to_string(::getpid()) + ".xib";
  std::ofstream(scratch, std::ios::binary) << readFile(path);
  const std::string warmUp = scratch + ".small";
  std::ofstream(warmUp, std::ios::binary) << "<document><view contentMode=\"a\" id=\"v\">t</view></document>";
  const pid_t child = ::fork();
  if (child == 0) {
    // The same pass over a small file first, so that code and buffers every run needs are in
    // the baseline and only what grows with the file is measured.
    const auto folder = korvaster::files::FileManager::defaultManager()->openFolder("/tmp");
    korvaster::addAccessibilityIdentifiers({folder, warmUp.substr(5)}, korvaster::IBFileWrite::inPlace);
    std::ofstream("/proc/self/clear_refs") << "5";  // resets the peak to the current size
    const long baseline = statusKilobytes("VmHWM:");
    try {
      korvaster::addAccessibilityIdentifiers({folder, scratch.substr(5)}, korvaster::IBFileWrite::inPlace);
    } catch (const std::exception&) {
      ::_exit(2);
    }
    const long peak = statusKilobytes("VmHWM:");
    struct stat status {};
    ::stat(path.c_str(), &status);
    const double ratio = static_cast<double>(peak - baseline) * 1024.0 / static_cast<double>(status.st_size);
    std::printf("peak memory of the streamed pass over %s (%ld bytes): %ld KiB above baseline = %.2f x file size"
                " (target <= 2)\n",
                path.substr(path.rfind('/') + 1).c_str(), static_cast<long>(status.st_size), peak - baseline, ratio);
    std::fflush(stdout);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ::unlink(scratch.c_str());
  ::unlink(warmUp.c_str());
  return !(WIFEXITED(status) && WEXITSTATUS(status) == 2);
}
#endif

}  // namespace

int main(int argc, char** argv) {
  std::string corpus = KORVASTER_CORPUS_DIR;
  std::vector<char*> rest{argv[0]};
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--corpus") == 0 && i + 1 < argc) {
      corpus = argv[++i];
    } else {
      rest.push_back(argv[i]);
    }
  }
#if defined(__linux__)
  for (const auto& entry : filesBySize(corpus)) {
    if (reportPeakMemory(entry.second)) break;
  }
#endif
  loadLargestFiles(corpus);
  if (gInputs.empty()) {
    std::fprintf(stderr, "no well-formed files in %s\n", corpus.c_str());
    return 1;
  }
  std::printf("inputs: %zu well-formed files, %zu bytes\n", gInputs.size(), gInputBytes);
  int restCount = static_cast<int>(rest.size());
  benchmark::Initialize(&restCount, rest.data());
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double bare = reporter.time("BM_BareExpatParse");
  if (bare > 0) {
    std::printf("streamed pass, one thread:    %.2f x bare expat parse\n", reporter.time("BM_StreamPass") / bare);
    std::printf("streamed pass on the workers: %.2f x bare expat parse (target <= 1.3)\n",
                reporter.time("BM_StreamPassOnWorkers") / bare);
  }
  benchmark::Shutdown();
  return 0;
}
