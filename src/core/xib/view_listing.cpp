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
  view.key = text(record.key);
  view.customClass = text(record.customClass);
  view.reuseIdentifier = text(record.reuseIdentifier);
  view.image = text(record.image);
  view.action = text(record.action);
  view.container = text(record.container);
  const auto indexOf = [](std::uint32_t oneBased) -> std::optional<std::size_t> {
    if (oneBased == 0) return std::nullopt;
    return oneBased - 1;
  };
  view.parent = indexOf(record.parent);
  view.firstLabelled = indexOf(record.firstLabelled);
  view.classOwner = indexOf(record.classOwner);
  view.secureTextEntry = record.secureTextEntry;
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
      sceneMemberID, placeholderIdentifier, reuseIdentifier, image, selector, storyboardIdentifier,
      secureTextEntry;

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
      else if (name == "reuseIdentifier")
        reuseIdentifier = value;
      else if (name == "image")
        image = value;
      else if (name == "selector")
        selector = value;
      else if (name == "storyboardIdentifier")
        storyboardIdentifier = value;
      else if (name == "secureTextEntry")
        secureTextEntry = value;
    }
  }

  // What an element that is no view is called where a view's role in it names the view.
  std::string_view label(std::string_view element) const {
    for (const std::string_view candidate : {customClass, userLabel, storyboardIdentifier, title}) {
      if (!candidate.empty()) return candidate;
    }
    return element;
  }
};

bool isCell(std::string_view element) {
  return element == "tableViewCell" || element == "collectionViewCell" ||
         element == "collectionReusableView" || element == "tableViewHeaderFooterView";
}

}  // namespace

// Fills a ViewListing from expat's events. A view is recorded at its start tag, so the views
// come in document order; what its children say (identifier, title) is filled in later.
class ViewLister {
 public:
  // The open elements never move: what a child reads of its parent stays where it is.
  explicit ViewLister(XML_Parser parser) : parser_(parser) { open_.reserve(ibNames::maximumDepth); }

  void start(const char* name, const char** rawAttributes) {
    if (++depth_ > ibNames::maximumDepth) {
      fail("elements nested deeper than " + std::to_string(ibNames::maximumDepth) + " levels");
      return;
    }
    const TagAttributes attributes(rawAttributes);
    const std::string_view element = name;
    if (!open_.empty()) readAsChild(element, attributes);
    static const OpenElement kDocument;
    const OpenElement& parent = open_.empty() ? kDocument : open_.back();
    OpenElement& opened = open_.emplace_back();
    opened.customClass = attributes.customClass;
    opened.label = attributes.label(element);
    opened.nearestView = parent.nearestView;
    opened.classOwner = parent.classOwner;
    if (element == "scene") {
      opened.isScene = true;
      listing_.sceneClasses_.emplace_back();
      scene_ = static_cast<std::uint32_t>(listing_.sceneClasses_.size());
      sceneHasController_ = false;
    } else if (element == "connections" && open_.size() > 1) {
      opened.isConnections = true;
      opened.holderClass = keep(parent.customClass);
      opened.holderView = parent.view;
    } else if (element == "placeholder" && attributes.placeholderIdentifier == "IBFilesOwner") {
      listing_.filesOwnerClass_ = keep(attributes.customClass);
    }
    if (scene_ != 0 && !sceneHasController_ && attributes.sceneMemberID == "viewController") {
      sceneHasController_ = true;
      listing_.sceneClasses_[scene_ - 1] = keep(attributes.customClass);
    }
    if (attributes.view.isView()) recordView(element, attributes, parent, opened);
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
    std::uint32_t view = 0;  // 0: no view, else index + 1 in the listing's views
    bool sawAccessibility = false;
    bool isScene = false;
    bool isConnections = false;
    ViewListing::TextRef holderClass;  // of a <connections>: its parent's customClass
    std::uint32_t holderView = 0;      // and its parent view: 0 for none, else index + 1
    std::string customClass;
    std::string label;  // what a view's role in this element is joined to
    // The nearest view at or above this element and the nearest that owns what lies in it,
    // each 0 for none, else index + 1.
    std::uint32_t nearestView = 0, classOwner = 0;
  };

  // Records the view `opened` starts, in `parent` (a default OpenElement at the root).
  void recordView(std::string_view element, const TagAttributes& attributes, const OpenElement& parent,
                  OpenElement& opened) {
    const auto index = static_cast<std::uint32_t>(listing_.views_.size() + 1);
    opened.view = opened.nearestView = index;
    const bool isControllerRoot = attributes.key == "view" && parent.view == 0;
    if (!attributes.customClass.empty() && !isControllerRoot && (element == "view" || isCell(element)))
      opened.classOwner = index;
    ViewListing::ViewRecord& view = listing_.views_.emplace_back();
    view.position = {static_cast<unsigned long>(XML_GetCurrentLineNumber(parser_)),
                     static_cast<unsigned long>(XML_GetCurrentColumnNumber(parser_)) + 1};
    view.element = elementName(element);
    view.id = keep(*attributes.view.id());
    view.userLabel = keep(attributes.userLabel);
    view.text = keep(attributes.text);
    view.placeholder = keep(attributes.placeholder);
    view.key = keep(attributes.key);
    view.customClass = keep(attributes.customClass);
    view.reuseIdentifier = keep(attributes.reuseIdentifier);
    view.image = keep(attributes.image);
    if (view.key.size != 0 && parent.view == 0) view.container = keep(parent.label);
    view.scene = scene_;
    view.parent = parent.nearestView;
    view.classOwner = parent.classOwner;
    if (view.text.size != 0 || view.placeholder.size != 0) markLabelled(open_.size() - 1);
  }

  // The view open at `depth` has a text: it is the first labelled view of each view it lies in
  // that has none yet. Those that have one are the outer ones, and so are all views outside them.
  void markLabelled(std::size_t depth) {
    const std::uint32_t labelled = open_[depth].view;
    for (std::size_t at = depth; at-- > 0;) {
      if (open_[at].view == 0) continue;
      std::uint32_t& first = listing_.views_[open_[at].view - 1].firstLabelled;
      if (first != 0) return;
      first = labelled;
    }
  }

  // What an element says about the element it is in: a view's identifier or title, or an
  // outlet of a <connections>.
  void readAsChild(std::string_view element, const TagAttributes& attributes) {
    OpenElement& parent = open_.back();
    if (parent.isConnections && element == "outlet") {
      listing_.outlets_.push_back(
          {keep(attributes.property), keep(attributes.destination), parent.holderClass});
      return;
    }
    if (parent.isConnections && element == "action" && parent.holderView != 0) {
      ViewListing::TextRef& action = listing_.views_[parent.holderView - 1].action;
      if (action.size == 0) action = keep(attributes.selector);
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
    } else if (element == "textInputTraits" && attributes.secureTextEntry == "YES") {
      view.secureTextEntry = true;
    } else if (element == "state" && attributes.key == "normal") {
      if (view.title.size == 0) view.title = keep(attributes.title);
      if (view.image.size == 0) view.image = keep(attributes.image);
      if (view.title.size != 0) markLabelled(open_.size() - 1);
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
