// A read-only pass over one Interface Builder document that lists every view with what names
// it: its position, id and identifier, its label texts, the outlets that point at it and the
// classes that own it. A listing owns its texts, packed in one buffer, so that a file's
// listing takes about as much memory as the attributes it keeps, however many views it has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/xib/identifier_scan.h"

namespace korvaster {

// One view as listed; its texts are views into the listing that made it. A text the element
// does not have is empty.
struct ListedView {
  SourcePosition position;
  std::string_view element;  // e.g. "button"
  std::string_view id;
  // The identifier on the view's first "accessibility" child, when that child has one.
  std::string_view identifier;
  bool hasIdentifier = false;
  std::string_view userLabel;
  std::string_view text;
  std::string_view title;  // the normal-state title of a button
  std::string_view placeholder;
  // What else says what the view is, where it has no label or text: its role in the element it
  // is in (its "key": "contentView", "view", "navigationBar"...), its own customClass, a cell's
  // reuseIdentifier, its image (a button's: that of its normal state), and the selector of its
  // first action.
  std::string_view key, customClass, reuseIdentifier, image, action;
  // For a view with a key in an element that is no view (a controller, a navigation item): that
  // element's customClass, userLabel, storyboardIdentifier or title, else its element name.
  std::string_view container;
  // The nearest view the view lies in.
  std::optional<std::size_t> parent;
  // The first view within this one, in document order, that has a text, title or placeholder.
  std::optional<std::size_t> firstLabelled;
  // The nearest cell or custom view with a customClass that this view lies in (a controller's
  // root view owns nothing: its controller does).
  std::optional<std::size_t> classOwner;
  // A text field that hides what is typed into it.
  bool secureTextEntry = false;
};

// An outlet pointing at a view: `<outlet property=... destination=...>` in some element's
// `<connections>`, and that element's customClass (empty when it has none).
struct ListedOutlet {
  std::string_view property;
  std::string_view holderClass;
};

class ViewListing {
 public:
  std::size_t size() const { return views_.size(); }
  // The view at `index`, in document order of their start tags.
  ListedView view(std::size_t index) const;
  // The outlets whose destination is `id`, in document order.
  std::vector<ListedOutlet> outletsTo(std::string_view id) const;
  // The customClass of the view controller of the view's scene in a storyboard, or of the
  // File's Owner of a xib; empty when there is none.
  std::string_view sceneClassOf(std::size_t index) const;

 private:
  friend class ViewLister;
  // A text kept in `texts_`: offsets survive the buffer's growth, pointers would not.
  struct TextRef {
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
  };
  struct ViewRecord {
    SourcePosition position;
    TextRef element, id, identifier, userLabel, text, title, placeholder;
    TextRef key, customClass, reuseIdentifier, image, action, container;
    std::uint32_t scene = 0;  // 0: none, else index + 1 in scenes_
    // Views of the listing, each 0 for none, else index + 1.
    std::uint32_t parent = 0, firstLabelled = 0, classOwner = 0;
    bool hasIdentifier = false;
    bool secureTextEntry = false;
  };
  struct OutletRecord {
    TextRef property, destination, holderClass;
  };

  std::string_view text(TextRef ref) const { return {texts_.data() + ref.offset, ref.size}; }

  std::string texts_;
  std::vector<ViewRecord> views_;
  std::vector<OutletRecord> outlets_;
  // Indices into outlets_ sorted by destination, then document order.
  std::vector<std::uint32_t> outletsByDestination_;
  std::vector<TextRef> sceneClasses_;
  TextRef filesOwnerClass_;
};

// Lists the views of `document` (elements with both "id" and "contentMode", as the identifier
// rules take them) in document order. Reads as the rewriting reader does, with the same
// nesting limit; throws the XML layer's XmlSyntaxError or XmlError (also for a document whose
// kept texts reach 4 GiB).
ViewListing listViews(std::string_view document);

}  // namespace korvaster
