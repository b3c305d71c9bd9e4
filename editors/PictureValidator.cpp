#include "PictureValidator.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <utility>
#include <vector>

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

// The deepest nesting a mask may have. A match recurses once per level and only within the
// mask's own structure, so refusing deeper masks bounds the stack for every text. It is decided
// from the mask alone, before any text is seen: a mask within the limit is always matched in
// full, one beyond it always gives picSyntax, the empty text included, so no text can get a
// different answer from the limit. No mask of the window nests more than three levels.
constexpr std::size_t kMaxNesting = 200;

// Reading the mask's structure: where groups close and elements end.
class TMaskScan {
 public:
  explicit TMaskScan(const std::string& mask) : FMask(mask) {}

  // Whether a match nests at most `limit` levels deep: the whole mask, each group's contents and
  // each repeated element are one level each. Counted without recursion, and given up as soon as
  // the limit is passed, so that the time stays linear in the mask for a fixed limit.
  bool NestsWithin(std::size_t limit) const {
    std::vector<Pos> ends{FMask.size() + 1};  // ends of the levels open at p
    Pos p = 1;
    while (p <= FMask.size()) {
      while (ends.size() > 1 && p >= ends.back()) ends.pop_back();
      const unsigned char c = M(p);
      if (c == ';') {
        p += 2;
        continue;
      }
      if (c == '[' || c == '{') {
        ends.push_back(FindClose(p));
        ++p;
      } else if (c == '*') {
        Pos q = p + 1;
        while (q < ends.back() && IsDigit(M(q))) ++q;
        if (q < ends.back()) ends.push_back(ElementEnd(q, ends.back()));
        p = q;
      } else {
        ++p;
      }
      if (ends.size() > limit) return false;
    }
    return true;
  }

 protected:
  unsigned char M(Pos p) const {
    return p >= 1 && p <= FMask.size() ? static_cast<unsigned char>(FMask[p - 1]) : 0;
  }

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

  // Position just after the element at p; never before p + 1, never past end. A chain of
  // repeats is walked in a loop: its length is the mask's business, not the stack's.
  Pos ElementEnd(Pos p, Pos end) const {
    Pos q = p;
    while (M(q) == '*') {
      ++q;
      while (q < end && IsDigit(M(q))) ++q;
      if (q >= end) return end > p ? end : p + 1;
    }
    switch (M(q)) {
      case ';':
        q += 2;
        break;
      case '[':
      case '{':
        q = FindClose(q) + 1;
        break;
      default:
        ++q;
        break;
    }
    return q > end ? end : (q <= p ? p + 1 : q);
  }

  const std::string& FMask;
};

// One walk over mask and text. Greedy: nothing taken is ever given back.
class TMatch : private TMaskScan {
 public:
  TMatch(const std::string& mask, std::string& text) : TMaskScan(mask), FText(text) {}

  TwwPictureResult Whole() {
    J = 1;
    I = 1;
    TwwPictureResult r = GroupBody(FMask.size() + 1);
    if (r != picError && r != picSyntax && I <= FText.size()) r = picError;
    return r;
  }
  Pos J = 1, I = 1;

 private:
  unsigned char T(Pos i) const { return static_cast<unsigned char>(FText[i - 1]); }
  void Store(Pos i, unsigned char c) {
    char& slot = FText[i - 1];
    if (static_cast<unsigned char>(slot) == c) return;
    if (FWatching > 0) FChanges.emplace_back(i, static_cast<unsigned char>(slot));
    slot = static_cast<char>(c);
  }
  bool TextEnded() const { return I > FText.size(); }

  void SkipToAlternativeEnd(Pos end) {
    while (J < end && M(J) != ',') J = ElementEnd(J, end);
  }

  // Whether the mask from p to end may be left out entirely.
  bool OnlyOptional(Pos p, Pos end) const {
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
      } else if (c == '{' && AlternativeOptional(p)) {
        p = ElementEnd(p, end);
      } else {
        return false;
      }
    }
    return true;
  }

  bool AlternativeOptional(Pos open) const {
    const Pos close = FindClose(open);
    Pos a = open + 1;
    while (a <= close) {
      Pos b = a;
      while (b < close && M(b) != ',') b = ElementEnd(b, close);
      if (OnlyOptional(a, b)) return true;
      a = b + 1;
    }
    return false;
  }

  TwwPictureResult OptionalRemainder(TwwPictureResult state, Pos end) const {
    if (state == picEmpty) return state;
    return OnlyOptional(J, end) ? picCompleteOpen : state;
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
          // Only an incomplete outcome leaves an optional group; an error skips it, and any
          // other outcome (a malformed repeat inside included) counts as the group passed.
          if (IncompleteLike(r)) return r;
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
    ++FDepth;
    assert(FDepth <= kMaxNesting && "NestsWithin counts every level a match enters");
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
        const std::size_t mark = FChanges.size();
        ++FWatching;
        r = GroupBody(elemEnd);
        --FWatching;
        // A repetition is a function of the text and the text position alone. One that took no
        // characters and left every byte as it found it would be followed by identical ones,
        // so their outcome is this one's; one that converted a byte (and then failed) is not.
        const bool nothingChanged = I == before && TextAsAt(mark);
        if (FWatching == 0) FChanges.clear();
        if (!CompleteLike(r)) {
          J = elemStart;
          if (r == picEmpty) return M(elemStart) == '[' ? picComplete : picIncomplete;
          return r;
        }
        if (nothingChanged) break;
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

  // Whether every byte changed since FChanges[mark] holds again the value it had then.
  bool TextAsAt(std::size_t mark) const {
    if (mark == FChanges.size()) return true;
    std::vector<std::pair<Pos, unsigned char>> first(FChanges.begin() + mark, FChanges.end());
    std::stable_sort(first.begin(), first.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t k = 0; k < first.size(); ++k)
      if ((k == 0 || first[k].first != first[k - 1].first) && T(first[k].first) != first[k].second)
        return false;
    return true;
  }

  std::string& FText;
  // Bytes changed while a counted repetition runs (position, value before), for TextAsAt.
  std::vector<std::pair<Pos, unsigned char>> FChanges;
  int FWatching = 0;
  std::size_t FDepth = 0;  // group bodies entered, for the assertion above
};

}  // namespace

TwwPictureValidator::TwwPictureValidator(const std::string& mask, bool autoFill)
    : Options(autoFill ? AutoFillOption : 0),
      FMask(mask),
      FWellFormed(SyntaxOk(mask) && TMaskScan(mask).NestsWithin(kMaxNesting)) {
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
  if (!FWellFormed) return picSyntax;
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

TwwPictureResult TypeKey(TwwPictureValidator& v, bool autoFill, const std::string& before,
                         const std::string& typed, const std::string& after, std::string& text) {
  text = before + typed + after;
  TwwPictureResult r = v.CheckPicture(text, autoFill);
  if (r != picError || !autoFill) return r;
  std::string spaced = before + " " + after;
  if (v.CheckPicture(spaced, true) == picError) return r;
  text = spaced + typed;
  return v.CheckPicture(text, true);
}
