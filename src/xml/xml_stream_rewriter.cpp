#include "xml/xml_stream_rewriter.h"

#include <algorithm>
#include <utility>

#include "xml/expat_parser.h"
#include "xml/xml_error.h"
#include "xml/xml_escaping.h"

namespace korvaster::xml {

namespace {

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\n";

XmlStreamRewriter& rewriterOf(void* userData) { return *static_cast<XmlStreamRewriter*>(userData); }

void XMLCALL onStartElement(void* userData, const XML_Char* name, const XML_Char** attributes) {
  rewriterOf(userData).didStartElement(name, attributes);
}

void XMLCALL onEndElement(void* userData, const XML_Char* name) { rewriterOf(userData).didEndElement(name); }

void XMLCALL onCharacters(void* userData, const XML_Char* text, int length) {
  rewriterOf(userData).foundCharacters(std::string_view(text, static_cast<std::size_t>(length)));
}

}  // namespace

XmlStreamRewriter::XmlStreamRewriter(XmlStreamEditor* editor, Sink sink, std::size_t maximumDepth,
                                     std::size_t blockSize)
    : editor_(editor), sink_(std::move(sink)), maximumDepth_(maximumDepth), blockSize_(std::max<std::size_t>(blockSize, 1)) {}

bool XmlStreamRewriter::rewrite(std::string_view data) {
  const ExpatParser parser = makeExpatParser();
  XML_SetUserData(parser.get(), this);
  parser_ = parser.get();
  XML_SetElementHandler(parser.get(), onStartElement, onEndElement);
  XML_SetCharacterDataHandler(parser.get(), onCharacters);
  out_.reserve(blockSize_ + blockSize_ / 4);
  out_.assign(kDeclaration);

  if (parseAll(parser.get(), data) != XML_STATUS_OK) {
    if (sinkRefused_) return false;
    if (tooDeep_) throw *tooDeep_;
    throwSyntaxError(parser.get());
  }
  // The root element has ended: a document that parsed has exactly one.
  return out_.empty() || sink_(out_);
}

void XmlStreamRewriter::didStartElement(const char* name, const char** attributes) {
  if (stopped_) return;
  if (maximumDepth_ > 0 && depth_ + 1 > maximumDepth_) {
    auto* parser = static_cast<XML_Parser>(parser_);
    tooDeep_ = XmlSyntaxError(static_cast<int>(XML_ERROR_ABORTED),
                              "elements nested deeper than " + std::to_string(maximumDepth_) + " levels",
                              XML_GetCurrentLineNumber(parser), XML_GetCurrentColumnNumber(parser) + 1);
    stop();
    return;
  }
  attributes_.clear();
  for (const char** at = attributes; *at != nullptr; at += 2) attributes_.push_back({at[0], at[1]});
  const std::string_view elementName(name);
  if (editor_ != nullptr) editor_->startElement(elementName, attributes_);
  openElement(elementName, attributes_);
}

void XmlStreamRewriter::foundCharacters(std::string_view text) {
  // Only the text of an element without children is written; the rest is layout.
  if (!startTagOpen_) return;
  // Blocks of a bounded size: a long text grows by new blocks, never by copying what it has.
  while (!text.empty()) {
    if (textBlocks_ == 0 || text_[textBlocks_ - 1].size() == blockSize_) {
      if (textBlocks_ == text_.size()) text_.emplace_back().reserve(blockSize_);
      ++textBlocks_;
    }
    std::string& block = text_[textBlocks_ - 1];
    const std::size_t taken = std::min(text.size(), blockSize_ - block.size());
    block.append(text.data(), taken);
    text.remove_prefix(taken);
  }
}

void XmlStreamRewriter::didEndElement(const char* name) {
  if (stopped_) return;
  std::string_view childName;
  attributes_.clear();
  if (editor_ != nullptr && editor_->endElement(childName, attributes_)) {
    openElement(childName, attributes_);
    closeElement(childName);
  }
  closeElement(name);
}

void XmlStreamRewriter::openElement(std::string_view name, const std::vector<AttributeView>& attributes) {
  // The parent's start tag waited for this: it has children, so it ends with ">".
  if (startTagOpen_) out_ += ">\n";
  appendIndent(out_, depth_);
  out_ += '<';
  out_ += name;
  for (const auto& attribute : attributes) {
    out_ += ' ';
    out_ += attribute.name;
    out_ += "=\"";
    appendEscapedAttributeValue(out_, attribute.value);
    out_ += '"';
  }
  ++depth_;
  startTagOpen_ = true;
  for (std::size_t i = 0; i < textBlocks_; ++i) text_[i].clear();
  textBlocks_ = 0;
}

void XmlStreamRewriter::closeElement(std::string_view name) {
  --depth_;
  if (startTagOpen_) {
    if (textBlocks_ == 0) {
      out_ += " />";
    } else {
      out_ += '>';
      // A long text (Interface Builder keeps images and archives as text) is written a block
      // at a time, so that the output buffer never grows to its size.
      for (std::size_t i = 0; i < textBlocks_; ++i) {
        appendEscapedText(out_, text_[i]);
        flushIfFull();
      }
      out_ += "</";
      out_ += name;
      out_ += '>';
    }
    startTagOpen_ = false;
  } else {
    appendIndent(out_, depth_);
    out_ += "</";
    out_ += name;
    out_ += '>';
  }
  if (depth_ > 0) out_ += '\n';
  flushIfFull();
}

void XmlStreamRewriter::flushIfFull() {
  if (out_.size() < blockSize_) return;
  if (!sinkRefused_ && !sink_(out_)) {
    sinkRefused_ = true;
    stop();
  }
  out_.clear();
}

void XmlStreamRewriter::stop() {
  // Expat may still deliver an event or two after being stopped; they are ignored.
  stopped_ = true;
  XML_StopParser(static_cast<XML_Parser>(parser_), XML_FALSE);
}

}  // namespace korvaster::xml
