#include "FileNameText.h"

#include "Utf8.h"

namespace certwin {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

}  // namespace

QString NameToText(const std::string& name) {
  QString text;
  text.reserve(static_cast<qsizetype>(name.size()));
  for (std::size_t i = 0; i < name.size();) {
    char32_t cp;
    // Encoded surrogates count as stray bytes: the escapes below are surrogates themselves.
    const std::size_t len = cert::DecodeUtf8(name, i, cp);
    if (len == 0) {
      text += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(name[i])));
      ++i;
      continue;
    }
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
      cert::AppendUtf8(name, QChar::surrogateToUcs4(u, text[i + 1].unicode()));
      ++i;
    } else if (u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF) {
      name += static_cast<char>(u - kEscapeBase);
    } else if (QChar::isSurrogate(u)) {
      cert::AppendUtf8(name, 0xFFFD);  // no byte stands behind it; it cannot come from a name
    } else {
      cert::AppendUtf8(name, u);
    }
  }
  return name;
}

}  // namespace certwin
