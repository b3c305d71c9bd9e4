#include "CertStream.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "CertDuplicates.h"
#include "CertReader.h"
#include "CertScan.h"

namespace cert {

void TNumberLog::Add(std::uint64_t n) {
  while (n >= 0x80) {
    FBytes += static_cast<char>((n & 0x7F) | 0x80);
    n >>= 7;
  }
  FBytes += static_cast<char>(n);
}

namespace {

// A block of the file and the kept lines that end in it, with what their checks found. Each on
// cache lines of its own: two threads fill and check neighbouring batches at once.
struct alignas(64) TBatch {
  enum TState { bsFree, bsFilled, bsChecking, bsChecked };
  std::unique_ptr<char[]> Block;
  std::vector<std::string_view> Lines;
  std::deque<std::string> Carried;  // lines that began in an earlier block
  int FirstRecord = 0;
  long Sequence = 0;
  TState State = bsFree;
  std::vector<std::uint64_t> Hashes;
  std::vector<std::pair<int, std::uint8_t>> Found;  // record, ResultCode
  int FailingRecords = 0;
};

// Blocks of this size keep the system calls few and a batch's lines within the caches' reach.
constexpr std::size_t kBlockSize = 1 << 20;
constexpr int kBatches = 4;

// What one thread needs to check lines: its own memo and scratch.
struct TChecker {
  explicit TChecker(TRuleScope scope) : Memo(scope) {}
  TRuleMemo Memo;
  TLineScan Scan;
  TRecordView View;
  std::vector<TCheckResult> Failed;
};

}  // namespace

class TStreamCheck::TImpl {
 public:
  TImpl(TStreamCheck& owner) : O(owner) {}
  void Run(const TFileInfo& info);

 private:
  void Fill(TBatch& b, TInputFile& in);
  void Publish(TBatch& b);
  void SettleHeader();
  void Check(TBatch& b, TChecker& c);
  void Merge(TBatch& b);
  void Work();
  TBatch* OldestFilled();
  enum TTask { tkNone, tkFill, tkMerge, tkCheck };
  TTask NextTask(bool reader, TBatch*& b);
  void Do(TTask task, TBatch& b, TChecker& checker, std::unique_lock<std::mutex>& lock,
          TInputFile* in);
  void Message(const std::string& text);

