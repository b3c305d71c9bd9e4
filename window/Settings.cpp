#include "Settings.h"

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "FieldTable.h"
#include "ReplacingWriter.h"

namespace certwin {

namespace {

const char kRememberSection[] = "New Detail Record";
const char kDeleteSection[] = "Delete Option";
const char kDeleteKey[] = "Confir&m Delete";
const char kFileSection[] = "Filename";
const char kOutputKey[] = "OutputFilename";
const char kInputKey[] = "InputFilename";

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view TrimSpace(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

// Section and key names match without regard to case.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The settings file as its lines, each kept byte for byte, so that writing the window's keys
// changes their lines alone: other sections and keys, comments, blank lines, odd lines,
// spacing, duplicates and NUL bytes stay as the user or another program left them. The INI
// libraries at hand re-serialise the whole file (and keep the last of duplicate keys, and stop
// at a NUL), so the program has this small one of its own, and reads through the same lines,
// so that reading and writing agree on which line holds a key: the first.
class TIniText {
 public:
  explicit TIniText(const std::string& bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
      const std::size_t lf = bytes.find('\n', at);
      if (lf == std::string::npos) {
        FLines.push_back({bytes.substr(at), ""});
        break;
      }
      const bool crlf = lf > at && bytes[lf - 1] == '\r';
      if (FEol.empty()) FEol = crlf ? "\r\n" : "\n";
      FLines.push_back({bytes.substr(at, lf - at - crlf), crlf ? "\r\n" : "\n"});
      at = lf + 1;
    }
    if (FEol.empty()) FEol = "\n";
  }

  std::optional<std::string> Get(std::string_view section, std::string_view key) const {
    const std::size_t i = FindKey(section, key);
    if (i == npos) return std::nullopt;
    return std::string(
        TrimSpace(std::string_view(FLines[i].Text).substr(FLines[i].Text.find('=') + 1)));
  }

  void Set(std::string_view section, std::string_view key, const std::string& value) {
    const std::size_t i = FindKey(section, key);
    if (i != npos) {
      std::string& text = FLines[i].Text;
      std::size_t start = text.find('=') + 1;
      if (TrimSpace(std::string_view(text).substr(start)) == value) return;
      while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
      text.replace(start, std::string::npos, value);
      return;
    }
    const std::string line = std::string(key) + "=" + value;
    const std::size_t end = SectionEnd(section);
    if (end != npos) return Insert(end, line);
    if (!FLines.empty() && !TrimSpace(FLines.back().Text).empty()) Insert(FLines.size(), "");
    Insert(FLines.size(), "[" + std::string(section) + "]");
    Insert(FLines.size(), line);
  }

  std::string Bytes() const {
    std::string out;
    for (const TLine& l : FLines) out.append(l.Text).append(l.End);
    return out;
  }

 private:
  static constexpr std::size_t npos = std::string::npos;
  struct TLine {
    std::string Text;  // without its line end
    std::string End;   // empty for a last line without one
  };

  // A section line's name, or nullopt.
  static std::optional<std::string_view> SectionName(std::string_view text) {
    text = TrimSpace(text);
    if (text.empty() || text.front() != '[') return std::nullopt;
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return TrimSpace(text.substr(1, close - 1));
  }

  // A key line's key, or nullopt (comments, blank and odd lines).
  static std::optional<std::string_view> KeyName(std::string_view text) {
    const std::string_view t = TrimSpace(text);
    if (t.empty() || t.front() == ';' || t.front() == '#') return std::nullopt;
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const std::string_view key = TrimSpace(text.substr(0, eq));
    if (key.empty()) return std::nullopt;
    return key;
  }

  std::size_t FindKey(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (std::size_t i = 0; i < FLines.size(); ++i) {
      if (const auto name = SectionName(FLines[i].Text)) {
        inSection = SameName(*name, section);
      } else if (inSection) {
        const auto k = KeyName(FLines[i].Text);
        if (k && SameName(*k, key)) return i;
      }
    }
    return npos;
  }

  // Where a new key of the section's first block goes: after its last line that is not
  // blank, so that blank lines before the next section stay before it.
  std::size_t SectionEnd(std::string_view section) const {
    std::size_t i = 0;
    while (i < FLines.size()) {
      const auto name = SectionName(FLines[i].Text);
      if (name && SameName(*name, section)) break;
      ++i;
    }
    if (i == FLines.size()) return npos;
    std::size_t end = i + 1;
    for (std::size_t j = i + 1; j < FLines.size() && !SectionName(FLines[j].Text); ++j)
      if (!TrimSpace(FLines[j].Text).empty()) end = j + 1;
    return end;
  }

  void Insert(std::size_t at, std::string text) {
    // A last line without a line end gets one before anything follows it.
    if (at == FLines.size() && !FLines.empty() && FLines.back().End.empty())
      FLines.back().End = FEol;
    FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(at), TLine{std::move(text), FEol});
  }

