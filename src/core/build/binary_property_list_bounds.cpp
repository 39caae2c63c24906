#include "core/build/binary_property_list_bounds.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace korvaster {

namespace {

constexpr std::string_view kMagic = "bplist00";
constexpr std::size_t kTrailerSize = 32;

std::uint64_t readUnsigned(std::string_view bytes, std::size_t position, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t index = 0; index < width; ++index)
    value = (value << 8) | static_cast<unsigned char>(bytes[position + index]);
  return value;
}

struct ObjectLayout {
  std::size_t encodedBytes = 0;    // marker, length and payload or references
  std::size_t firstReference = 0;  // where a container's references begin
  std::size_t referenceCount = 0;  // zero for everything but arrays, sets and dictionaries
};

// The trailer, the offset table and the objects they point at. Every accessor checks its
// position against the region it reads, so a lying trailer or length ends in nullopt.
class ObjectTable {
 public:
  static std::optional<ObjectTable> open(std::string_view bytes) {
    if (bytes.size() < kMagic.size() + kTrailerSize || bytes.substr(0, kMagic.size()) != kMagic)
      return std::nullopt;
    ObjectTable table(bytes);
    const std::size_t trailer = bytes.size() - kTrailerSize;
    table.offsetSize_ = static_cast<unsigned char>(bytes[trailer + 6]);
    table.referenceSize_ = static_cast<unsigned char>(bytes[trailer + 7]);
    const std::uint64_t objectCount = readUnsigned(bytes, trailer + 8, 8);
    const std::uint64_t rootObject = readUnsigned(bytes, trailer + 16, 8);
    const std::uint64_t tableOffset = readUnsigned(bytes, trailer + 24, 8);
    if (table.offsetSize_ < 1 || table.offsetSize_ > 8 || table.referenceSize_ < 1 ||
        table.referenceSize_ > 8)
      return std::nullopt;
    // Objects lie between the magic and the offset table, the table before the trailer.
    if (tableOffset < kMagic.size() || tableOffset > trailer) return std::nullopt;
    table.tableOffset_ = static_cast<std::size_t>(tableOffset);
    if (objectCount == 0 || objectCount > (trailer - table.tableOffset_) / table.offsetSize_)
      return std::nullopt;
    if (rootObject >= objectCount) return std::nullopt;
    table.objectCount_ = static_cast<std::size_t>(objectCount);
    table.rootObject_ = static_cast<std::size_t>(rootObject);
    return table;
  }

  std::size_t objectCount() const { return objectCount_; }
  std::size_t rootObject() const { return rootObject_; }

  std::optional<ObjectLayout> layoutOf(std::size_t object) const {
    const std::uint64_t offset = readUnsigned(bytes_, tableOffset_ + object * offsetSize_, offsetSize_);
    if (offset < kMagic.size() || offset >= tableOffset_) return std::nullopt;
    const auto start = static_cast<std::size_t>(offset);
    const auto marker = static_cast<unsigned char>(bytes_[start]);
    const unsigned type = static_cast<unsigned>(marker) >> 4;
    const unsigned nibble = marker & 0x0Fu;
    std::size_t payloadStart = start + 1;
    std::uint64_t payload = 0;
    std::uint64_t references = 0;
    switch (type) {
      case 0x0:  // null, booleans, fill
        break;
      case 0x1:  // integer
      case 0x2:  // real
        if (nibble > 4) return std::nullopt;
        payload = std::uint64_t{1} << nibble;
        break;
      case 0x3:  // date
        payload = 8;
        break;
      case 0x8:  // uid
        payload = nibble + 1;
        break;
      default: {
        const std::size_t unit = bytesPerCountedElement(type);
        if (unit == 0) return std::nullopt;
        const auto count = countAfter(start, payloadStart);
        if (!count || *count > (tableOffset_ - payloadStart) / unit) return std::nullopt;
        payload = *count * unit;
        if (isContainer(type)) references = payload / referenceSize_;
        break;
      }
    }
    if (payload > tableOffset_ - payloadStart) return std::nullopt;
    return ObjectLayout{payloadStart - start + static_cast<std::size_t>(payload), payloadStart,
                        static_cast<std::size_t>(references)};
  }

  static bool isContainer(unsigned type) { return type >= 0xA && type <= 0xD; }

  // For the types whose marker carries a count: the bytes each counted element takes (a
  // dictionary counts pairs of a key and a value reference). Zero for every other type.
  std::size_t bytesPerCountedElement(unsigned type) const {
    switch (type) {
      case 0x4:  // data
      case 0x5:  // ASCII string
      case 0x7:  // UTF-8 string
        return 1;
      case 0x6:  // UTF-16 string
        return 2;
      case 0xA:  // array
      case 0xB:  // ordered set
      case 0xC:  // set
        return referenceSize_;
      case 0xD:  // dictionary
        return 2 * referenceSize_;
      default:
        return 0;
    }
  }

