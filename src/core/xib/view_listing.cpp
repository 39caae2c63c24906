#include "core/xib/view_listing.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <unordered_map>

#include "core/xib/interface_builder_names.h"
#include "core/xib/view_attributes.h"
#include "xml/expat_parser.h"
#include "xml/xml_error.h"

namespace korvaster {

ListedView ViewListing::view(std::size_t index) const {
  const ViewRecord& record = views_[index];
  ListedView view;
  view.position = record.position;
  view.element = text(record.element);
  view.id = text(record.id);
  view.identifier = text(record.identifier);
  view.hasIdentifier = record.hasIdentifier;
  view.userLabel = text(record.userLabel);
  view.text = text(record.text);
  view.title = text(record.title);
  view.placeholder = text(record.placeholder);
  return view;
}

std::vector<ListedOutlet> ViewListing::outletsTo(std::string_view id) const {
  const auto first = std::lower_bound(outletsByDestination_.begin(), outletsByDestination_.end(), id,
                                      [&](std::uint32_t outlet, std::string_view wanted) {
                                        return text(outlets_[outlet].destination) < wanted;
                                      });
  std::vector<ListedOutlet> found;
  for (auto at = first; at != outletsByDestination_.end() && text(outlets_[*at].destination) == id; ++at)
    found.push_back({text(outlets_[*at].property), text(outlets_[*at].holderClass)});
  return found;
}

std::string_view ViewListing::sceneClassOf(std::size_t index) const {
  const std::uint32_t scene = views_[index].scene;
  return text(scene == 0 ? filesOwnerClass_ : sceneClasses_[scene - 1]);
}

namespace {

// The attributes the listing reads, from one start tag; views into expat's buffers.
struct TagAttributes {
  ViewAttributes view;
  std::string_view userLabel, customClass, text, title, placeholder, key, property, destination,
      sceneMemberID, placeholderIdentifier;

  explicit TagAttributes(const char** attributes) {
    for (const char** attribute = attributes; *attribute != nullptr; attribute += 2) {
      const std::string_view name = attribute[0], value = attribute[1];
      view.take(name, value);
      if (name == "userLabel")
        userLabel = value;
      else if (name == "customClass")
        customClass = value;
      else if (name == "text")
        text = value;
      else if (name == "title")
        title = value;
      else if (name == "placeholder")
        placeholder = value;
      else if (name == "key")
        key = value;
      else if (name == "property")
        property = value;
      else if (name == "destination")
        destination = value;
      else if (name == "sceneMemberID")
        sceneMemberID = value;
      else if (name == "placeholderIdentifier")
        placeholderIdentifier = value;
    }
  }
};

}  // namespace

// Fills a ViewListing from expat's events. A view is recorded at its start tag, so the views
// come in document order; what its children say (identifier, title) is filled in later.
class ViewLister {
 public:
  explicit ViewLister(XML_Parser parser) : parser_(parser) {}

  void start(const char* name, const char** rawAttributes) {
    if (++depth_ > ibNames::maximumDepth) {
      fail("elements nested deeper than " + std::to_string(ibNames::maximumDepth) + " levels");
      return;
    }
    const TagAttributes attributes(rawAttributes);
    const std::string_view element = name;
    if (!open_.empty()) readAsChild(element, attributes);
    OpenElement& opened = open_.emplace_back();
    opened.customClass = attributes.customClass;
    if (element == "scene") {
      opened.isScene = true;
      listing_.sceneClasses_.emplace_back();
      scene_ = static_cast<std::uint32_t>(listing_.sceneClasses_.size());
      sceneHasController_ = false;
    } else if (element == "connections" && open_.size() > 1) {
      opened.isConnections = true;
      opened.holderClass = keep(open_[open_.size() - 2].customClass);
    } else if (element == "placeholder" && attributes.placeholderIdentifier == "IBFilesOwner") {
      listing_.filesOwnerClass_ = keep(attributes.customClass);
    }
    if (scene_ != 0 && !sceneHasController_ && attributes.sceneMemberID == "viewController") {
      sceneHasController_ = true;
      listing_.sceneClasses_[scene_ - 1] = keep(attributes.customClass);
    }
    if (!attributes.view.isView()) return;
    opened.view = listing_.views_.size() + 1;
    ViewListing::ViewRecord& view = listing_.views_.emplace_back();
    view.position = {static_cast<unsigned long>(XML_GetCurrentLineNumber(parser_)),
                     static_cast<unsigned long>(XML_GetCurrentColumnNumber(parser_)) + 1};
    view.element = elementName(element);
    view.id = keep(*attributes.view.id());
    view.userLabel = keep(attributes.userLabel);
    view.text = keep(attributes.text);
    view.placeholder = keep(attributes.placeholder);
    view.scene = scene_;
  }

