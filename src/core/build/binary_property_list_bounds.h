// BinaryPropertyListBounds: limits on the tree that reading a binary property list builds,
// and a walk of the list's object graph, with a stack of its own, that checks them before the
// list is read. The caller owns the bytes; nothing is kept.
#pragma once

#include <cstddef>
#include <string_view>

namespace korvaster {

struct BinaryPropertyListBounds {
  // Levels of the tree, the root object being level 1 and each contained object one deeper.
  std::size_t maximumDepth;
  // The encoded bytes of every object in the tree, counted once per reference to it: a list
  // whose containers share objects unfolds into a tree larger than the list.
  std::size_t maximumExpandedBytes;
};

// True when `bytes` is laid out as a binary property list (header, trailer and offset table
// consistent; every object, length and reference inside the list), no container holds
// itself however indirectly, and the tree the list unfolds into stays within `bounds`. False
// otherwise, at the first object that breaks a rule; never throws.
bool isWithinBounds(std::string_view bytes, const BinaryPropertyListBounds& bounds);

}  // namespace korvaster
