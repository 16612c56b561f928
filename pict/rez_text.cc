// Rez text, the source form of resources: statements
//   data 'PICT' (ID[, "name"][, attributes]) { $"hex" ... };
// with the raw bytes, and
//   resource 'PICT' (ID[, "name"][, attributes]) { size, {top, left, bottom, right}, $"hex" ... };
// whose first two fields are the picture's 10-byte size and frame. Hex
// strings are spaced per byte or per word; comments (// and /* */) and the
// preprocessor's lines (#include ...) are skipped; names and comments hold
// Mac OS Roman bytes. Statements of other types are passed over.
#include <algorithm>
#include <cctype>
#include <string_view>

#include "pict/container_formats.h"
#include "pict/mac_roman.h"
#include "text/ascii_scan.h"

namespace pic2jpg::pict {
namespace {

enum class Token { kEnd, kWord, kNumber, kString, kHex, kChar, kPunct, kBad };

struct Lexer {
  std::string_view text;
  size_t pos = 0;
  Token token = Token::kEnd;
  std::string value;  // a word, a string's or a character literal's bytes, a hex string's bytes
  long long number = 0;
  std::string bad;  // why kBad
};

void SkipSpaceAndComments(Lexer* x) {
  const std::string_view t = x->text;
  while (x->pos < t.size()) {
    const char c = t[x->pos];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f') {
      ++x->pos;
    } else if (t.substr(x->pos, 2) == "//" ||
               (c == '#' && (x->pos == 0 || t[x->pos - 1] == '\n'))) {
      const size_t end = t.find('\n', x->pos);
      x->pos = end == std::string_view::npos ? t.size() : end;
    } else if (t.substr(x->pos, 2) == "/*") {
      const size_t end = t.find("*/", x->pos + 2);
      x->pos = end == std::string_view::npos ? t.size() : end + 2;
    } else {
      return;
    }
  }
}

// A quoted string or character literal up to `quote`, escapes decoded; a
// line break before the closing quote leaves it unterminated.
bool ReadQuoted(Lexer* x, char quote) {
  const std::string_view t = x->text;
  x->value.clear();
  while (x->pos < t.size() && t[x->pos] != '\n') {
    char c = t[x->pos++];
    if (c == quote) return true;
    if (c == '\\' && x->pos < t.size()) {
      c = t[x->pos++];
      if (c == 'n')
        c = '\r';  // Rez's \n is the Macintosh line end
      else if (c == 'r')
        c = '\n';
      else if (c == 't')
        c = '\t';
      else if ((c == '0' && x->pos < t.size() && (t[x->pos] == 'x' || t[x->pos] == 'X')) ||
               c == '$') {
        if (c == '0') ++x->pos;
        int v = 0;
        for (int i = 0; i < 2 && x->pos < t.size() && HexDigitValue(t[x->pos]) >= 0; ++i) {
          v = v * 16 + HexDigitValue(t[x->pos++]);
        }
        c = static_cast<char>(v);
      }
    }
    x->value.push_back(c);
  }
  x->bad = quote == '"' ? "unterminated string" : "unterminated character literal";
  return false;
}

bool ReadHexString(Lexer* x) {
  const std::string_view t = x->text;
  x->value.clear();
  int high = -1;
  while (x->pos < t.size() && t[x->pos] != '\n') {
    const char c = t[x->pos++];
    if (c == '"') {
      if (high >= 0) {
        x->bad = "a hex string with an odd number of digits";
        return false;
      }
      return true;
    }
    if (c == ' ' || c == '\t' || c == '\r') continue;
    const int v = HexDigitValue(c);
    if (v < 0) {
      x->bad = "a hex string holding something other than hex digits";
      return false;
    }
    if (high < 0) {
      high = v;
    } else {
      x->value.push_back(static_cast<char>(high * 16 + v));
      high = -1;
    }
  }
  x->bad = "an unterminated hex string";
  return false;
}

void NextToken(Lexer* x) {
  SkipSpaceAndComments(x);
  const std::string_view t = x->text;
  x->value.clear();
  if (x->pos >= t.size()) {
    x->token = Token::kEnd;
    return;
  }
  const char c = t[x->pos];
  if (c == '$' && x->pos + 1 < t.size() && t[x->pos + 1] == '"') {
    x->pos += 2;
    x->token = ReadHexString(x) ? Token::kHex : Token::kBad;
  } else if (c == '"' || c == '\'') {
    ++x->pos;
    x->token = ReadQuoted(x, c) ? (c == '"' ? Token::kString : Token::kChar) : Token::kBad;
  } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '$' ||
             (c == '-' && x->pos + 1 < t.size() &&
              std::isdigit(static_cast<unsigned char>(t[x->pos + 1])))) {
    const bool negative = c == '-';
    if (negative) ++x->pos;
    int base = 10;
    if (t[x->pos] == '$') {
      base = 16;
      ++x->pos;
    } else if (t.substr(x->pos, 2) == "0x" || t.substr(x->pos, 2) == "0X") {
      base = 16;
      x->pos += 2;
    }
    long long v = 0;
    while (x->pos < t.size()) {
      const int d = HexDigitValue(t[x->pos]);
      if (d < 0 || d >= base) break;
      if (v < (1LL << 40)) v = v * base + d;
      ++x->pos;
    }
    x->number = negative ? -v : v;
    x->token = Token::kNumber;
  } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
    while (x->pos < t.size() &&
           (std::isalnum(static_cast<unsigned char>(t[x->pos])) || t[x->pos] == '_')) {
      x->value.push_back(t[x->pos++]);
    }
    x->token = Token::kWord;
  } else {
    x->value.assign(1, c);
    ++x->pos;
    x->token = Token::kPunct;
  }
}