  TStreamCheck& O;
  std::unique_ptr<TCertReader> FReader;
  TBatch FBatches[kBatches];
  // Takes the reader's lines into the batch being filled.
  struct alignas(64) TFilling : TCertReader::TLineTarget {
    TBatch* Batch = nullptr;
    void Line(std::string_view line) override {
      TBatch& b = *Batch;
      if (line.data() < b.Block.get() || line.data() >= b.Block.get() + kBlockSize) {
        b.Carried.emplace_back(line);
        line = b.Carried.back();
      }
      b.Lines.push_back(line);
    }
  } FFilling;
  bool FEof = false;
  bool FHeaderKnown = false;
  TFacts FHeaderFacts = 0;
  bool FSkipChecks = false;  // the header fails: every record check would say so
  std::unordered_map<std::string, std::uint64_t> FMessageIds;
  TDuplicateIndex FIndex;
  bool FIndexReserved = false;
  std::size_t FExpectedRecords = 0;
  int FLastFinding = 0;
  int FLastDuplicate = 0;
  std::mutex FMutex;
  std::condition_variable FChanged;
  bool FStop = false;
  long FNextFill = 0, FNextMerge = 0;
  bool FMerging = false;
  std::exception_ptr FWorkerError;
};

TStreamCheck::TStreamCheck(TFileSystem& fs, std::string fileName, TStreamOptions options)
    : FFiles(fs), FFileName(std::move(fileName)), FOptions(options) {}

bool TStreamCheck::Run() {
  const TFileInfo info = FFiles.Info(FFileName);
  if (info.Kind == fkMissing) {
    FMessageTexts.push_back(MissingFileMessage(FFileName));
    FMessageOrder.Add(0);
    return false;
  }
  try {
    TImpl(*this).Run(info);
    VerifyDuplicates();
  } catch (const std::bad_alloc&) {
    throw TCertIOError("Cannot check \"" + FFileName + "\": not enough memory",
                       std::make_error_code(std::errc::not_enough_memory));
  }
  return true;
}

void TStreamCheck::TImpl::Message(const std::string& text) {
  const auto found = FMessageIds.emplace(text, O.FMessageTexts.size());
  if (found.second) O.FMessageTexts.push_back(text);
  O.FMessageOrder.Add(found.first->second);
}

void TStreamCheck::TImpl::Run(const TFileInfo& info) {
  const std::unique_ptr<TInputFile> in = O.FFiles.OpenRead(O.FFileName);
  const std::uint64_t estimate = info.Size / (DetailLineLength + 2) + 1;
  FExpectedRecords = static_cast<std::size_t>(estimate < 4000000 ? estimate : 4000000);
  for (TBatch& b : FBatches) {
    b.Block.reset(new char[kBlockSize]);
    b.Lines.reserve(kBlockSize / (DetailLineLength + 2) + 16);
  }
  FReader = std::make_unique<TCertReader>(
      O.FFileName, [this](const std::string& m) { Message(m); }, FFilling);

  std::thread worker;
  if (O.FOptions.Threads > 1) {
    try {
      worker = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
      // No second thread to be had: this one checks every block.
    }
  }
  struct TJoin {
    TImpl& I;
    std::thread& W;
    ~TJoin() {
      {
        std::lock_guard<std::mutex> lock(I.FMutex);
        I.FStop = true;
      }
      I.FChanged.notify_all();
      if (W.joinable()) W.join();
    }
  } join{*this, worker};

  TChecker checker(rsDetail);
  std::unique_lock<std::mutex> lock(FMutex);
  for (;;) {
    if (FWorkerError) std::rethrow_exception(FWorkerError);
    if (FEof && FNextMerge == FNextFill && !FMerging) break;
    TBatch* b = nullptr;
    const TTask task = NextTask(true, b);
    if (task == tkNone)
      FChanged.wait(lock);
    else
      Do(task, *b, checker, lock, in.get());
  }
  lock.unlock();
  SettleHeader();  // a file without records has its header's rules listed all the same
  O.FBlankLines = FReader->BlankLines();
  O.FHeader = FReader->Header();
}

TBatch* TStreamCheck::TImpl::OldestFilled() {
  TBatch* oldest = nullptr;
  for (TBatch& b : FBatches)
    if (b.State == TBatch::bsFilled && (!oldest || b.Sequence < oldest->Sequence)) oldest = &b;
  return oldest;
}

// Under the lock: what a thread does next. Only the reading thread reads; the merges go one at
// a time in file order; the checks of filled blocks go to whichever thread is free.
TStreamCheck::TImpl::TTask TStreamCheck::TImpl::NextTask(bool reader, TBatch*& b) {
  TBatch& fill = FBatches[FNextFill % kBatches];
  if (reader && !FEof && fill.State == TBatch::bsFree) {
    b = &fill;
    return tkFill;
  }
  TBatch& merge = FBatches[FNextMerge % kBatches];
  if (!FMerging && FNextMerge < FNextFill && merge.State == TBatch::bsChecked) {
    FMerging = true;
    b = &merge;
    return tkMerge;
  }
  if ((b = OldestFilled()) != nullptr) {
    b->State = TBatch::bsChecking;
    return tkCheck;
  }
  return tkNone;
}

// Does the task outside the lock, then records that it is done.
void TStreamCheck::TImpl::Do(TTask task, TBatch& b, TChecker& checker,
                             std::unique_lock<std::mutex>& lock, TInputFile* in) {
  lock.unlock();
  switch (task) {
    case tkFill:
      Fill(b, *in);
      Publish(b);
      break;
    case tkMerge:
      Merge(b);
      break;
    case tkCheck:
      Check(b, checker);
      break;
    case tkNone:
      break;
  }
  lock.lock();
  switch (task) {
    case tkFill:
      b.Sequence = FNextFill++;
      b.State = TBatch::bsFilled;
      break;
    case tkMerge:
      b.State = TBatch::bsFree;
      ++FNextMerge;
      FMerging = false;
      break;
    case tkCheck:
      b.State = TBatch::bsChecked;
      break;
    case tkNone:
      break;
  }
  FChanged.notify_all();
}

void TStreamCheck::TImpl::Work() {
  TChecker checker(rsDetail);
  std::unique_lock<std::mutex> lock(FMutex);
  for (;;) {
    TBatch* b = nullptr;
    TTask task = tkNone;
    FChanged.wait(lock, [&] { return FStop || (task = NextTask(false, b)) != tkNone; });
    if (FStop) return;
    try {
      Do(task, *b, checker, lock, nullptr);
    } catch (...) {
      if (!lock.owns_lock()) lock.lock();
      FWorkerError = std::current_exception();
      FChanged.notify_all();
      return;
    }
  }
}

void TStreamCheck::TImpl::Fill(TBatch& b, TInputFile& in) {
  b.Lines.clear();
  b.Carried.clear();
  b.FirstRecord = O.FRecords;
  FFilling.Batch = &b;
  const std::size_t n = in.Read(b.Block.get(), kBlockSize);
  if (n > 0) {
    FReader->Feed({b.Block.get(), n});
  } else {
    FReader->Finish();
    FEof = true;
  }
  O.FRecords += static_cast<int>(b.Lines.size());
}

// A detail line follows the header, so once a block has one the header is known; its rules
// are settled once for the file.
void TStreamCheck::TImpl::Publish(TBatch& b) {
  if (!b.Lines.empty()) SettleHeader();
}

void TStreamCheck::TImpl::SettleHeader() {
  if (FHeaderKnown) return;
  FHeaderKnown = true;
  FHeaderFacts = HeaderFacts(FReader->Header());
  if (O.FOptions.AllRules) {
    ListFailingRules(FHeaderFacts, O.FHeaderFindings, rsHeader);
  } else {
    const TCheckResult r = CheckRecordRules(FHeaderFacts, rsHeader);
    if (r.Field >= 0) O.FHeaderFindings.push_back(r);
  }
  FSkipChecks = !O.FHeaderFindings.empty() && !O.FOptions.AllRules;
}

void TStreamCheck::TImpl::Check(TBatch& b, TChecker& c) {
  const std::size_t count = b.Lines.size();
  b.Hashes.resize(count);
  b.Found.clear();
  b.FailingRecords = 0;
  const bool fast = O.FOptions.FastPath, all = O.FOptions.AllRules;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view line = b.Lines[i];
    const bool scanned = fast && c.Scan.Scan(line, false);
    b.Hashes[i] = scanned ? LineProviderKeyHash(line, c.Scan) : LineProviderKeyHash(line);
    if (FSkipChecks) continue;
    // The fast path only ever says that a record passes; anything else is checked in full.
    if (scanned && c.Memo.First(FHeaderFacts | LineDetailFacts(line, c.Scan)).Field < 0) continue;
    ViewFileLine(line, c.View);
    const TFacts facts = FHeaderFacts | DetailFacts(c.View);
    const int record = b.FirstRecord + static_cast<int>(i);
    if (all) {
      ListFailingRules(facts, c.Failed, rsDetail);
      for (const TCheckResult& r : c.Failed) b.Found.emplace_back(record, ResultCode(r));
      if (!c.Failed.empty()) ++b.FailingRecords;
    } else {
      const TCheckResult r = CheckRecordRules(facts, rsDetail);
      if (r.Field < 0) continue;
      b.Found.emplace_back(record, ResultCode(r));
      ++b.FailingRecords;
    }
  }
}