  void end() {
    --depth_;
    if (open_.empty()) return;
    if (open_.back().isScene) scene_ = 0;
    open_.pop_back();
  }

  ViewListing finish() {
    auto& order = listing_.outletsByDestination_;
    order.resize(listing_.outlets_.size());
    for (std::uint32_t index = 0; index < order.size(); ++index) order[index] = index;
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t left, std::uint32_t right) {
      return listing_.text(listing_.outlets_[left].destination) <
             listing_.text(listing_.outlets_[right].destination);
    });
    return std::move(listing_);
  }

  void fail(std::string message) {
    if (!error_)
      error_.emplace(static_cast<int>(XML_ERROR_ABORTED), std::move(message),
                     XML_GetCurrentLineNumber(parser_), XML_GetCurrentColumnNumber(parser_) + 1);
    XML_StopParser(parser_, XML_FALSE);
  }
  const std::optional<xml::XmlSyntaxError>& error() const { return error_; }

 private:
  struct OpenElement {
    std::size_t view = 0;  // 0: no view, else index + 1 in the listing's views
    bool sawAccessibility = false;
    bool isScene = false;
    bool isConnections = false;
    ViewListing::TextRef holderClass;  // of a <connections>: its parent's customClass
    std::string customClass;
  };

  // What an element says about the element it is in: a view's identifier or title, or an
  // outlet of a <connections>.
  void readAsChild(std::string_view element, const TagAttributes& attributes) {
    OpenElement& parent = open_.back();
    if (parent.isConnections && element == "outlet") {
      listing_.outlets_.push_back(
          {keep(attributes.property), keep(attributes.destination), parent.holderClass});
      return;
    }
    if (parent.view == 0) return;
    ViewListing::ViewRecord& view = listing_.views_[parent.view - 1];
    if (holdsViewIdentifier(true, parent.sawAccessibility, element)) {
      parent.sawAccessibility = true;
      if (const auto identifier = attributes.view.identifier()) {
        view.identifier = keep(*identifier);
        view.hasIdentifier = true;
      }
    } else if (element == "state" && attributes.key == "normal" && view.title.size == 0) {
      view.title = keep(attributes.title);
    }
  }

  // Copies `text` into the listing's buffer; fails the read once the buffer would reach 4 GiB.
  ViewListing::TextRef keep(std::string_view text) {
    if (text.empty()) return {};
    std::string& texts = listing_.texts_;
    if (text.size() >= std::numeric_limits<std::uint32_t>::max() - texts.size()) {
      fail("attribute values of 4 GiB or more");
      return {};
    }
    const ViewListing::TextRef ref{static_cast<std::uint32_t>(texts.size()),
                                   static_cast<std::uint32_t>(text.size())};
    texts.append(text);
    return ref;
  }

  ViewListing::TextRef elementName(std::string_view name) {
    const auto found = elementNames_.find(std::string(name));
    if (found != elementNames_.end()) return found->second;
    const ViewListing::TextRef kept = keep(name);
    elementNames_.emplace(std::string(name), kept);
    return kept;
  }

  XML_Parser parser_;
  std::size_t depth_ = 0;
  std::vector<OpenElement> open_;
  std::uint32_t scene_ = 0;  // the open scene: 0 for none, else index + 1
  bool sceneHasController_ = false;
  std::unordered_map<std::string, ViewListing::TextRef> elementNames_;
  ViewListing listing_;
  std::optional<xml::XmlSyntaxError> error_;
};

ViewListing listViews(std::string_view document) { return xml::readWith<ViewLister>(document); }

}  // namespace korvaster
