#include "PictureValidator.h"

#include <cstddef>

unsigned char Cp1252Upper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  switch (c) {
    case 0x9A:
      return 0x8A;
    case 0x9C:
      return 0x8C;
    case 0x9E:
      return 0x8E;
    case 0xFF:
      return 0x9F;
    default:
      return c;
  }
}

unsigned char Cp1252Lower(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A:
      return 0x9A;
    case 0x8C:
      return 0x9C;
    case 0x8E:
      return 0x9E;
    case 0x9F:
      return 0xFF;
    default:
      return c;
  }
}

namespace {

using Pos = std::size_t;  // 1-based positions in the mask and the text

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsLetterLike(unsigned char c) { return IsLetter(c) || c > 128; }
unsigned char FoldAZ(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }
bool CompleteLike(TwwPictureResult r) { return r == picComplete || r == picCompleteOpen; }
bool IncompleteLike(TwwPictureResult r) { return r == picIncomplete || r == picIncompleteNoFill; }

bool IsSpecial(unsigned char c) {
  switch (c) {
    case 0:
    case '!':
    case '#':
    case '&':
    case '*':
    case ',':
    case '?':
    case '@':
    case '[':
    case ']':
    case '{':
    case '}':
    case '~':
      return true;
    default:
      return false;
  }
}

bool SyntaxOk(const std::string& m) {
  if (m.empty() || m.back() == ';') return false;
  if (m.back() == '*' && (m.size() < 2 || m[m.size() - 2] != ';')) return false;
  long square = 0, curly = 0;
  for (std::size_t i = 0; i < m.size(); ++i) {
    switch (m[i]) {
      case ';':
        ++i;
        break;
      case '[':
        ++square;
        break;
      case ']':
        --square;
        break;
      case '{':
        ++curly;
        break;
      case '}':
        --curly;
        break;
      default:
        break;
    }
  }
  return square == 0 && curly == 0;
}

// One walk over mask and text. Greedy: nothing taken is ever given back.
class TMatch {
 public:
  TMatch(const std::string& mask, std::string& text) : FMask(mask), FText(text) {}

  TwwPictureResult Whole() {
    J = 1;
    I = 1;
    FDepth = 0;
    TwwPictureResult r = GroupBody(FMask.size() + 1);
    if (r != picError && r != picSyntax && I <= FText.size()) r = picError;
    return r;
  }
  Pos J = 1, I = 1;

 private:
  static constexpr int kMaxDepth = 200;  // deeper nesting is refused rather than recursed

  unsigned char M(Pos p) const {
    return p >= 1 && p <= FMask.size() ? static_cast<unsigned char>(FMask[p - 1]) : 0;
  }
  unsigned char T(Pos i) const { return static_cast<unsigned char>(FText[i - 1]); }
  void Store(Pos i, unsigned char c) { FText[i - 1] = static_cast<char>(c); }
  bool TextEnded() const { return I > FText.size(); }

  // Position of the bracket closing the group opened at p; one past the mask when none.
  Pos FindClose(Pos p) const {
    int depth = 0;
    for (Pos q = p; q <= FMask.size(); ++q) {
      const unsigned char c = M(q);
      if (c == ';') {
        ++q;
      } else if (c == '[' || c == '{') {
        ++depth;
      } else if (c == ']' || c == '}') {
        if (--depth == 0) return q;
      }
    }
    return FMask.size() + 1;
  }

  // Position just after the element at p; never before p + 1, never past end.
  Pos ElementEnd(Pos p, Pos end) const {
    Pos q;
    switch (M(p)) {
      case ';':
        q = p + 2;
        break;
      case '[':
      case '{':
        q = FindClose(p) + 1;
        break;
      case '*': {
        q = p + 1;
        while (q < end && IsDigit(M(q))) ++q;
        q = q < end ? ElementEnd(q, end) : end;
        break;
      }
      default:
        q = p + 1;
        break;
    }
    return q > end ? end : (q <= p ? p + 1 : q);
  }