size_t LineAt(const Lexer& x) {
  return 1 + static_cast<size_t>(std::count(x.text.begin(), x.text.begin() + x.pos, '\n'));
}

bool IsPunct(const Lexer& x, char c) { return x.token == Token::kPunct && x.value[0] == c; }

// Reads "(ID[, "name"][, attributes])"; false with the reason in `skipped`.
bool ReadIdAndName(Lexer* x, PictResource* res) {
  if (!IsPunct(*x, '(')) return false;
  NextToken(x);
  if (x->token != Token::kNumber || x->number < -32768 || x->number > 32767) {
    res->skipped = "its id is not a number Rez could store";
    return false;
  }
  res->id = static_cast<int>(x->number);
  NextToken(x);
  while (IsPunct(*x, ',')) {
    NextToken(x);
    if (x->token == Token::kString) {
      res->name =
          MacRomanToUtf8(reinterpret_cast<const uint8_t*>(x->value.data()), x->value.size());
    }
    if (x->token == Token::kBad || x->token == Token::kEnd) return false;
    NextToken(x);
  }
  if (!IsPunct(*x, ')')) return false;
  NextToken(x);
  return true;
}

void PutU16(std::vector<uint8_t>* out, long long v) {
  out->push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
  out->push_back(static_cast<uint8_t>(v & 0xFF));
}

// The 'PICT' template's size and frame: "size, {top, left, bottom, right},".
bool ReadSizeAndFrame(Lexer* x, std::vector<uint8_t>* out) {
  if (x->token != Token::kNumber) return false;
  PutU16(out, x->number);
  NextToken(x);
  if (!IsPunct(*x, ',')) return false;
  NextToken(x);
  if (!IsPunct(*x, '{')) return false;
  for (int i = 0; i < 4; ++i) {
    NextToken(x);
    if (x->token != Token::kNumber) return false;
    PutU16(out, x->number);
    NextToken(x);
    if (!IsPunct(*x, i < 3 ? ',' : '}')) return false;
  }
  NextToken(x);
  if (!IsPunct(*x, ',')) return false;
  NextToken(x);
  return true;
}

// One statement after "data 'PICT'" or "resource 'PICT'": its resource,
// with the bytes appended to `out` or the reason it is skipped.
PictResource ReadStatement(Lexer* x, bool with_frame, std::vector<uint8_t>* out) {
  PictResource res;
  const size_t start = out->size();
  bool ok = ReadIdAndName(x, &res) && IsPunct(*x, '{');
  if (ok) {
    NextToken(x);
    if (with_frame) ok = ReadSizeAndFrame(x, out);
  }
  while (ok && x->token == Token::kHex) {
    out->insert(out->end(), x->value.begin(), x->value.end());
    NextToken(x);
  }
  ok = ok && IsPunct(*x, '}');
  if (!ok) {
    if (res.skipped.empty()) {
      res.skipped = x->token == Token::kBad ? x->bad + " (line " + std::to_string(LineAt(*x)) + ")"
                                            : "its text is not a 'PICT' resource Rez reads";
    }
    out->resize(start);
    return res;
  }
  res.offset = start;
  res.size = out->size() - start;
  if (res.size == 0) res.skipped = "empty resource";
  return res;
}

}  // namespace

bool ListRez(const uint8_t* data, size_t size, ContainerListing* listing) {
  // Rez is text: a NUL byte anywhere says otherwise.
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (text.find('\0') != std::string_view::npos) return false;
  Lexer x;
  x.text = text;
  NextToken(&x);
  bool found_statement = false;
  while (x.token != Token::kEnd) {
    if (x.token != Token::kWord || (x.value != "data" && x.value != "resource")) {
      NextToken(&x);
      continue;
    }
    const bool with_frame = x.value == "resource";
    NextToken(&x);
    if (x.token != Token::kChar || x.value.size() != 4) continue;
    found_statement = true;
    const bool pict = x.value == "PICT";
    NextToken(&x);
    if (!pict) continue;
    listing->resources.push_back(ReadStatement(&x, with_frame, &listing->decoded));
    // After a damaged statement the next line starts afresh.
    if (x.token == Token::kBad) NextToken(&x);
  }
  if (!found_statement) return false;
  listing->kind = ContainerKind::kRez;
  return true;
}

}  // namespace pic2jpg::pict
