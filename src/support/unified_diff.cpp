#include "support/unified_diff.h"

#include <algorithm>
#include <cstring>

#include "support/output_byte_stream.h"

namespace korvaster::support {

namespace {

constexpr std::size_t kContext = 3;
constexpr std::size_t kLargestPiece = std::size_t{1} << 16;

// A stretch of the new text as the old bytes and inserted texts it is made of, in order: the
// new text is never put together whole.
class Pieces {
 public:
  explicit Pieces(std::size_t most = 0) {
    pieces_.reserve(most);
    ends_.reserve(most);
  }
  void add(std::string_view piece) {
    if (piece.empty()) return;
    pieces_.push_back(piece);
    ends_.push_back(size() + piece.size());
  }
  std::size_t size() const { return ends_.empty() ? 0 : ends_.back(); }

  // Calls `take` with the bytes of [from, to), piece by piece.
  template <typename Take>
  void forEach(std::size_t from, std::size_t to, Take&& take) const {
    auto index = static_cast<std::size_t>(std::upper_bound(ends_.begin(), ends_.end(), from) - ends_.begin());
    for (; index < pieces_.size() && from < to; ++index) {
      const std::size_t start = ends_[index] - pieces_[index].size();
      const std::size_t until = std::min(to, ends_[index]);
      take(pieces_[index].substr(from - start, until - from));
      from = until;
    }
  }
  bool matches(std::size_t at, std::string_view text) const {
    if (at + text.size() > size()) return false;
    bool same = true;
    std::size_t done = 0;
    forEach(at, at + text.size(), [&](std::string_view part) {
      same = same && part == text.substr(done, part.size());
      done += part.size();
    });
    return same;
  }
  char at(std::size_t offset) const {
    char byte = 0;
    forEach(offset, offset + 1, [&](std::string_view part) { byte = part[0]; });
    return byte;
  }

 private:
  std::vector<std::string_view> pieces_;
  std::vector<std::size_t> ends_;
};

// Writes lines under a mark (' ', '-' or '+'), given in any pieces; a last line without a
// line feed gets the marker patch reads.
class MarkedLines {
 public:
  MarkedLines(OutputByteStream& out, char mark) : out_(out), mark_(mark) {}
  MarkedLines(const MarkedLines&) = delete;
  MarkedLines& operator=(const MarkedLines&) = delete;
  void write(std::string_view text) {
    for (std::size_t start = 0; start < text.size();) {
      if (atLineStart_) out_ << std::string_view(&mark_, 1);
      const std::size_t feed = text.find('\n', start);
      const std::size_t end = feed == std::string_view::npos ? text.size() : feed + 1;
      // In pieces: a stream that buffers what it is given would otherwise hold a long line whole.
      for (std::size_t piece = start; piece < end; piece += kLargestPiece)
        out_ << text.substr(piece, std::min(kLargestPiece, end - piece));
      atLineStart_ = feed != std::string_view::npos;
      start = end;
    }
  }
  ~MarkedLines() {
    if (!atLineStart_) out_ << "\n\\ No newline at end of file\n";
  }

