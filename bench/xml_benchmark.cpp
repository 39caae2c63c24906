// Reading and writing the largest Interface Builder files, against a bare expat parse of the
// same bytes, and the peak memory of one read and write of the largest file.
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

#include "xml/xml_document.h"

namespace {

constexpr std::size_t kLargestFiles = 5;

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
    korvaster::xml::XmlDocument document{std::string_view(text)};
    return true;
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
    if (gInputs.size() == kLargestFiles) break;
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

void BM_ReadIntoTree(benchmark::State& state) {
  for (auto _ : state) {
    for (const auto& text : gInputs) {
      korvaster::xml::XmlDocument document{std::string_view(text)};
      benchmark::DoNotOptimize(document.children().data());
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(gInputBytes));
}

void BM_WriteTree(benchmark::State& state) {
  std::vector<std::unique_ptr<korvaster::xml::XmlDocument>> documents;
  for (const auto& text : gInputs)
    documents.push_back(std::make_unique<korvaster::xml::XmlDocument>(std::string_view(text)));
  for (auto _ : state) {
    for (const auto& document : documents) {
      std::string out = document->xml();
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(gInputBytes));
}

BENCHMARK(BM_BareExpatParse)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadIntoTree)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteTree)->Unit(benchmark::kMillisecond)->MinTime(2.0);

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

// Peak resident memory of one read and write of `path`, above the child's baseline. Called
// before anything else is loaded, so the heap has no freed pages that would hide the growth.
// Returns false when the file is not well-formed.
bool reportPeakMemory(const std::string& path) {
  const pid_t child = ::fork();
  if (child == 0) {
    std::ofstream("/proc/self/clear_refs") << "5";  // resets the peak to the current size
    const long baseline = statusKilobytes("VmHWM:");
    const std::string text = readFile(path);
    try {
      korvaster::xml::XmlDocument document{std::string_view(text)};
      std::string out = document.xml();
      benchmark::DoNotOptimize(out.data());
    } catch (const std::exception&) {
      ::_exit(2);
    }
    const long peak = statusKilobytes("VmHWM:");
    const double ratio = static_cast<double>(peak - baseline) * 1024.0 / static_cast<double>(text.size());
    std::printf(
        "peak memory of reading and writing %s (%zu bytes): %ld KiB above baseline = %.2f x file size "
        "(target <= 8)\n",
        path.substr(path.rfind('/') + 1).c_str(), text.size(), peak - baseline, ratio);
    std::fflush(stdout);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
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
  std::printf("inputs: the %zu largest well-formed files, %zu bytes\n", gInputs.size(), gInputBytes);
  int restCount = static_cast<int>(rest.size());
  benchmark::Initialize(&restCount, rest.data());
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double bare = reporter.time("BM_BareExpatParse");
  if (bare > 0) {
    std::printf("read into a tree: %.2f x bare expat parse (target <= 3)\n",
                reporter.time("BM_ReadIntoTree") / bare);
    std::printf("write the tree:   %.2f x bare expat parse (target <= 1)\n",
                reporter.time("BM_WriteTree") / bare);
  }
  benchmark::Shutdown();
  return 0;
}
