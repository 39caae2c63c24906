#include <gtest/gtest.h>

#include <memory>

#include "core/logging/console_logger.h"
#include "core/logging/logger.h"
#include "core/logging/progress_line.h"
#include "support/process_info.h"

namespace korvaster {
namespace {

TEST(LoggingTest, EachLevelHasItsTagMessagesAreLiteralAndThoseBelowTheThresholdAreNeverEvaluated) {
  auto lines = std::make_shared<RecordingLineWriter>();
  Logger logger(std::make_shared<ConsoleLogger>(LogLevel::Debug, lines));
  for (const LogLevel level : {LogLevel::Debug, LogLevel::Verbose, LogLevel::Info, LogLevel::Warning, LogLevel::Error,
                               LogLevel::SuppressAll}) {
    logger.log(level, [] { return "100%@ done %d"; });
  }
  const std::string tail = " KorvastLoger -> 100%@ done %d";
  EXPECT_EQ(lines->lines, (std::vector<std::string>{"[\U0001F4AC]" + tail, "[\U0001F52C]" + tail, "[\u2139\uFE0F]" + tail,
                                                    "[\u26A0\uFE0F]" + tail, "[\U0001F525]" + tail, "[\u274C]" + tail}));
  int evaluations = 0;
  auto count = [&] { return std::to_string(++evaluations); };
  lines->lines.clear();
  Logger info(std::make_shared<ConsoleLogger>(LogLevel::Info, lines));
  info.log(LogLevel::Verbose, count);
  info.log(LogLevel::Info, count);
  Logger().log(LogLevel::Error, count);
  EXPECT_EQ(evaluations, 1);
  EXPECT_EQ(lines->lines, std::vector<std::string>{"[\u2139\uFE0F] KorvastLoger -> 1"});
}

TEST(StandardErrorLineWriterTest, PrefixHasLocalTimeMillisecondsNameAndIds) {
  // Every run of digits as one "0".
  const auto digitRunsCollapsed = [](const std::string& text) {
    std::string collapsed;
    for (const char c : text) {
      const bool digit = c >= '0' && c <= '9';
      if (!digit || collapsed.empty() || collapsed.back() != '0') collapsed += digit ? '0' : c;
    }
    return collapsed;
  };
  const std::string prefix = StandardErrorLineWriter::prefix(1700000000, 7);
  EXPECT_EQ(digitRunsCollapsed(prefix), digitRunsCollapsed("0-0-0 0:0:0.0 " + support::processName() + "[0:0] "));
  EXPECT_EQ(prefix.substr(0, 4).find_first_not_of("0123456789"), std::string::npos) << prefix;
  EXPECT_EQ(prefix.substr(19, 5), ".007 ");
}

struct RecordingTerminal final : support::Terminal {
  explicit RecordingTerminal(bool watched) : interactive(watched) {}
  bool isInteractive() const override { return interactive; }
  void write(std::string_view bytes) override { written.emplace_back(bytes); }
  bool interactive;
  std::vector<std::string> written;
};

// The progress line is for a person at a terminal: captured output never holds it, and a log
// line first erases it, so that the two never share a line.
TEST(ProgressLineTest, ShownOnlyOnAnInteractiveTerminalAndErasedBeforeEachLogLine) {
  RecordingTerminal captured(false), watched(true);
  {
    ProgressLine hidden(&captured), shown(&watched), none(nullptr);
    none.show("Copying the project...");
    hidden.show("Copying the project...");
    shown.show("Copying the project...");
  }
  EXPECT_TRUE(captured.written.empty());
  EXPECT_EQ(watched.written, (std::vector<std::string>{"\r\033[KCopying the project...", "\r\033[K"}));

  watched.written.clear();
  StandardErrorLineWriter writer(watched);
  ProgressLine progress(&watched);
  progress.advance("Interface Builder files", 1);
  writer.writeLine("done");
  writer.writeLine("again");
  ASSERT_EQ(watched.written.size(), 4u);
  EXPECT_EQ(watched.written[0], "\r\033[KInterface Builder files: 1 of 1");
  EXPECT_EQ(watched.written[1], "\r\033[K");
  EXPECT_EQ(watched.written[2].substr(watched.written[2].size() - 5), "done\n");
  EXPECT_EQ(watched.written[3].substr(watched.written[3].size() - 6), "again\n");
}

}  // namespace
}  // namespace korvaster
