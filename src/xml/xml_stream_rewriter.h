// XmlStreamRewriter: reads a document and writes it in the layer's text format while it is
// read, without building a tree. An editor sees each element as it starts and ends and may
// add attributes and an empty last child; the output is handed on in blocks.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_error.h"

namespace korvaster::xml {

// An attribute on its way to the output. The views point into the parser's buffers or into
// strings the editor owns; either way they are valid until the editor's call returns.
struct AttributeView {
  std::string_view name;
  std::string_view value;
};

class XmlStreamEditor {
 public:
  virtual ~XmlStreamEditor() = default;
  // Called at each start tag, parents before children, before the tag is written; may
  // append to `attributes`.
  virtual void startElement(std::string_view name, std::vector<AttributeView>& attributes) = 0;
  // Called at each end tag, before it is written. Returns true to have an empty element
  // named `childName` with `childAttributes` written as the element's last child.
  virtual bool endElement(std::string_view& childName, std::vector<AttributeView>& childAttributes) = 0;
};

class XmlStreamRewriter {
 public:
  // Receives the output in order, in blocks of about `blockSize` bytes; returns false to
  // stop the rewrite.
  using Sink = std::function<bool(std::string_view block)>;

  // `maximumDepth`: elements nested deeper fail the read (0: no limit). `editor` may be null.
  XmlStreamRewriter(XmlStreamEditor* editor, Sink sink, std::size_t maximumDepth = 0,
                    std::size_t blockSize = std::size_t{1} << 16);

  // Reads `data` and writes it, after the editor's changes, in the layer's text format: the
  // declaration line, one element per line indented by tabs, " />" for empty leaves, the text
  // of each element without children as it was read, escaped, and no line feed at the end. Returns false when the sink refused a block. Throws XmlSyntaxError on
  // malformed or too deeply nested input and XmlError::parsingFailed when the parser failed
  // without a reason; blocks the sink already took are then to be discarded.
  bool rewrite(std::string_view data);

  // The parser's events; public so that the C callbacks can reach them.
  void didStartElement(const char* name, const char** attributes);
  void foundCharacters(std::string_view text);
  void didEndElement(const char* name);

 private:
  void openElement(std::string_view name, const std::vector<AttributeView>& attributes);
  void closeElement(std::string_view name);
  void flushIfFull();
  void stop();

  XmlStreamEditor* editor_;
  Sink sink_;
  std::size_t maximumDepth_;
  std::size_t blockSize_;
  void* parser_ = nullptr;  // the running expat parser, so that a handler can stop it
  std::string out_;
  // The text of the innermost element while it has no child, in the first textBlocks_
  // entries, each at most a block long; the entries are kept for the next text.
  std::vector<std::string> text_;
  std::size_t textBlocks_ = 0;
  std::vector<AttributeView> attributes_;
  std::size_t depth_ = 0;
  // Whether the innermost open element's start tag still waits for ">" or " />".
  bool startTagOpen_ = false;
  bool sinkRefused_ = false;
  bool stopped_ = false;
  std::optional<XmlSyntaxError> tooDeep_;
};

}  // namespace korvaster::xml
