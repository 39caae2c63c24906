#include "support/unified_diff.h"

#include <algorithm>
#include <vector>

namespace korvaster::support {

namespace {

constexpr std::size_t kContext = 3;

// Each line with its line feed, if it has one.
std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t lineFeed = text.find('\n', start);
    const std::size_t end = lineFeed == std::string_view::npos ? text.size() : lineFeed + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

enum class Op { same, removed, added };

struct Step {
  Op op;
  std::size_t before;  // index in the old lines (where it would be, for an added line)
  std::size_t after;   // the same in the new lines
};

// The shortest edit script between a[from..) and b[from..) whose ends are already unequal
// (Myers' greedy algorithm). Only the band each round reached is kept, so that files with few
// changes cost little memory however long they are.
std::vector<Step> shortestScript(const std::vector<std::string_view>& a,
                                 const std::vector<std::string_view>& b, std::size_t from, std::size_t aEnd,
                                 std::size_t bEnd) {
  const auto n = static_cast<long>(aEnd - from), m = static_cast<long>(bEnd - from);
  const long most = n + m;
  std::vector<long> reach(static_cast<std::size_t>(2 * most + 2), 0);
  const auto at = [&](std::vector<long>& band, long k) -> long& {
    return band[static_cast<std::size_t>(k + most)];
  };
  std::vector<std::vector<long>> rounds;
  const auto same = [&](long x, long y) {
    return a[from + static_cast<std::size_t>(x)] == b[from + static_cast<std::size_t>(y)];
  };
  long found = -1;
  for (long d = 0; d <= most && found < 0; ++d) {
    for (long k = -d; k <= d; k += 2) {
      long x = (k == -d || (k != d && at(reach, k - 1) < at(reach, k + 1))) ? at(reach, k + 1)
                                                                            : at(reach, k - 1) + 1;
      long y = x - k;
      while (x < n && y < m && same(x, y)) ++x, ++y;
      at(reach, k) = x;
      if (x >= n && y >= m) found = d;
    }
    rounds.emplace_back(reach.begin() + (most - d), reach.begin() + (most + d + 1));
  }
  std::vector<Step> steps;
  long x = n, y = m;
  for (long d = found; d > 0; --d) {
    const std::vector<long>& previous = rounds[static_cast<std::size_t>(d - 1)];
    const auto prior = [&](long k) { return previous[static_cast<std::size_t>(k + d - 1)]; };
    const long k = x - y;
    const long priorK = (k == -d || (k != d && prior(k - 1) < prior(k + 1))) ? k + 1 : k - 1;
    const long priorX = prior(priorK), priorY = priorX - priorK;
    const long stepX = priorK == k + 1 ? priorX : priorX + 1;
    const long stepY = stepX - k;
    while (x > stepX && y > stepY) {
      --x, --y;
      steps.push_back({Op::same, from + static_cast<std::size_t>(x), from + static_cast<std::size_t>(y)});
    }
    if (priorK == k + 1) {
      steps.push_back(
          {Op::added, from + static_cast<std::size_t>(priorX), from + static_cast<std::size_t>(priorY)});
    } else {
      steps.push_back(
          {Op::removed, from + static_cast<std::size_t>(priorX), from + static_cast<std::size_t>(priorY)});
    }
    x = priorX, y = priorY;
  }
  while (x > 0 && y > 0) {
    --x, --y;
    steps.push_back({Op::same, from + static_cast<std::size_t>(x), from + static_cast<std::size_t>(y)});
  }
  std::reverse(steps.begin(), steps.end());
  return steps;
}

void appendLine(std::string& out, char mark, std::string_view line) {
  out += mark;
  out.append(line);
  if (line.empty() || line.back() != '\n') out += "\n\\ No newline at end of file\n";
}

// "-3,2" for two lines from the third; an empty range names the line before it.
std::string range(std::size_t start, std::size_t count) {
  return std::to_string(count == 0 ? start : start + 1) + "," + std::to_string(count);
}

}  // namespace

namespace {

// A header's file name and line end. A name with a tab, a line break, a quote, a backslash or
// another control character is quoted with C escapes, as git writes it and patch and git apply
// read it; one with a space ends with a tab, as patch reads a name up to it.
std::string headerName(std::string_view side, std::string_view path) {
  const bool quoted = std::any_of(path.begin(), path.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f || c == '"' || c == '\\';
  });
  if (!quoted)
    return std::string(side) + std::string(path) + (path.find(' ') != std::string_view::npos ? "\t\n" : "\n");
  std::string name = "\"" + std::string(side);
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      name += '\\';
      name += c;
    } else if (c == '\t') {
      name += "\\t";
    } else if (c == '\n') {
      name += "\\n";
    } else if (byte < 0x20 || byte == 0x7f) {
      const char octal[] = {'\\', static_cast<char>('0' + (byte >> 6)),
                            static_cast<char>('0' + ((byte >> 3) & 7)), static_cast<char>('0' + (byte & 7)),
                            '\0'};
      name += octal;
    } else {
      name += c;
    }
  }
  return name + "\"\n";
}

}  // namespace

std::string unifiedDiff(std::string_view before, std::string_view after, std::string_view path) {
  if (before == after) return {};
  const std::vector<std::string_view> a = linesOf(before), b = linesOf(after);
  std::size_t head = 0;
  while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
  std::size_t aEnd = a.size(), bEnd = b.size();
  while (aEnd > head && bEnd > head && a[aEnd - 1] == b[bEnd - 1]) --aEnd, --bEnd;
  std::vector<Step> steps;
  for (std::size_t line = 0; line < head; ++line) steps.push_back({Op::same, line, line});
  for (const Step& step : shortestScript(a, b, head, aEnd, bEnd)) steps.push_back(step);
  for (std::size_t line = 0; aEnd + line < a.size(); ++line)
    steps.push_back({Op::same, aEnd + line, bEnd + line});

  std::string out = "--- " + headerName("a/", path) + "+++ " + headerName("b/", path);
  std::size_t next = 0;
  while (next < steps.size()) {
    while (next < steps.size() && steps[next].op == Op::same) ++next;
    if (next == steps.size()) break;
    // A hunk runs from some context before its first change to the first run of more than
    // twice the context of unchanged lines, less what exceeds the context.
    const std::size_t first = next >= kContext ? next - kContext : 0;
    std::size_t last = next;
    for (std::size_t scan = next; scan < steps.size();) {
      if (steps[scan].op != Op::same) {
        last = ++scan;
        continue;
      }
      std::size_t run = scan;
      while (run < steps.size() && steps[run].op == Op::same) ++run;
      if (run == steps.size() || run - scan > 2 * kContext) break;
      scan = run;
    }
    const std::size_t end = std::min(steps.size(), last + kContext);
    std::size_t oldCount = 0, newCount = 0;
    for (std::size_t index = first; index < end; ++index) {
      oldCount += steps[index].op != Op::added ? 1 : 0;
      newCount += steps[index].op != Op::removed ? 1 : 0;
    }
    out +=
        "@@ -" + range(steps[first].before, oldCount) + " +" + range(steps[first].after, newCount) + " @@\n";
    for (std::size_t index = first; index < end; ++index) {
      const Step& step = steps[index];
      if (step.op == Op::same) appendLine(out, ' ', a[step.before]);
      if (step.op == Op::removed) appendLine(out, '-', a[step.before]);
      if (step.op == Op::added) appendLine(out, '+', b[step.after]);
    }
    next = end;
  }
  return out;
}

}  // namespace korvaster::support