  std::vector<TLine> FLines;
  std::string FEol;  // the file's own line end; "\n" for a new file
};

// Booleans are integers: any non-zero value is true; anything else gives the default.
bool ReadBool(const TIniText& ini, const char* section, const char* key, bool def) {
  const std::optional<std::string> v = ini.Get(section, key);
  if (!v || v->empty()) return def;
  const char* begin = v->c_str();
  char* end = nullptr;
  errno = 0;
  const long n = std::strtol(begin, &end, 10);
  if (errno != 0 || end == begin || *end) return def;
  return n != 0;
}

// The file's lines; nullopt when there is no file or it cannot be read.
std::optional<TIniText> ReadIni(const std::string& path, cert::TFileSystem& fs) {
  try {
    if (fs.Info(path).Kind != cert::fkRegular) return std::nullopt;
    return TIniText(cert::ReadWholeFile(fs, path));
  } catch (const cert::TCertIOError&) {
    return std::nullopt;
  }
}

// Changes the file's lines by set and saves them; false when it cannot. A file that is there
// but cannot be read is kept: writing some keys alone would lose everything else in it.
template <typename Set>
bool RewriteIni(const std::string& path, cert::TFileSystem& fs, Set set) {
  try {
    const bool missing = fs.Info(path).Kind == cert::fkMissing;
    // The first save of an installed tool's settings makes its folder.
    if (missing) {
      const std::string dir = DirectoryOf(path);
      if (fs.Info(dir).Kind == cert::fkMissing) fs.MakeDirectories(dir);
    }
    TIniText ini(missing ? std::string() : cert::ReadWholeFile(fs, path));
    set(ini);
    cert::ReplaceWholeFile(fs, path, ini.Bytes());
  } catch (const cert::TCertIOError&) {
    return false;
  }
  return true;
}

}  // namespace

std::string SettingsPath(const std::string& directory, char separator) {
  return cert::JoinPath(directory, SettingsFileName, separator);
}

std::string ChooseSettingsDirectory(const TSettingsPlaces& places, char separator) {
  const bool beside = places.FileThere || places.Writable || places.UserConfigDir.empty();
  if (beside) return places.ExecutableDir.empty() ? "." : places.ExecutableDir;
  return cert::JoinPath(places.UserConfigDir, SettingsFolderName, separator);
}

std::string FindSettingsDirectory(cert::TFileSystem& fs) {
  TSettingsPlaces places;
  const std::string exe = fs.ExecutablePath();
  if (!exe.empty()) {
    places.ExecutableDir = DirectoryOf(exe);
    try {
      places.FileThere = fs.Info(SettingsPath(places.ExecutableDir)).Kind != cert::fkMissing;
    } catch (const cert::TCertIOError&) {
      // A folder that cannot be looked into holds no settings the tool could read.
    }
    places.Writable = !places.FileThere && fs.CanCreateIn(places.ExecutableDir);
  }
  if (!places.FileThere && !places.Writable) places.UserConfigDir = fs.UserConfigDirectory();
  return ChooseSettingsDirectory(places);
}

bool LoadSettingsFile(const std::string& path, TSettingsValues& values, cert::TFileSystem& fs) {
  const std::optional<TIniText> ini = ReadIni(path, fs);
  if (!ini) return false;
  for (std::size_t i = 0; i < RememberBoxes.size(); ++i)
    values.Remember[i] = ReadBool(*ini, kRememberSection, RememberBoxes[i].Caption, true);
  values.ConfirmDelete = ReadBool(*ini, kDeleteSection, kDeleteKey, true);
  values.OutputFilename = ini->Get(kFileSection, kOutputKey).value_or(DefaultCertFile);
  values.InputFilename = ini->Get(kFileSection, kInputKey).value_or(DefaultCertFile);
  return true;
}

bool SaveSettingsFile(const std::string& path, const TSettingsValues& values,
                      cert::TFileSystem& fs) {
  return RewriteIni(path, fs, [&values](TIniText& ini) {
    for (std::size_t i = 0; i < RememberBoxes.size(); ++i)
      ini.Set(kRememberSection, RememberBoxes[i].Caption, values.Remember[i] ? "1" : "0");
    ini.Set(kDeleteSection, kDeleteKey, values.ConfirmDelete ? "1" : "0");
    ini.Set(kFileSection, kOutputKey, values.OutputFilename);
    ini.Set(kFileSection, kInputKey, values.InputFilename);
  });
}

bool LoadSettingsKeys(const std::string& path, const std::string& section, TSettingsKeys& keys,
                      cert::TFileSystem& fs) {
  const std::optional<TIniText> ini = ReadIni(path, fs);
  if (!ini) return false;
  for (auto& [key, value] : keys)
    if (std::optional<std::string> v = ini->Get(section, key)) value = std::move(*v);
  return true;
}

bool SaveSettingsKeys(const std::string& path, const std::string& section,
                      const TSettingsKeys& keys, cert::TFileSystem& fs) {
  return RewriteIni(path, fs, [&](TIniText& ini) {
    for (const auto& [key, value] : keys) ini.Set(section, key, value);
  });
}

}  // namespace certwin