 private:
  OutputByteStream& out_;
  char mark_;
  bool atLineStart_ = true;
};

std::size_t linesIn(std::string_view text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) +
         (!text.empty() && text.back() != '\n' ? 1 : 0);
}

// What the edits [firstEdit, nextEdit) make of the old bytes [begin, end): the new text's
// bytes [newBegin, newEnd) take the place of the old lines [line, line + removed), the bytes
// [removedBegin, removedEnd), and hold `added` lines.
struct Group {
  std::size_t firstEdit = 0, nextEdit = 0, begin = 0, end = 0, newBegin = 0, newEnd = 0;
  std::size_t line = 0, removed = 0, removedBegin = 0, removedEnd = 0, added = 0;
};

// "-3,2" for two lines from the third; an empty range names the line before it.
std::string range(std::size_t start, std::size_t count) {
  return std::to_string(count == 0 ? start : start + 1) + "," + std::to_string(count);
}

// Whether the byte at `at` belongs to a control character: C0, DEL, or a C1 control (U+0080
// to U+009F, two bytes in UTF-8), which a terminal would act on as well.
bool isControlByte(std::string_view path, std::size_t at) {
  const auto byteAt = [&](std::size_t index) {
    return index < path.size() ? static_cast<unsigned char>(path[index]) : 0U;
  };
  const unsigned byte = byteAt(at);
  const bool c1Lead = byte == 0xC2 && byteAt(at + 1) >= 0x80 && byteAt(at + 1) <= 0x9F;
  const bool c1Tail = at > 0 && byteAt(at - 1) == 0xC2 && byte >= 0x80 && byte <= 0x9F;
  return byte < 0x20 || byte == 0x7f || c1Lead || c1Tail;
}

// A header's file name and line end. A name with a tab, a line break, a quote, a backslash or
// another control character is quoted with C escapes, as git writes it and patch and git apply
// read it; one with a space ends with a tab, as patch reads a name up to it.
std::string headerName(std::string_view side, std::string_view path) {
  bool quoted = false;
  for (std::size_t at = 0; at < path.size() && !quoted; ++at) {
    quoted = isControlByte(path, at) || path[at] == '"' || path[at] == '\\';
  }
  if (!quoted)
    return std::string(side) + std::string(path) + (path.find(' ') != std::string_view::npos ? "\t\n" : "\n");
  std::string name = "\"" + std::string(side);
  for (std::size_t at = 0; at < path.size(); ++at) {
    const char c = path[at];
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      name += '\\';
      name += c;
    } else if (c == '\t') {
      name += "\\t";
    } else if (c == '\n') {
      name += "\\n";
    } else if (isControlByte(path, at)) {
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

// The changes the edits make, line by line, found in one pass over the old text. Changed lines
// with no unchanged line between them make one change, which shows all its removed lines
// before its added ones.
class EditDiff {
 public:
  EditDiff(std::string_view before, const std::vector<TextEdit>& edits) : before_(before), edits_(edits) {}

  void collect() {
    // No more groups than edits, nor than lines: room for each at once, and no more.
    groups_.reserve(std::min(edits_.size(), linesIn(before_) + 1));
    std::size_t line = 0, scanned = 0, lineStart = 0;
    for (std::size_t next = 0; next < edits_.size();) {
      const std::size_t first = next;
      for (; scanned < edits_[first].offset; ++scanned) {
        const void* feed = std::memchr(before_.data() + scanned, '\n', edits_[first].offset - scanned);
        if (feed == nullptr) break;
        scanned = static_cast<std::size_t>(static_cast<const char*>(feed) - before_.data());
        ++line;
        lineStart = scanned + 1;
      }
      scanned = std::max(scanned, edits_[first].offset);
      // The edits of the lines the first one touches, and of lines joined to them by an
      // erased line feed.
      std::size_t end = lineStart;
      for (; next < edits_.size() &&
             (next == first || edits_[next].offset < end || endsUnendedLine(edits_[next].offset, end));
           ++next) {
        const TextEdit& edit = edits_[next];
        const std::size_t lastTouched = edit.offset + (edit.erased > 0 ? edit.erased - 1 : 0);
        if (lastTouched >= end) end = lineEndAfter(lastTouched);
      }
      add({first, next, lineStart, end}, line);
    }
  }

  void write(std::string_view path, OutputByteStream& out) const {
    if (groups_.empty()) return;
    out << "--- " << headerName("a/", path) << "+++ " << headerName("b/", path);
    const std::size_t oldLines = linesIn(before_);
    std::size_t added = 0, removed = 0;
    for (std::size_t first = 0; first < groups_.size();) {
      std::size_t last = first;
      while (last + 1 < groups_.size() &&
             groups_[last + 1].line - (groups_[last].line + groups_[last].removed) <= 2 * kContext)
        ++last;
      writeHunk(out, first, last, oldLines, added, removed);
      first = last + 1;
    }
  }

 private:
  bool endsUnendedLine(std::size_t offset, std::size_t end) const {
    return offset == end && end == before_.size() && end > 0 && before_[end - 1] != '\n';
  }
  std::size_t lineEndAfter(std::size_t offset) const {
    const std::size_t feed = before_.find('\n', offset);
    return feed == std::string_view::npos ? before_.size() : feed + 1;
  }

  Pieces newText(const Group& group) const {
    Pieces after(2 * (group.nextEdit - group.firstEdit) + 1);
    std::size_t copied = group.begin;
    for (std::size_t index = group.firstEdit; index < group.nextEdit; ++index) {
      after.add(before_.substr(copied, edits_[index].offset - copied));
      after.add(edits_[index].inserted);
      copied = edits_[index].offset + edits_[index].erased;
    }
    after.add(before_.substr(copied, group.end - copied));
    return after;
  }

  // Keeps `group`, whose bytes start line `line`, less the old lines that stand whole at the
  // head or the tail of its new text: those are unchanged.
  void add(Group group, std::size_t line) {
    const Pieces after = newText(group);
    std::size_t begin = group.begin, end = group.end, newBegin = 0, newEnd = after.size();
    while (begin < end) {
      const std::size_t feed = before_.substr(begin, end - begin).find('\n');
      const std::string_view head =
          before_.substr(begin, feed == std::string_view::npos ? end - begin : feed + 1);
      const bool whole = head.back() == '\n' || newBegin + head.size() == newEnd;
      if (!whole || !after.matches(newBegin, head)) break;
      begin += head.size(), newBegin += head.size(), ++line;
    }
    while (begin < end) {
      const std::size_t feed = before_.substr(begin, end - begin - 1).rfind('\n');
      const std::size_t tailStart = feed == std::string_view::npos ? begin : begin + feed + 1;
      const std::string_view tail = before_.substr(tailStart, end - tailStart);
      if (newEnd - newBegin < tail.size()) break;
      const std::size_t at = newEnd - tail.size();
      if ((at > newBegin && after.at(at - 1) != '\n') || !after.matches(at, tail)) break;
      end = tailStart, newEnd = at;
    }
    if (begin == end && newBegin == newEnd) return;
    char lastByte = '\n';
    after.forEach(newBegin, newEnd, [&](std::string_view part) {
      group.added += static_cast<std::size_t>(std::count(part.begin(), part.end(), '\n'));
      lastByte = part.back();
    });
    group.added += lastByte != '\n' ? 1 : 0;
    group.line = line, group.removed = linesIn(before_.substr(begin, end - begin));
    group.removedBegin = begin, group.removedEnd = end, group.newBegin = newBegin, group.newEnd = newEnd;
    groups_.push_back(group);
  }

  // Groups [first, last] as one hunk; `added` and `removed` count the lines the hunks before
  // it added and removed.
  void writeHunk(OutputByteStream& out, std::size_t first, std::size_t last, std::size_t oldLines,
                 std::size_t& added, std::size_t& removed) const {
    const Group& head = groups_[first];
    const Group& tail = groups_[last];
    const std::size_t startLine = head.line >= kContext ? head.line - kContext : 0;
    const std::size_t endLine = std::min(oldLines, tail.line + tail.removed + kContext);
    std::size_t hunkAdded = 0, hunkRemoved = 0;
    for (std::size_t index = first; index <= last; ++index)
      hunkAdded += groups_[index].added, hunkRemoved += groups_[index].removed;
    out << "@@ -" << range(startLine, endLine - startLine) << " +"
        << range(startLine + added - removed, endLine - startLine + hunkAdded - hunkRemoved) << " @@\n";
    added += hunkAdded, removed += hunkRemoved;
    std::size_t at = head.removedBegin;
    for (std::size_t line = startLine; line < head.line; ++line)
      at = at >= 2 ? before_.substr(0, at - 1).rfind('\n') + 1 : 0;
    for (std::size_t change = first; change <= last;) {
      std::size_t next = change + 1;
      while (next <= last && groups_[next].removedBegin == groups_[next - 1].removedEnd) ++next;
      MarkedLines(out, ' ').write(before_.substr(at, groups_[change].removedBegin - at));
      at = groups_[next - 1].removedEnd;
      MarkedLines(out, '-').write(
          before_.substr(groups_[change].removedBegin, at - groups_[change].removedBegin));
      MarkedLines plus(out, '+');
      for (; change < next; ++change)
        newText(groups_[change])
            .forEach(groups_[change].newBegin, groups_[change].newEnd,
                     [&](std::string_view part) { plus.write(part); });
    }
    std::size_t contextEnd = at;
    for (std::size_t line = tail.line + tail.removed; line < endLine; ++line)
      contextEnd = lineEndAfter(contextEnd);
    MarkedLines(out, ' ').write(before_.substr(at, contextEnd - at));
  }

  std::string_view before_;
  const std::vector<TextEdit>& edits_;
  std::vector<Group> groups_;
};

}  // namespace

void writeUnifiedDiff(std::string_view before, const std::vector<TextEdit>& edits, std::string_view path,
                      OutputByteStream& out) {
  EditDiff diff(before, edits);
  diff.collect();
  diff.write(path, out);
}

std::string unifiedDiff(std::string_view before, const std::vector<TextEdit>& edits, std::string_view path) {
  StringOutputStream out;
  writeUnifiedDiff(before, edits, path, out);
  return out.text();
}

}  // namespace korvaster::support
