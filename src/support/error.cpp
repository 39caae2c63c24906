#include "support/error.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace korvaster::support {

namespace {
std::string readableTypeName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> demangled(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
  return status == 0 && demangled ? std::string(demangled.get()) : std::string(type.name());
}

std::string sentence(const std::string& domain, int code) {
  return "The operation couldn't be completed. (" + domain + " error " + std::to_string(code) + ".)";
}
}  // namespace

const char* Error::what() const noexcept {
  try {
    whatCache_ = genericDescription(*this);
    return whatCache_.c_str();
  } catch (...) {
    return "korvaster error";
  }
}

std::string genericDescription(const std::exception& error) {
  if (const auto* ours = dynamic_cast<const Error*>(&error)) {
    std::string text = sentence(ours->domain(), ours->code());
    if (auto own = ours->ownDescription(); own && !own->empty()) text += " " + *own;
    return text;
  }
  std::string text = sentence(readableTypeName(typeid(error)), 1);
  const std::string detail = error.what();
  if (!detail.empty()) text += " " + detail;
  return text;
}

std::string plainDescription(const std::exception& error) {
  if (const auto* ours = dynamic_cast<const Error*>(&error)) {
    if (auto own = ours->ownDescription()) return *own;
  }
  return genericDescription(error);
}

}  // namespace korvaster::support
