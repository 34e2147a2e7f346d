// Turns the plain licence text into a STRINGTABLE fragment for windres.
//
// windres reads a string literal much like C, with two differences that
// matter here: a quote inside the text is written as two quotes, and the
// script goes through the C preprocessor first, so "??" followed by a
// trigraph character must not reach it in one literal. Each source line is
// written as its own literal (windres joins adjacent literals), long lines
// are split at blanks so the fragment stays readable.
#include "tools/artgen/artgen.h"

namespace {

// Longest stretch of text put into one literal before it is split.
constexpr size_t LiteralWidth = 72;

bool IsAllowed(unsigned char c)
{
  return c == '\t' || (c >= 0x20 && c <= 0x7E);
}

// Escapes one piece of text (no line breaks in it) into open literals.
// A "?" that follows a "?" starts a new literal.
void EscapeInto(std::string &out, const std::string &piece)
{
  char previous = 0;
  for (char c : piece) {
    if (c == '?' && previous == '?')
      out += "\" \"";
    switch (c) {
      case '"':
        out += "\"\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
        break;
    }
    previous = c;
  }
}

// Splits one line into pieces of about LiteralWidth characters, breaking
// after a blank where one exists. The pieces joined give the line back.
std::vector<std::string> SplitLine(const std::string &line)
{
  std::vector<std::string> pieces;
  size_t start = 0;
  while (line.size() - start > LiteralWidth) {
    size_t cut = line.rfind(' ', start + LiteralWidth);
    if (cut == std::string::npos || cut < start + LiteralWidth / 2)
      cut = start + LiteralWidth;
    else
      cut += 1;  // keep the blank at the end of the piece
    pieces.push_back(line.substr(start, cut - start));
    start = cut;
  }
  pieces.push_back(line.substr(start));
  return pieces;
}

}  // namespace

bool NormaliseLicence(const std::string &source, std::string *text, std::string *error)
{
  std::string result;
  result.reserve(source.size() + source.size() / 16);
  size_t line = 1;
  for (size_t i = 0; i < source.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(source[i]);
    if (c == '\r') {
      if (i + 1 < source.size() && source[i + 1] == '\n')
        continue;  // CR LF: the LF makes the break
      c = '\n';    // a lone CR is a break too
    }
    if (c == '\n') {
      result += "\r\n";
      ++line;
      continue;
    }
    if (!IsAllowed(c)) {
      *error = "line " + std::to_string(line) + ": character " + std::to_string(c) +
               " is not printable ASCII";
      return false;
    }
    result += static_cast<char>(c);
  }
  while (result.size() >= 2 && result.compare(result.size() - 2, 2, "\r\n") == 0)
    result.resize(result.size() - 2);
  *text = result;
  return true;
}

bool BuildLicenceRc(const std::string &text, std::string *script, std::string *error)
{
  if (text.size() > LicenceMaxChars) {
    *error = "licence text has " + std::to_string(text.size()) + " characters; at most " +
             std::to_string(LicenceMaxChars) + " fit the agreement page";
    return false;
  }
  std::string out;
  out += "/* Licence agreement text, made by zv-artgen from licence.txt: do not edit. */\n";
  out += "STRINGTABLE\n{\n  " + std::to_string(LicenceStringId) + ",\n";
  size_t start = 0;
  bool wroteAny = false;
  while (start <= text.size()) {
    size_t end = text.find("\r\n", start);
    bool hasBreak = end != std::string::npos;
    std::string line = text.substr(start, hasBreak ? end - start : std::string::npos);
    std::vector<std::string> pieces = SplitLine(line);
    for (size_t p = 0; p < pieces.size(); ++p) {
      bool last = p + 1 == pieces.size();
      if (pieces[p].empty() && !(last && hasBreak) && wroteAny)
        continue;
      out += "    \"";
      EscapeInto(out, pieces[p]);
      if (last && hasBreak)
        out += "\\r\\n";
      out += "\"\n";
      wroteAny = true;
    }
    if (!hasBreak)
      break;
    start = end + 2;
  }
  out += "}\n";
  *script = out;
  return true;
}