// In file order: the findings join the file's, and each record's key the index, where a key an
// earlier record has makes the record a possible duplicate (until VerifyDuplicates).
void TStreamCheck::TImpl::Merge(TBatch& b) {
  for (const auto& f : b.Found) {
    O.FFindings.Add(static_cast<std::uint64_t>(f.first - FLastFinding));
    O.FFindings.Add(f.second);
    FLastFinding = f.first;
  }
  O.FFailingRecords += b.FailingRecords;
  constexpr std::size_t kAhead = 16;
  const std::size_t count = b.Hashes.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (i + kAhead < count && b.Hashes[i + kAhead]) FIndex.Prefetch(b.Hashes[i + kAhead]);
    const std::uint64_t hash = b.Hashes[i];
    if (hash == 0) continue;
    if (!FIndexReserved) {
      // A key a record from here on: room for as many as the file's size suggests, within
      // reason, so that the index seldom doubles.
      FIndex.Reserve(FExpectedRecords);
      FIndexReserved = true;
    }
    const int record = b.FirstRecord + static_cast<int>(i);
    const int earlier = FIndex.FirstOrAdd(hash, record);
    if (earlier < 0) continue;
    O.FDuplicates.Add(static_cast<std::uint64_t>(record - FLastDuplicate));
    O.FDuplicates.Add(static_cast<std::uint64_t>(record - earlier));
    FLastDuplicate = record;
    ++O.FDuplicateCount;
  }
}