  // The object named by a container's `index`th reference; nullopt when there is none such.
  std::optional<std::size_t> reference(const ObjectLayout& container, std::size_t index) const {
    const std::uint64_t object =
        readUnsigned(bytes_, container.firstReference + index * referenceSize_, referenceSize_);
    if (object >= objectCount_) return std::nullopt;
    return static_cast<std::size_t>(object);
  }

 private:
  explicit ObjectTable(std::string_view bytes) : bytes_(bytes) {}

  // The length held in the marker at `start`, or in the integer object after it when the
  // marker's low half is all ones; `payloadStart` moves past whatever was read.
  std::optional<std::uint64_t> countAfter(std::size_t start, std::size_t& payloadStart) const {
    const unsigned nibble = static_cast<unsigned char>(bytes_[start]) & 0x0Fu;
    if (nibble != 0x0F) return nibble;
    if (payloadStart >= tableOffset_) return std::nullopt;
    const auto intMarker = static_cast<unsigned char>(bytes_[payloadStart]);
    if ((intMarker >> 4) != 0x1 || (intMarker & 0x0Fu) > 3) return std::nullopt;
    const std::size_t width = std::size_t{1} << (intMarker & 0x0Fu);
    if (width > tableOffset_ - payloadStart - 1) return std::nullopt;
    const std::uint64_t count = readUnsigned(bytes_, payloadStart + 1, width);
    payloadStart += 1 + width;
    return count;
  }

  std::string_view bytes_;
  std::size_t offsetSize_ = 0;
  std::size_t referenceSize_ = 0;
  std::size_t tableOffset_ = 0;
  std::size_t objectCount_ = 0;
  std::size_t rootObject_ = 0;
};

enum class Visit : unsigned char { unseen, onPath, settled };

// What is known of an object once every object under it has been walked.
struct ObjectShape {
  Visit visit = Visit::unseen;
  std::size_t depth = 0;
  std::size_t expandedBytes = 0;
};

struct Frame {
  std::size_t object;
  ObjectLayout layout;
  std::size_t nextReference = 0;
  std::size_t depth = 1;
  std::size_t expandedBytes = 0;
};

}  // namespace

bool isWithinBounds(std::string_view bytes, const BinaryPropertyListBounds& bounds) {
  const auto table = ObjectTable::open(bytes);
  if (!table) return false;
  // Objects are walked depth first, each once: a shape settled through one reference serves
  // every later reference to it. An object met again while it is still on the path is a
  // container that holds itself.
  std::vector<ObjectShape> shapes(table->objectCount());
  std::vector<Frame> path;

  // Settles a leaf at once and puts a container on the path; false when the object is
  // malformed or the path would grow past the deepest level allowed.
  const auto enter = [&](std::size_t object) {
    const auto layout = table->layoutOf(object);
    if (!layout) return false;
    if (layout->referenceCount == 0) {
      shapes[object] = {Visit::settled, 1, layout->encodedBytes};
      return true;
    }
    if (path.size() >= bounds.maximumDepth) return false;
    shapes[object].visit = Visit::onPath;
    path.push_back({object, *layout, 0, 1, layout->encodedBytes});
    return true;
  };
  // Adds a settled object to the container on top of the path, or judges it as the root.
  const auto settleUnderTop = [&](std::size_t object) {
    const ObjectShape& shape = shapes[object];
    const std::size_t level = path.size();
    if (level + shape.depth > bounds.maximumDepth) return false;
    if (path.empty()) return shape.expandedBytes <= bounds.maximumExpandedBytes;
    Frame& top = path.back();
    top.depth = std::max(top.depth, 1 + shape.depth);
    top.expandedBytes += shape.expandedBytes;
    return top.expandedBytes <= bounds.maximumExpandedBytes;
  };

  if (!enter(table->rootObject())) return false;
  if (path.empty()) return settleUnderTop(table->rootObject());
  while (!path.empty()) {
    Frame& top = path.back();
    if (top.nextReference == top.layout.referenceCount) {
      const Frame finished = top;
      path.pop_back();
      shapes[finished.object] = {Visit::settled, finished.depth, finished.expandedBytes};
      if (!settleUnderTop(finished.object)) return false;
      continue;
    }
    const auto child = table->reference(top.layout, top.nextReference++);
    if (!child || shapes[*child].visit == Visit::onPath) return false;
    if (shapes[*child].visit == Visit::unseen) {
      const std::size_t before = path.size();
      if (!enter(*child)) return false;
      if (path.size() > before) continue;
    }
    if (!settleUnderTop(*child)) return false;
  }
  return true;
}

}  // namespace korvaster