  void SkipToAlternativeEnd(Pos end) {
    while (J < end && M(J) != ',') J = ElementEnd(J, end);
  }

  // Whether the mask from p to end may be left out entirely.
  bool OnlyOptional(Pos p, Pos end, int depth) const {
    while (p < end) {
      const unsigned char c = M(p);
      if (c == '[') {
        p = ElementEnd(p, end);
      } else if (c == '*' && !IsDigit(M(p + 1))) {
        p = ElementEnd(p, end);
      } else if (c == '*' && IsDigit(M(p + 1)) && M(p + 2) == '[') {
        p = ElementEnd(p, end);
      } else if (c == ',') {
        return true;
      } else if (c == '{' && depth < kMaxDepth && AlternativeOptional(p, depth + 1)) {
        p = ElementEnd(p, end);
      } else {
        return false;
      }
    }
    return true;
  }

  bool AlternativeOptional(Pos open, int depth) const {
    const Pos close = FindClose(open);
    Pos a = open + 1;
    while (a <= close) {
      Pos b = a;
      while (b < close && M(b) != ',') b = ElementEnd(b, close);
      if (OnlyOptional(a, b, depth)) return true;
      a = b + 1;
    }
    return false;
  }

  TwwPictureResult OptionalRemainder(TwwPictureResult state, Pos end) const {
    if (state == picEmpty) return state;
    return OnlyOptional(J, end, FDepth) ? picCompleteOpen : state;
  }

  TwwPictureResult Literal(unsigned char lit, bool& trailingSpace) {
    const unsigned char ch = T(I);
    const bool last = I == FText.size();
    if (FoldAZ(ch) != FoldAZ(lit)) {
      if (!(ch == ' ' && last && !trailingSpace)) return picError;
    } else if (ch == ' ' && last) {
      trailingSpace = true;
    }
    Store(I, lit);
    ++I;
    ++J;
    return picComplete;
  }

  TwwPictureResult Sequence(Pos end, bool& trailingSpace) {
    TwwPictureResult state = picEmpty;
    while (J < end && M(J) != ',') {
      if (TextEnded()) return OptionalRemainder(state, end);
      const unsigned char ch = T(I);
      const unsigned char c = M(J);
      switch (c) {
        case '#':
        case '?':
        case '&':
        case '~': {
          const bool ok = c == '#' ? IsDigit(ch) : IsLetterLike(ch);
          if (!ok) return picError;
          Store(I, c == '&' ? Cp1252Upper(ch) : c == '~' ? Cp1252Lower(ch) : ch);
          ++I;
          ++J;
          break;
        }
        case '!':
        case '@':
          Store(I, c == '!' ? Cp1252Upper(ch) : ch);
          ++I;
          ++J;
          break;
        case '*': {
          const TwwPictureResult r = Repeat(end);
          if (!CompleteLike(r)) return r;
          break;
        }
        case '{': {
          const TwwPictureResult r = Group();
          if (!CompleteLike(r)) return r;
          break;
        }
        case '[': {
          const TwwPictureResult r = Group();
          if (IncompleteLike(r) || r == picSyntax) return r;
          if (r == picError) state = picCompleteOpen;
          break;
        }
        case ';':
          ++J;
          if (Literal(M(J), trailingSpace) == picError) return picError;
          break;
        default:
          if (Literal(c, trailingSpace) == picError) return picError;
          break;
      }
      state = state == picCompleteOpen ? picIncompleteNoFill : picIncomplete;
    }
    return state == picIncompleteNoFill ? picCompleteOpen : picComplete;
  }