// Equal hashes of different keys are all but impossible; the lines tell for certain. They are
// read again, and only the keys of the records involved are kept.
void TStreamCheck::VerifyDuplicates() {
  if (FDuplicates.Empty()) return;
  std::vector<TStreamDuplicate> candidates;
  candidates.reserve(static_cast<std::size_t>(FDuplicateCount));
  ForEachDuplicate([&](const TStreamDuplicate& d) { candidates.push_back(d); });
  std::vector<int> firsts;
  for (const TStreamDuplicate& d : candidates) firsts.push_back(d.Of);
  std::sort(firsts.begin(), firsts.end());
  firsts.erase(std::unique(firsts.begin(), firsts.end()), firsts.end());
  // The keys of the first records, one after another: firsts come in record order.
  std::string keys;
  std::vector<std::size_t> keyEnds;
  keyEnds.reserve(firsts.size());

  FDuplicates.Clear();
  FDuplicateCount = 0;
  int record = 0, last = 0;
  std::size_t nextFirst = 0, nextCandidate = 0;
  std::string key;
  TCertReader reader(FFileName, nullptr, [&](std::string_view line) {
    if (nextFirst < firsts.size() && firsts[nextFirst] == record) {
      AppendLineProviderKey(line, keys);
      keyEnds.push_back(keys.size());
      ++nextFirst;
    }
    if (nextCandidate < candidates.size() && candidates[nextCandidate].Record == record) {
      const TStreamDuplicate d = candidates[nextCandidate++];
      key.clear();
      AppendLineProviderKey(line, key);
      const auto at = static_cast<std::size_t>(
          std::lower_bound(firsts.begin(), firsts.end(), d.Of) - firsts.begin());
      const std::size_t from = at == 0 ? 0 : keyEnds[at - 1];
      if (at < keyEnds.size() && key == std::string_view(keys).substr(from, keyEnds[at] - from)) {
        FDuplicates.Add(static_cast<std::uint64_t>(d.Record - last));
        FDuplicates.Add(static_cast<std::uint64_t>(d.Record - d.Of));
        last = d.Record;
        ++FDuplicateCount;
      }
    }
    ++record;
  });
  const std::unique_ptr<TInputFile> in = FFiles.OpenRead(FFileName);
  const std::unique_ptr<char[]> block(new char[kBlockSize]);
  while (nextCandidate < candidates.size()) {
    const std::size_t n = in->Read(block.get(), kBlockSize);
    if (n == 0) break;
    reader.Feed({block.get(), n});
  }
  if (nextCandidate < candidates.size()) reader.Finish();
}

std::vector<std::string> TStreamCheck::Messages() const {
  std::vector<std::string> out;
  ForEachMessage([&](const std::string& m) { out.push_back(m); });
  return out;
}

bool TStreamCheck::Found() const {
  return (!FHeaderFindings.empty() && (FOptions.AllRules || FRecords > 0)) || !FFindings.Empty();
}

int TStreamCheck::Failing() const { return FHeaderFindings.empty() ? FFailingRecords : FRecords; }

}  // namespace cert
