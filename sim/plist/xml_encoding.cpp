#include "sim/plist/xml_encoding.h"

namespace plist {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

bool oneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  for (std::string_view candidate : names)
    if (sameName(name, candidate)) return true;
  return false;
}

}  // namespace

DeclaredEncoding declaredEncoding(std::string_view text, std::string_view& name) {
  name = {};
  if (text.substr(0, 5) != "<?xml" || text.size() < 6 || !isSpace(text[5])) return DeclaredEncoding::Utf8;
  const std::size_t close = text.find("?>");
  if (close == std::string_view::npos) return DeclaredEncoding::Utf8;  // the parser rejects it
  std::string_view declaration = text.substr(5, close - 5);
  std::size_t at = declaration.find("encoding");
  if (at == std::string_view::npos) return DeclaredEncoding::Utf8;
  at += 8;
  while (at < declaration.size() && isSpace(declaration[at])) ++at;
  if (at >= declaration.size() || declaration[at] != '=') return DeclaredEncoding::Utf8;
  ++at;
  while (at < declaration.size() && isSpace(declaration[at])) ++at;
  if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\'')) return DeclaredEncoding::Utf8;
  const char quote = declaration[at++];
  const std::size_t end = declaration.find(quote, at);
  if (end == std::string_view::npos) return DeclaredEncoding::Utf8;
  name = declaration.substr(at, end - at);
  if (oneOf(name, {"UTF-8", "UTF8"})) return DeclaredEncoding::Utf8;
  if (oneOf(name, {"UTF-16", "UTF-16LE", "UTF-16BE", "UTF16"})) return DeclaredEncoding::Utf16;
  if (oneOf(name, {"ISO-8859-1", "ISO_8859-1", "ISO8859-1", "ISO_8859-1:1987", "Latin1", "Latin-1", "L1", "IBM819",
                   "CP819", "csISOLatin1", "iso-ir-100"}))
    return DeclaredEncoding::Latin1;
  if (oneOf(name, {"US-ASCII", "ASCII", "ANSI_X3.4-1968", "ANSI_X3.4-1986", "ISO646-US", "US", "IBM367", "cp367",
                   "csASCII", "iso-ir-6"}))
    return DeclaredEncoding::Ascii;
  return DeclaredEncoding::Unknown;
}

}  // namespace plist
