#include "xml/xml_options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace korvaster::xml {

namespace {
// The shortest decimal text that reads back as the same number; whole numbers keep ".0".
std::string shortestDecimal(double number) {
  char text[32];
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(text, sizeof text, "%.*g", precision, number);
    if (std::strtod(text, nullptr) == number) break;
  }
  std::string result = text;
  if (std::isfinite(number) && result.find_first_of(".eE") == std::string::npos) result += ".0";
  return result;
}
}  // namespace

std::string XmlOptions::DocumentHeader::xmlString() const {
  return "<?xml version=\"" + shortestDecimal(version) + "\" encoding=\"" + encoding + "\" standalone=\"" +
         standalone + "\"?>";
}

}  // namespace korvaster::xml
