// Export then import gives back the file the window would save, byte for byte, apart from
// the header's date of writing.
#include <gtest/gtest.h>

#include <random>

#include "../support/CertSamples.h"
#include "../support/TempDir.h"
#include "CertDate.h"
#include "CertEntry.h"
#include "CertFormat.h"
#include "CsvExport.h"
#include "CsvImport.h"
#include "PictureValidator.h"

using namespace cert;
using namespace certcsv;

namespace {

// The date of writing is the one part that may differ.
std::string WithoutDate(std::string file) {
  if (file.size() >= HeaderDateCol + HeaderDateWidth - 1)
    file.replace(HeaderDateCol - 1, HeaderDateWidth, HeaderDateWidth, '#');
  return file;
}

class RoundTrip : public ::testing::Test {
 protected:
  // The file as the window saves it after opening it.
  std::string SavedByWindow(const std::string& path) {
    TCertFormat cert;
    cert.FileNameOpen = path;
    cert.ReadCertFile();
    cert.FileNameSave = Dir.File("window.dat");
    cert.OnConfirmOverwrite = [](const std::string&) { return true; };
    cert.WriteCertFile();
    return certtest::ReadAll(cert.FileNameSave);
  }

  // Export, then import from the CSV bytes alone, then save.
  std::string ThroughCsv(const std::string& path, bool bom) {
    TCertFormat source;
    source.FileNameOpen = path;
    source.ReadCertFile();
    const std::string csv = ExportCsv(source.HeaderRec, source.DetailStr(), bom);
    const TCsvTable table = TCsvTable::Parse(csv);
    TCertFormat target;
    const TCsvImport im = ImportIntoWorkspace(target, table, MapColumns(table));
    for (const TCsvProblem& p : im.Problems)
      ADD_FAILURE() << "row " << p.Row << " field " << p.Field << " \"" << p.Value << "\" "
                    << p.Reason;
    for (const std::string& w : im.Warnings)
      if (source.DetailStr().Count() > 0) ADD_FAILURE() << w;
    target.FileNameSave = Dir.File("imported.dat");
    target.OnConfirmOverwrite = [](const std::string&) { return true; };
    target.WriteCertFile();
    return certtest::ReadAll(target.FileNameSave);
  }

  void ExpectRoundTrip(const std::string& path) {
    const std::string saved = SavedByWindow(path);
    EXPECT_EQ(WithoutDate(ThroughCsv(path, true)), WithoutDate(saved)) << path;
    EXPECT_EQ(WithoutDate(ThroughCsv(path, false)), WithoutDate(saved)) << path;
  }

  certtest::TTempDir Dir;
};

TEST_F(RoundTrip, SampleFiles) {
  for (const char* name : {"passing.dat", "failing.dat", "blank-lines.dat"})
    ExpectRoundTrip(std::string(CERT_SAMPLES_DIR) + "/" + name);
}

// Values such as the window's editors give: masked text as the masks let it be typed, codes
// from the lists, dates as eight digits or none.
class TValueMaker {
 public:
  explicit TValueMaker(unsigned seed) : FRandom(seed) {}

  std::string Value(int field) {
    const TFieldEntry& e = FieldEntries[static_cast<std::size_t>(field)];
    if (Pick(6) == 0 && field != fnHInsurerType) return "";
    switch (FieldTable[static_cast<std::size_t>(field)].Editor) {
      case ekDateTimePicker:
        return FormatYYYYMMDD(YmdFromDays(1 + Pick(80000)));
      case ekComboBox: {
        const TCodeList list = CodeListRows(e.List);
        return std::string(list.Rows[Pick(list.Count)])
            .substr(0, FieldTable[static_cast<std::size_t>(field)].Width);
      }
      case ekMaskEdit:
        break;
    }
    return Masked(e.Mask, FieldTable[static_cast<std::size_t>(field)].Width);
  }

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(FRandom); }

  std::string Digits(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>('0' + Pick(10));
    return s;
  }

  // Printable ASCII, separators and quotes included, and Windows-1252 letters and signs.
  char AnyChar() {
    static const std::string extra = "\x80\x8A\x9F\xA0\xA9\xC4\xDF\xE9\xF1\xFC\xFF,;\"'\t";
    if (Pick(5) == 0) {
      const char c = extra[static_cast<std::size_t>(Pick(static_cast<int>(extra.size())))];
      return c == '\t' ? ' ' : c;
    }
    return static_cast<char>(32 + Pick(95));
  }

  std::string Masked(const std::string& mask, std::size_t width) {
    if (mask == "*5{#}[-*4#]") return Pick(2) ? Digits(5) : Digits(5) + "-" + Digits(4);
    if (mask == "*9{#}") return Digits(9);
    if (mask.find('#') != std::string::npos) return Digits(1 + Pick(static_cast<int>(width)));
    std::string s;
    const int n = 1 + Pick(static_cast<int>(width));
    for (int i = 0; i < n; ++i) s += AnyChar();
    if (mask.find('!') != std::string::npos)
      for (char& c : s) c = static_cast<char>(Cp1252Upper(static_cast<unsigned char>(c)));
    return s;
  }

  std::mt19937 FRandom;
};

TEST_F(RoundTrip, GeneratedFile) {
  TValueMaker make(20261210);
  THeaderRec h;
  for (int n = 0; n < HeaderFieldCount; ++n) h.Field(n) = make.Value(n);
  h.HInsurerName = " Leading blank, \"quoted\" & \xE9";
  std::string file = BuildHeaderLine(h, "20261201") + "\r\n";
  for (int i = 0; i < 500; ++i) {
    TDetailRec d;
    for (int n = FirstDetailField; n < FieldCount; ++n) d.Field(n) = make.Value(n);
    file += BuildDetailLine(d, "2") + "\r\n";
  }
  const std::string path = Dir.File("generated.dat");
  certtest::WriteAll(path, file);
  ExpectRoundTrip(path);
}

}  // namespace
