// The names of the new files a save writes beside its target, for both platforms' file layers.
// They are ".<target's name>.<six characters>.certtmp", so that a later save to the same target
// finds those that a killed save left.
#pragma once

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <random>
#include <string>

namespace cert::tempnames {

inline constexpr char kSuffix[] = ".certtmp";
inline constexpr std::size_t kRandomChars = 6;

// ".<base>." with room for the rest within the usual 255-unit limit of a name, cut between
// UTF-8 characters.
inline std::string Prefix(const std::string& base) {
  std::size_t cut = std::min<std::size_t>(base.size(), 200);
  while (cut > 0 && cut < base.size() && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80)
    --cut;
  return "." + base.substr(0, cut) + ".";
}

// kRandomChars letters and digits; processId keeps two processes started together apart.
inline std::string RandomChars(std::uint64_t processId) {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 gen(std::random_device{}() ^ (processId << 32) ^
                                   static_cast<std::uint64_t>(std::time(nullptr)));
  std::string s(kRandomChars, ' ');
  for (char& c : s) c = kChars[gen() % (sizeof kChars - 1)];
  return s;
}

}  // namespace cert::tempnames
