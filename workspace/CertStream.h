// Checking a certificate file while it is read, without holding its records: every kept line
// is checked as the reader delivers it, by the same rules as the workspace's, and what is
// found is kept small (record numbers and rule codes) until it is asked for. Reading, and
// adding records to the index of possible duplicates, happen in file order on the calling
// thread; the checks of blocks of lines are shared with a second thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CertLayout.h"
#include "CertRules.h"
#include "FileSystem.h"

namespace cert {

// A growing run of small numbers, seven bits a byte.
class TNumberLog {
 public:
  void Add(std::uint64_t n);
  void Clear() { FBytes.clear(); }
  bool Empty() const { return FBytes.empty(); }
  // Calls f(n) for every number in order.
  template <typename F>
  void ForEach(F f) const {
    std::uint64_t n = 0;
    int shift = 0;
    for (const char c : FBytes) {
      n |= std::uint64_t(static_cast<unsigned char>(c) & 0x7F) << shift;
      if (static_cast<unsigned char>(c) & 0x80) {
        shift += 7;
        continue;
      }
      f(n);
      n = 0;
      shift = 0;
    }
  }

 private:
  std::string FBytes;
};

struct TStreamOptions {
  // Every failing rule of each record (and of the header), not only the first.
  bool AllRules = false;
  // Decide from a line's facts, remembered for the facts seen before, that a record passes;
  // off: every record goes through its record view and the whole rule table.
  bool FastPath = true;
  // 1 or 2.
  int Threads = 2;
};

// A finding: the record (0-based list index; -1 for the header) and what failed.
struct TStreamFinding {
  int Record;
  TCheckResult Result;
};

// Record repeats the provider key of record Of, the first record that has it (0-based).
struct TStreamDuplicate {
  int Record;
  int Of;
};

class TStreamCheck {
 public:
  TStreamCheck(TFileSystem& fs, std::string fileName, TStreamOptions options = {});

  // Reads and checks the whole file. A missing file gives its message and false; a failure of
  // the system throws TCertIOError, and the messages up to it stay.
  bool Run();

  // The reader's messages in file order.
  std::vector<std::string> Messages() const;
  template <typename F>
  void ForEachMessage(F f) const {
    FMessageOrder.ForEach([&](std::uint64_t id) { f(FMessageTexts[id]); });
  }
  bool HasMessages() const { return !FMessageOrder.Empty(); }
  bool BlankLines() const { return FBlankLines; }
  int Records() const { return FRecords; }
  const THeaderRec& Header() const { return FHeader; }
  // The first failing rule of each failing record, in record order; when the header fails, only
  // its first failing rule, once (when there is a record). With AllRules: every failing rule of
  // the header, then of each record its own failing rules.
  template <typename F>
  void ForEachFinding(F f) const;
  // Whether ForEachFinding has anything to tell.
  bool Found() const;
  // The records that fail (all of them when the header does).
  int Failing() const;
  template <typename F>
  void ForEachDuplicate(F f) const;
  int Duplicates() const { return FDuplicateCount; }

  class TImpl;

 private:
  void VerifyDuplicates();

  TFileSystem& FFiles;
  std::string FFileName;
  TStreamOptions FOptions;
  // Each message once, and the order in which they came.
  std::vector<std::string> FMessageTexts;
  TNumberLog FMessageOrder;
  bool FBlankLines = false;
  int FRecords = 0;
  THeaderRec FHeader;
  std::vector<TCheckResult> FHeaderFindings;
  // Per finding: the record's distance from the last finding's record, and its ResultCode.
  TNumberLog FFindings;
  int FFailingRecords = 0;
  // Per duplicate: the distance from the last duplicate's record, and Record - Of.
  TNumberLog FDuplicates;
  int FDuplicateCount = 0;

  friend class TImpl;
};

template <typename F>
void TStreamCheck::ForEachFinding(F f) const {
  const bool headerFails = !FHeaderFindings.empty();
  if (headerFails && (FOptions.AllRules || FRecords > 0)) {
    for (const TCheckResult& r : FHeaderFindings) {
      f(TStreamFinding{-1, r});
      if (!FOptions.AllRules) break;
    }
  }
  if (headerFails && !FOptions.AllRules) return;
  long record = 0;
  bool odd = false;
  FFindings.ForEach([&](std::uint64_t n) {
    odd = !odd;
    if (odd) {
      record += static_cast<long>(n);
      return;
    }
    f(TStreamFinding{static_cast<int>(record), ResultOfCode(static_cast<std::uint8_t>(n))});
  });
}

template <typename F>
void TStreamCheck::ForEachDuplicate(F f) const {
  long record = 0;
  bool odd = false;
  FDuplicates.ForEach([&](std::uint64_t n) {
    odd = !odd;
    if (odd) {
      record += static_cast<long>(n);
      return;
    }
    f(TStreamDuplicate{static_cast<int>(record), static_cast<int>(record - static_cast<long>(n))});
  });
}

}  // namespace cert
