#include <memory>
#include <new>

#include "CertDate.h"
#include "CertFormat.h"
#include "CertReader.h"
#include "Cp1252.h"
#include "ReplacingWriter.h"

namespace cert {

namespace {

// Blocks of this size keep the system calls few and the buffer within the caches' reach.
constexpr std::size_t kBlockSize = 1 << 20;

}  // namespace

std::string FileErrorToUtf8(const std::string& message) {
  return message.rfind(kFileMessageStart, 0) == 0 ? message : Cp1252ToUtf8(message);
}

TFileSystem& TCertFormat::Files() const { return FFileSystem ? *FFileSystem : DefaultFileSystem(); }

TYmd TCertFormat::DateToday() const {
  if (!FFileSystem) return Today();
  const TLocalDate d = FFileSystem->Today();
  return TYmd{d.Year, d.Month, d.Day};
}

// Reads into a list and a header of its own and takes them over only when the whole file was
// read: a failure half way leaves the workspace as it was, so half a file can never be saved
// over the whole one.
void TCertFormat::ReadCertFile() {
  auto report = [this](const std::string& msg) {
    if (OnFileError) OnFileError(this, msg);
  };
  const std::string name = FileNameOpen;
  TFileSystem& fs = Files();
  const TFileInfo info = fs.Info(name);
  if (info.Kind == fkMissing) {
    report(MissingFileMessage(name));
    return;
  }
  TStringList list;
  try {
    const std::unique_ptr<TInputFile> in = fs.OpenRead(name);
    // Room for as many lines as the file's size suggests (within reason), so the list seldom
    // regrows while a large file is read.
    const std::uint64_t estimate = info.Size / (DetailLineLength + 2) + 1;
    list.Reserve(estimate < 2000000 ? static_cast<std::size_t>(estimate) : 2000000);
    struct TListTarget : TCertReader::TLineTarget {
      TStringList& List;
      explicit TListTarget(TStringList& list) : List(list) {}
      void Line(std::string_view line) override { NormaliseDetailLine(line, List.AddUnwritten()); }
    } target(list);
    TCertReader reader(name, report, target);
    const std::unique_ptr<char[]> block(new char[kBlockSize]);
    while (const std::size_t n = in->Read(block.get(), kBlockSize)) reader.Feed({block.get(), n});
    reader.Finish();
    Adopt(reader, list);
  } catch (const std::bad_alloc&) {
    throw TCertIOError("Cannot read \"" + name + "\": not enough memory to hold the file",
                       std::make_error_code(std::errc::not_enough_memory));
  }
}

// Nothing here can fail, so the workspace changes all at once.
void TCertFormat::Adopt(const TCertReader& reader, TStringList& list) {
  HeaderRec = reader.Header();
  if (reader.SawDetail()) {
    const std::string_view last = reader.LastLine();
    DetailRec.RecordCode = last.substr(0, 1);
    for (int n = FirstDetailField; n < FieldCount; ++n)
      DetailRec.Field(n) = Columns(last, FieldTable[n].FirstCol, FieldTable[n].Width);
  }
  if (reader.BlankLines()) BlankLineEncounter = true;
  FDetailStr = std::move(list);
  DetailRecStatus = drBrowse;
  if (FDetailStr.Count() > 0) FDetailIndex = 0;
  FFileChanged = false;
}

void TCertFormat::WriteCertFile() {
  const std::string name = FileNameSave;
  TFileSystem& fs = Files();
  if (fs.Info(name).Kind != fkMissing) {
    if (!OnConfirmOverwrite) return;
    if (!OnConfirmOverwrite("File " + name + " already exist.  Overwrite?")) return;
  }
  TReplacingWriter out(fs, name);
  out.Write(BuildHeaderLine(HeaderRec, FormatYYYYMMDD(DateToday())));
  out.Write("\r\n");
  for (int i = 0; i < FDetailStr.Count(); ++i) {
    out.Write(FDetailStr[i]);
    out.Write("\r\n");
  }
  out.Commit();
  FFileChanged = false;
}

}  // namespace cert
