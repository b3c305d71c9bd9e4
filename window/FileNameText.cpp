#include "FileNameText.h"

namespace certwin {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool Continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence at name[i] (shortest form, no surrogates, at most
// U+10FFFF), or 0 when the byte there does not start one.
std::size_t SequenceLength(const std::string& name, std::size_t i) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(name[i + k]); };
  const unsigned char b = at(0);
  if (b < 0x80) return 1;
  std::size_t len;
  unsigned char lo = 0x80, hi = 0xBF;  // the range of the second byte
  if (b >= 0xC2 && b <= 0xDF) {
    len = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3;
    if (b == 0xE0) lo = 0xA0;
    if (b == 0xED) hi = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (i + len > name.size() || at(1) < lo || at(1) > hi) return 0;
  for (std::size_t k = 2; k < len; ++k)
    if (!Continuation(at(k))) return 0;
  return len;
}

char32_t Decode(const std::string& name, std::size_t i, std::size_t len) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(name[i + k]); };
  if (len == 1) return at(0);
  char32_t cp = at(0) & (0xFF >> (len + 1));
  for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (at(k) & 0x3F);
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

QString NameToText(const std::string& name) {
  QString text;
  text.reserve(static_cast<qsizetype>(name.size()));
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t len = SequenceLength(name, i);
    if (len == 0) {
      text += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(name[i])));
      ++i;
      continue;
    }
    const char32_t cp = Decode(name, i, len);
    if (QChar::requiresSurrogates(cp)) {
      text += QChar(QChar::highSurrogate(cp));
      text += QChar(QChar::lowSurrogate(cp));
    } else {
      text += QChar(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return text;
}

std::string TextToName(const QString& text) {
  std::string name;
  name.reserve(static_cast<std::size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      AppendUtf8(name, QChar::surrogateToUcs4(u, text[i + 1].unicode()));
      ++i;
    } else if (u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF) {
      name += static_cast<char>(u - kEscapeBase);
    } else if (QChar::isSurrogate(u)) {
      AppendUtf8(name, 0xFFFD);  // no byte stands behind it; it cannot come from a name
    } else {
      AppendUtf8(name, u);
    }
  }
  return name;
}

}  // namespace certwin
