#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "core/logging/console_logger.h"
#include "core/logging/logger.h"

namespace korvaster {
namespace {

class LoggingTest : public ::testing::Test {
 protected:
  std::shared_ptr<Logger> loggerAt(LogLevel level) {
    return std::make_shared<Logger>(std::make_shared<ConsoleLogger>(level, lines));
  }
  std::shared_ptr<RecordingLineWriter> lines = std::make_shared<RecordingLineWriter>();
};

TEST_F(LoggingTest, WritesTagPrefixAndMessageLiterally) {
  auto logger = loggerAt(LogLevel::Info);
  logger->log(LogLevel::Info, [] { return "Archiving the project..."; });
  logger->log(LogLevel::Error, [] { return std::string("100%@ done %d"); });
  logger->log(LogLevel::Warning, [] { return 42; });
  logger->log(LogLevel::SuppressAll, [] { return 1.5; });
  EXPECT_EQ(lines->lines, (std::vector<std::string>{
                              "[\u2139\uFE0F] KorvastLoger -> Archiving the project...",
                              "[\U0001F525] KorvastLoger -> 100%@ done %d",
                              "[\u26A0\uFE0F] KorvastLoger -> 42",
                              "[\u274C] KorvastLoger -> 1.5",
                          }));
}

TEST_F(LoggingTest, MessagesBelowTheThresholdAreNeitherWrittenNorEvaluated) {
  auto logger = loggerAt(LogLevel::Info);
  int evaluations = 0;
  logger->log(LogLevel::Debug, [&] { return ++evaluations; });
  logger->log(LogLevel::Verbose, [&] { return ++evaluations; });
  EXPECT_EQ(evaluations, 0);
  EXPECT_TRUE(lines->lines.empty());

  logger->activeLogger = std::make_shared<ConsoleLogger>(LogLevel::Verbose, lines);
  logger->log(LogLevel::Verbose, [&] { return ++evaluations; });
  logger->log(LogLevel::Debug, [&] { return ++evaluations; });
  EXPECT_EQ(evaluations, 1);
  EXPECT_EQ(lines->lines, std::vector<std::string>{"[\U0001F52C] KorvastLoger -> 1"});
}

TEST_F(LoggingTest, WithoutAnActiveLoggerNothingIsEvaluated) {
  Logger logger;
  bool evaluated = false;
  logger.log(LogLevel::Error, [&] {
    evaluated = true;
    return "x";
  });
  EXPECT_FALSE(evaluated);
}

TEST(LogLevelTest, DebugTag) { EXPECT_STREQ(tag(LogLevel::Debug), "[\U0001F4AC]"); }

TEST(StandardErrorLineWriterTest, PrefixHasLocalTimeMillisecondsNameAndIds) {
  const std::string prefix = StandardErrorLineWriter::prefix(1700000000, 7);
  int year, month, day, hour, minute, second, millis, consumed = 0;
  ASSERT_EQ(std::sscanf(prefix.c_str(), "%4d-%2d-%2d %2d:%2d:%2d.%3d %n", &year, &month, &day, &hour, &minute,
                        &second, &millis, &consumed),
            7)
      << prefix;
  EXPECT_EQ(millis, 7);
  EXPECT_EQ(prefix.substr(19, 5), ".007 ");
  const std::string rest = prefix.substr(static_cast<std::size_t>(consumed));
  unsigned long pid = 0, tid = 0;
  char tail[3] = {};
  EXPECT_EQ(std::sscanf(rest.c_str() + rest.find('['), "[%lu:%lu%2c", &pid, &tid, tail), 3) << prefix;
  EXPECT_STREQ(tail, "] ");
}

}  // namespace
}  // namespace korvaster
