#include "platform/locale/PictureTranslation.h"

#include <vector>

namespace platform {
namespace {

struct Token {
  enum Kind { Field, Quoted, Plain, Zone, Millis };
  Kind kind = Plain;
  std::u16string text;
};

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool IsPlain(const Token& t, char16_t c) { return t.kind == Token::Plain && t.text.size() == 1 && t.text[0] == c; }

// True when the Qt format shows an AM/PM marker outside quoted text.
bool HasMarker(std::u16string_view f) {
  bool quoted = false;
  for (char16_t c : f) {
    if (c == u'\'') quoted = !quoted;
    else if (!quoted && (c == u'a' || c == u'A')) return true;
  }
  return false;
}

void AddQuoted(std::vector<Token>& out, std::u16string_view text) {
  if (!out.empty() && out.back().kind == Token::Quoted) out.back().text.append(text);
  else out.push_back({Token::Quoted, std::u16string(text)});
}

std::vector<Token> Tokenize(std::u16string_view f) {
  std::vector<Token> out;
  const bool marker = HasMarker(f);
  size_t i = 0;
  while (i < f.size()) {
    const char16_t c = f[i];
    if (c == u'\'') {
      if (i + 1 < f.size() && f[i + 1] == u'\'') {  // '' outside quotes: one quote
        AddQuoted(out, u"'");
        i += 2;
        continue;
      }
      std::u16string text;
      size_t j = i + 1;
      while (j < f.size()) {
        if (f[j] == u'\'') {
          if (j + 1 < f.size() && f[j + 1] == u'\'') {
            text += u'\'';
            j += 2;
            continue;
          }
          ++j;
          break;
        }
        text += f[j++];
      }
      if (!text.empty()) AddQuoted(out, text);
      i = j;
      continue;
    }
    size_t run = 1;
    while (i + run < f.size() && f[i + run] == c) ++run;
    switch (c) {
      case u'd':
      case u'M':
      case u'y':
      case u'm':
      case u's':
        out.push_back({Token::Field, std::u16string(run, c)});
        break;
      case u'h':
        out.push_back({Token::Field, std::u16string(run < 2 ? 1 : 2, marker ? u'h' : u'H')});
        break;
      case u'H':
        out.push_back({Token::Field, std::u16string(run < 2 ? 1 : 2, u'H')});
        break;
      case u'a':
      case u'A':
        out.push_back({Token::Field, u"tt"});
        if (run == 1 && i + 1 < f.size() && (f[i + 1] == u'p' || f[i + 1] == u'P')) ++run;
        else run = 1;
        break;
      case u't':
        out.push_back({Token::Zone, {}});
        break;
      case u'z':
        out.push_back({Token::Millis, {}});
        break;
      default:
        if (IsAsciiLetter(c) || c >= 0x80) {
          AddQuoted(out, std::u16string(run, c));
        } else {
          for (size_t k = 0; k < run; ++k) out.push_back({Token::Plain, std::u16string(1, c)});
        }
        break;
    }
    i += run;
  }
  return out;
}

// Drops the zone with its brackets and the milliseconds with their separator,
// then trims and collapses spaces.
void DropUnsupported(std::vector<Token>& t) {
  for (size_t i = 0; i < t.size();) {
    if (t[i].kind == Token::Zone) {
      size_t first = i, last = i;
      if (first > 0 && IsPlain(t[first - 1], u'(') && last + 1 < t.size() && IsPlain(t[last + 1], u')')) {
        --first;
        ++last;
      }
      t.erase(t.begin() + static_cast<std::ptrdiff_t>(first), t.begin() + static_cast<std::ptrdiff_t>(last) + 1);
      i = first;
    } else if (t[i].kind == Token::Millis) {
      size_t first = i;
      if (first > 0 && (IsPlain(t[first - 1], u'.') || IsPlain(t[first - 1], u','))) --first;
      t.erase(t.begin() + static_cast<std::ptrdiff_t>(first), t.begin() + static_cast<std::ptrdiff_t>(i) + 1);
      i = first;
    } else {
      ++i;
    }
  }
  std::vector<Token> kept;
  for (auto& tok : t) {
    const bool space = IsPlain(tok, u' ');
    if (space && (kept.empty() || IsPlain(kept.back(), u' '))) continue;
    kept.push_back(std::move(tok));
  }
  while (!kept.empty() && IsPlain(kept.back(), u' ')) kept.pop_back();
  t = std::move(kept);
}

}  // namespace

std::u16string QtFormatToPicture(std::u16string_view qtFormat) {
  std::vector<Token> tokens = Tokenize(qtFormat);
  DropUnsupported(tokens);
  std::u16string out;
  for (const auto& tok : tokens) {
    if (tok.kind != Token::Quoted) {
      out += tok.text;
      continue;
    }
    out += u'\'';
    for (char16_t c : tok.text) {
      if (c == u'\'') out += u'\'';
      out += c;
    }
    out += u'\'';
  }
  return out;
}

std::u16string AddSecondsToTimePicture(std::u16string_view picture) {
  bool quoted = false;
  size_t minute = std::u16string_view::npos;
  for (size_t i = 0; i < picture.size(); ++i) {
    const char16_t c = picture[i];
    if (c == u'\'') quoted = !quoted;
    if (quoted) continue;
    if (c == u's') return std::u16string(picture);
    if (c == u'm' && minute == std::u16string_view::npos) minute = i;
  }
  if (minute == std::u16string_view::npos || minute == 0) return {};
  const char16_t sep = picture[minute - 1];
  if (IsAsciiLetter(sep) || sep == u'\'' || sep == u' ') return {};
  size_t end = minute;
  while (end < picture.size() && picture[end] == u'm') ++end;
  std::u16string out(picture.substr(0, end));
  out += sep;
  out += u"ss";
  out.append(picture.substr(end));
  return out;
}

}  // namespace platform
