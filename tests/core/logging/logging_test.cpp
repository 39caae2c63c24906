#include <gtest/gtest.h>

#include <memory>

#include "core/logging/console_logger.h"
#include "core/logging/logger.h"
#include "support/process_info.h"

namespace korvaster {
namespace {

class LoggingTest : public ::testing::Test {
 protected:
  std::shared_ptr<Logger> loggerAt(LogLevel level) {
    return std::make_shared<Logger>(std::make_shared<ConsoleLogger>(level, lines));
  }
  std::shared_ptr<RecordingLineWriter> lines = std::make_shared<RecordingLineWriter>();
};

TEST_F(LoggingTest, WritesEachLevelsTagThePrefixAndTheMessageLiterally) {
  auto logger = loggerAt(LogLevel::Debug);
  const LogLevel levels[] = {LogLevel::Debug,   LogLevel::Verbose, LogLevel::Info,
                             LogLevel::Warning, LogLevel::Error,   LogLevel::SuppressAll};
  for (const LogLevel level : levels) logger->log(level, [] { return "100%@ done %d"; });
  EXPECT_EQ(lines->lines, (std::vector<std::string>{
                              "[\U0001F4AC] KorvastLoger -> 100%@ done %d",
                              "[\U0001F52C] KorvastLoger -> 100%@ done %d",
                              "[\u2139\uFE0F] KorvastLoger -> 100%@ done %d",
                              "[\u26A0\uFE0F] KorvastLoger -> 100%@ done %d",
                              "[\U0001F525] KorvastLoger -> 100%@ done %d",
                              "[\u274C] KorvastLoger -> 100%@ done %d",
                          }));
}

TEST_F(LoggingTest, MessagesBelowTheThresholdOrWithoutAWriterAreNeverEvaluated) {
  int evaluations = 0;
  auto count = [&] { return std::to_string(++evaluations); };
  auto logger = loggerAt(LogLevel::Info);
  logger->log(LogLevel::Verbose, count);
  logger->log(LogLevel::Info, count);
  Logger().log(LogLevel::Error, count);
  EXPECT_EQ(evaluations, 1);
  EXPECT_EQ(lines->lines, std::vector<std::string>{"[\u2139\uFE0F] KorvastLoger -> 1"});
}

// Every run of digits as one "0".
std::string digitRunsCollapsed(const std::string& text) {
  std::string collapsed;
  for (const char c : text) {
    const bool digit = c >= '0' && c <= '9';
    if (!digit || collapsed.empty() || collapsed.back() != '0') collapsed += digit ? '0' : c;
  }
  return collapsed;
}

TEST(StandardErrorLineWriterTest, PrefixHasLocalTimeMillisecondsNameAndIds) {
  const std::string prefix = StandardErrorLineWriter::prefix(1700000000, 7);
  EXPECT_EQ(digitRunsCollapsed(prefix),
            digitRunsCollapsed("0-0-0 0:0:0.0 " + support::processName() + "[0:0] "));
  EXPECT_EQ(prefix.substr(0, 4).find_first_not_of("0123456789"), std::string::npos) << prefix;
  EXPECT_EQ(prefix.substr(19, 5), ".007 ");
}

}  // namespace
}  // namespace korvaster
