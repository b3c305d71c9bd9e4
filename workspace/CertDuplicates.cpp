#include "CertDuplicates.h"

#include <cstring>

#include "CertFormat.h"

namespace cert {

namespace {

constexpr int kKeyParts = 4;
constexpr const int (&kKeyFields)[kKeyParts] = ProviderKeyFields;

struct TKey {
  std::string_view Part[kKeyParts];
  const char* End = nullptr;  // the parts lie in bytes readable up to here (null: only they)
};

TKey KeyOf(const TDetailRec& rec) {
  TKey k;
  for (int i = 0; i < kKeyParts; ++i) k.Part[i] = rec.Field(kKeyFields[i]).View();
  return k;
}

TKey KeyOf(std::string_view line) {
  TKey k;
  k.End = line.data() + line.size();
  for (int i = 0; i < kKeyParts; ++i) {
    const TFieldDef& def = FieldTable[static_cast<std::size_t>(kKeyFields[i])];
    k.Part[i] = Trim(Columns(line, def.FirstCol, def.Width));
  }
  return k;
}

// Eight bytes of a part at a time, each step mixed in by a multiply; a part's length goes in
// with its last step so that no two keys read the same. A final mix makes the bits the table
// uses depend on every byte.
inline std::uint64_t Rotate(std::uint64_t x, int by) { return x << by | x >> (64 - by); }

inline std::uint64_t Mix(std::uint64_t h) {
  h *= 0x9E3779B97F4A7C15ULL;
  return h ^ (h >> 32);
}

// The last zero to seven bytes of a part as one word, zero-padded: one eight-byte read where
// the bytes after them may be read, byte by byte where not.
inline std::uint64_t Tail(const char* p, std::size_t n, const char* end) {
  if (end && end - p >= 8) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return n == 0 ? 0 : w & (~std::uint64_t{0} >> (64 - 8 * n));
  }
  std::uint64_t w = 0;
  for (std::size_t i = 0; i < n; ++i)
    w |= std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
  return w;
}

// One part: its words, the last zero-padded with the part's length in its top byte.
inline std::uint64_t HashPart(std::string_view part, std::uint64_t seed, const char* end) {
  std::uint64_t h = seed, w;
  std::size_t i = 0;
  for (; i + 8 <= part.size(); i += 8) {
    std::memcpy(&w, part.data() + i, 8);
    h = Mix(h ^ w);
  }
  return Mix(h ^ Tail(part.data() + i, part.size() - i, end) ^ (std::uint64_t{part.size()} << 56));
}

// The parts each on their own (so that the processor works on all four at once), then put
// together, each turned by a different amount.
inline std::uint64_t HashParts(const TKey& key) {
  std::uint64_t h = HashPart(key.Part[0], 0x243F6A8885A308D3ULL, key.End) ^
                    Rotate(HashPart(key.Part[1], 0x13198A2E03707344ULL, key.End), 17) ^
                    Rotate(HashPart(key.Part[2], 0xA4093822299F31D0ULL, key.End), 31) ^
                    Rotate(HashPart(key.Part[3], 0x082EFA98EC4E6C89ULL, key.End), 47);
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  return h;
}

inline std::uint64_t Hash(const TKey& key) {
  if (key.Part[0].empty()) return 0;
  const std::uint64_t h = HashParts(key);
  return h == 0 ? 1 : h;
}

bool Same(const TKey& a, const TKey& b) {
  if (a.Part[0].empty() || b.Part[0].empty()) return false;
  for (int k = 0; k < kKeyParts; ++k)
    if (a.Part[k] != b.Part[k]) return false;
  return true;
}

}  // namespace

std::uint64_t ProviderKeyHash(const TDetailRec& rec) { return Hash(KeyOf(rec)); }

bool SameProviderKey(const TDetailRec& a, const TDetailRec& b) { return Same(KeyOf(a), KeyOf(b)); }

std::uint64_t LineProviderKeyHash(std::string_view line) { return Hash(KeyOf(line)); }

std::uint64_t ProviderKeyHash(const std::string_view (&parts)[4], const char* end) {
  TKey key;
  key.End = end;
  for (int k = 0; k < kKeyParts; ++k) key.Part[k] = parts[k];
  return Hash(key);
}

std::uint64_t LineProviderKeyHash(std::string_view line, const TLineScan& scan) {
  std::string_view parts[kKeyParts];
  for (int k = 0; k < kKeyParts; ++k) parts[k] = scan.Trimmed(line, ProviderKeyFields[k]);
  return ProviderKeyHash(parts, line.data() + line.size());
}

bool SameLineProviderKey(std::string_view a, std::string_view b) {
  return Same(KeyOf(a), KeyOf(b));
}

void AppendLineProviderKey(std::string_view line, std::string& out) {
  for (const std::string_view part : KeyOf(line).Part) {
    out += static_cast<char>(part.size());
    out.append(part);
  }
}

void TDuplicateIndex::Reserve(std::size_t keys) {
  std::size_t capacity = 16;
  while (capacity * 3 < keys * 4) capacity *= 2;
  if (capacity > FSlots.size()) Rehash(capacity);
}

void TDuplicateIndex::Clear() {
  FSlots.clear();
  FCount = 0;
  FBits = 0;
}

namespace {

// The home slot of a hash in a table of 2^bits slots: the top bits of a Fibonacci product,
// which spreads hashes that differ only in their high bits as well (as Prefetch computes it).
std::size_t HomeSlot(std::uint64_t hash, int bits) {
  return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15ULL) >> (64 - bits));
}

}  // namespace

void TDuplicateIndex::Rehash(std::size_t capacity) {
  std::vector<TSlot> slots(capacity, TSlot{0, -1});
  const std::size_t mask = capacity - 1;
  int bits = 0;
  while ((std::size_t{1} << bits) < capacity) ++bits;
  for (const TSlot& s : FSlots) {
    if (s.Hash == 0) continue;
    std::size_t at = HomeSlot(s.Hash, bits);
    while (slots[at].Hash != 0) at = (at + 1) & mask;
    slots[at] = s;
  }
  FSlots.swap(slots);
  FBits = bits;
}

int TDuplicateIndex::FirstOrAdd(std::uint64_t hash, int index) {
  if ((FCount + 1) * 4 > FSlots.size() * 3) Rehash(FSlots.empty() ? 16 : FSlots.size() * 2);
  const std::size_t mask = FSlots.size() - 1;
  std::size_t at = HomeSlot(hash, FBits);
  while (FSlots[at].Hash != 0) {
    if (FSlots[at].Hash == hash) return FSlots[at].First;
    at = (at + 1) & mask;
  }
  FSlots[at] = TSlot{hash, index};
  ++FCount;
  return -1;
}

int TCertFormat::FindDuplicateProviders() {
  const int count = FDetailStr.Count();
  TDuplicateIndex index;
  index.Reserve(static_cast<std::size_t>(count));
  int found = 0;
  for (int i = 0; i < count; ++i) {
    const std::uint64_t hash = LineProviderKeyHash(FDetailStr[i]);
    if (hash == 0) continue;
    const int earlier = index.FirstOrAdd(hash, i);
    if (earlier < 0) continue;
    // Equal hashes of different keys are all but impossible; the lines tell for certain.
    if (!SameLineProviderKey(FDetailStr[earlier], FDetailStr[i])) continue;
    ++found;
    if (OnDuplicateProvider) OnDuplicateProvider(this, earlier, i);
  }
  return found;
}

}  // namespace cert
