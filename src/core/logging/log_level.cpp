#include "core/logging/log_level.h"

namespace korvaster {

const char* tag(LogLevel level) {
  switch (level) {
    case LogLevel::Debug:
      return "[\U0001F4AC]";
    case LogLevel::Verbose:
      return "[\U0001F52C]";
    case LogLevel::Info:
      return "[\u2139\uFE0F]";
    case LogLevel::Warning:
      return "[\u26A0\uFE0F]";
    case LogLevel::Error:
      return "[\U0001F525]";
    case LogLevel::SuppressAll:
      return "[\u274C]";
  }
  return "[]";
}

}  // namespace korvaster