  TwwPictureResult GroupBody(Pos end) {
    if (++FDepth > kMaxDepth) {
      --FDepth;
      return picSyntax;
    }
    const Pos textStart = I;
    bool trailingSpace = false;
    bool sawIncomplete = false;
    Pos incJ = 0, incI = 0;
    TwwPictureResult provisional = picError;
    TwwPictureResult r;
    for (;;) {
      const Pos altStart = J;
      r = Sequence(end, trailingSpace);
      if (CompleteLike(r) && sawIncomplete && incI > I) {
        r = picIncomplete;
        I = incI;
      }
      if (r == picError || r == picIncomplete) {
        provisional = r;
        if (r == picIncomplete && !sawIncomplete) {
          sawIncomplete = true;
          incJ = J;
          incI = I;
        }
        I = textStart;
        J = altStart;
        SkipToAlternativeEnd(end);
        if (J < end && M(J) == ',') {
          ++J;
          continue;
        }
        if (sawIncomplete) {
          J = incJ;
          I = incI;
          r = picIncomplete;
        } else {
          r = provisional;
        }
        break;
      }
      if (r == picComplete && sawIncomplete) r = picCompleteOpen;
      break;
    }
    --FDepth;
    return r;
  }

  TwwPictureResult Group() {
    const Pos close = FindClose(J);
    ++J;
    const TwwPictureResult r = GroupBody(close);
    if (!IncompleteLike(r)) J = close + 1;
    return r;
  }

  TwwPictureResult Repeat(Pos end) {
    ++J;
    unsigned count = 0;
    while (J < end && IsDigit(M(J))) {
      count = (count * 10 + (M(J) - '0')) & 0xFFFF;
      ++J;
    }
    if (J >= end) return picSyntax;
    const Pos elemStart = J;
    const Pos elemEnd = ElementEnd(J, end);
    TwwPictureResult r = picComplete;
    if (count > 0) {
      for (unsigned k = 0; k < count; ++k) {
        J = elemStart;
        const Pos before = I;
        r = GroupBody(elemEnd);
        if (!CompleteLike(r)) {
          J = elemStart;
          if (r == picEmpty) return M(elemStart) == '[' ? picComplete : picIncomplete;
          return r;
        }
        // A repetition that took nothing leaves text and positions as they were, so every
        // further one would give the same result.
        if (I == before) break;
      }
    } else {
      for (;;) {
        J = elemStart;
        const Pos before = I;
        r = GroupBody(elemEnd);
        if (!CompleteLike(r) || I == before) break;
      }
      if (r == picEmpty || r == picError) r = picCompleteOpen;
    }
    J = elemEnd;
    return r;
  }

  const std::string& FMask;
  std::string& FText;
  int FDepth = 0;
};

}  // namespace

TwwPictureValidator::TwwPictureValidator(const std::string& mask, bool autoFill)
    : Options(autoFill ? AutoFillOption : 0), FMask(mask) {
  std::string empty;
  if (CheckPicture(empty, false) != picEmpty) Status = 1;
}

bool TwwPictureValidator::AcceptsInput(std::string& text, bool suppressFill) {
  const bool fill = (Options & AutoFillOption) && !suppressFill;
  return CheckPicture(text, fill) != picError;
}

bool TwwPictureValidator::IsValidText(const std::string& text) {
  std::string copy = text;
  const TwwPictureResult r = CheckPicture(copy, false);
  return r == picComplete || r == picEmpty;
}

TwwPictureResult TwwPictureValidator::CheckPicture(std::string& text, bool autoFill) {
  const std::string kept = text;
  if (!SyntaxOk(FMask)) return picSyntax;
  if (text.empty()) return picEmpty;
  TMatch match(FMask, text);
  TwwPictureResult r = match.Whole();
  if (r == picIncomplete && autoFill) {
    bool appended = false;
    for (Pos j = match.J; j <= FMask.size();) {
      unsigned char c = static_cast<unsigned char>(FMask[j - 1]);
      if (c == ';') {
        if (j + 1 > FMask.size()) break;
        c = static_cast<unsigned char>(FMask[j]);
        j += 2;
      } else if (IsSpecial(c)) {
        break;
      } else {
        ++j;
      }
      text += static_cast<char>(c);
      appended = true;
    }
    if (appended) {
      r = match.Whole();
      if (r == picError) {
        text = kept;
        r = picIncomplete;
      }
    }
  }
  if (r == picCompleteOpen) return picComplete;
  if (r == picIncompleteNoFill) return picIncomplete;
  return r;
}
