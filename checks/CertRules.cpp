#include "CertRules.h"

#include <array>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "CertScan.h"

namespace cert {

namespace {

constexpr TFacts Bit(int fact) { return TFacts{1} << fact; }

// A condition over facts: it holds when any of its terms does, and a term holds when the facts
// under its mask have its values.
struct TTerm {
  TFacts Mask = 0, Value = 0;
};
struct TCond {
  static constexpr int kMaxTerms = 4;
  std::array<TTerm, kMaxTerms> Terms{};
  int Count = 0;
  bool Holds(TFacts facts) const {
    for (int i = 0; i < Count; ++i)
      if ((facts & Terms[static_cast<std::size_t>(i)].Mask) ==
          Terms[static_cast<std::size_t>(i)].Value)
        return true;
    return false;
  }
};

constexpr TCond Term(TFacts mask, TFacts value) {
  TCond c;
  c.Terms[0] = TTerm{mask, value};
  c.Count = 1;
  return c;
}
constexpr TCond Is(int fact) { return Term(Bit(fact), Bit(fact)); }
constexpr TCond Not(int fact) { return Term(Bit(fact), 0); }
constexpr TCond Filled(int field) { return Is(field); }
constexpr TCond Empty(int field) { return Not(field); }
constexpr TCond Always() { return Term(0, 0); }

constexpr TCond operator||(TCond a, const TCond& b) {
  for (int i = 0; i < b.Count; ++i) {
    if (a.Count == TCond::kMaxTerms) throw std::length_error("condition too long");
    a.Terms[static_cast<std::size_t>(a.Count++)] = b.Terms[static_cast<std::size_t>(i)];
  }
  return a;
}

constexpr TCond operator&&(const TCond& a, const TCond& b) {
  TCond c;
  for (int i = 0; i < a.Count; ++i)
    for (int j = 0; j < b.Count; ++j) {
      const TTerm& x = a.Terms[static_cast<std::size_t>(i)];
      const TTerm& y = b.Terms[static_cast<std::size_t>(j)];
      if ((x.Value ^ y.Value) & x.Mask & y.Mask) continue;  // can never hold
      if (c.Count == TCond::kMaxTerms) throw std::length_error("condition too long");
      c.Terms[static_cast<std::size_t>(c.Count++)] = TTerm{x.Mask | y.Mask, x.Value | y.Value};
    }
  return c;
}

// ---- Facts ------------------------------------------------------------------------------------

enum TAtom { atHyphen, atIs, atTrimmedIs, atMdOrMo };

// The facts that read one field's value (besides whether it is filled).
struct TFactDef {
  int Fact;
  TAtom Atom;
  int Field;
  std::string_view Code;
};
constexpr std::array<TFactDef, 9> kFieldFacts = {{
    {ftInsurerFinHyphen, atHyphen, fnHInsurerFIN, ""},
    {ftInsurerTypeLicensed, atIs, fnHInsurerType, "1"},
    {ftInsuredFinHyphen, atHyphen, fnDInsuredFIN, ""},
    {ftSuffixMdOrMo, atMdOrMo, fnDInsuredSuffix, ""},
    {ftClaimsMade, atIs, fnDPolicyCoverageType, "1"},
    {ftOccurrence, atIs, fnDPolicyCoverageType, "2"},
    {ftNewOrRenewal, atTrimmedIs, fnDRecordProcessingType, "1"},
    {ftRevisedCertificate, atTrimmedIs, fnDRecordProcessingType, "2"},
    {ftTerminatedCertificate, atTrimmedIs, fnDRecordProcessingType, "3"},
}};

// Trimming what is trimmed already changes nothing: values taken from a line come trimmed.
template <bool Trimmed>
std::string_view TrimmedValue(std::string_view value) {
  if constexpr (Trimmed)
    return value;
  else
    return Trim(value);
}

template <bool Trimmed>
inline bool SuffixIsMdOrMo(std::string_view value) {
  const std::string_view s = TrimmedValue<Trimmed>(value);
  if (s.size() != 2) return false;
  auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
  return up(s[0]) == 'M' && (up(s[1]) == 'D' || up(s[1]) == 'O');
}

// Codes are a character or two: compared in place, not through a library call.
inline bool Equal(std::string_view value, std::string_view code) {
  if (value.size() != code.size()) return false;
  for (std::size_t i = 0; i < code.size(); ++i)
    if (value[i] != code[i]) return false;
  return true;
}

template <bool Trimmed = false>
inline bool Holds(const TFactDef& def, std::string_view value) {
  switch (def.Atom) {
    case atHyphen:
      for (const char c : value)
        if (c == '-') return true;
      return false;
    case atIs:
      return Equal(value, def.Code);
    case atTrimmedIs:
      return Equal(TrimmedValue<Trimmed>(value), def.Code);
    case atMdOrMo:
      return SuffixIsMdOrMo<Trimmed>(value);
  }
  return false;
}

// Rules 22 and 23 share one guard: both dates must read, and the from date must move on.
TFacts ReadDateFacts(std::string_view fromText, std::string_view toText) {
  TYmd from, to;
  if (!ReadYYYYMMDD(fromText, from) || !ReadYYYYMMDD(toText, to)) return 0;
  TFacts f = 0;
  if (to < from) f |= Bit(ftToBeforeFrom);
  if (SpansMoreThanOneYear(from, to)) f |= Bit(ftSpansTooLong);
  return f;
}

// A file's records share few policy periods: the facts of the last few pairs of eight-character
// dates are remembered, by each thread on its own.
TFacts DateFacts(std::string_view fromText, std::string_view toText) {
  if (fromText.size() != 8 || toText.size() != 8) return ReadDateFacts(fromText, toText);
  struct TEntry {
    std::uint64_t From = 0, To = 0;
    TFacts Facts = 0;
    bool Used = false;
  };
  thread_local TEntry cache[256];
  std::uint64_t from, to;
  std::memcpy(&from, fromText.data(), 8);
  std::memcpy(&to, toText.data(), 8);
  TEntry& e = cache[((from * 0x9E3779B97F4A7C15ULL) ^ to) * 0x9E3779B97F4A7C15ULL >> 56];
  if (!e.Used || e.From != from || e.To != to)
    e = TEntry{from, to, ReadDateFacts(fromText, toText), true};
  return e.Facts;
}

// Every fact of a field's value is false when the value is empty once trimmed (no code is
// blank, and no empty date reads), so such fields need no look.
const bool kFalseWhenEmpty = [] {
  for (const TFactDef& def : kFieldFacts) {
    if (Holds(def, "") || Holds(def, " \t")) return false;
    for (const char c : def.Code)
      if (IsBlankOrControl(c)) return false;
  }
  return true;
}();

// The facts of the header's fields or of the detail's, other than being filled; valueOf(n)
// is field n's value as the rules read it, and filled has the facts of being filled.
// Unrolled over the table, so that every field number is a constant.
template <TRecordKind Kind, bool Trimmed, typename ValueOf, std::size_t... I>
TFacts ValueFacts(ValueOf valueOf, TFacts filled, std::index_sequence<I...>) {
  TFacts f = 0;
  auto look = [&](int field) { return !kFalseWhenEmpty || (filled & Bit(field)) != 0; };
  ((FieldTable[kFieldFacts[I].Field].Record() == Kind && look(kFieldFacts[I].Field) &&
            Holds<Trimmed>(kFieldFacts[I], valueOf(kFieldFacts[I].Field))
        ? f |= Bit(kFieldFacts[I].Fact)
        : f),
   ...);
  if (Kind == rkDetail && look(fnDPolicyFromDate) && look(fnDPolicyToDate))
    f |= DateFacts(valueOf(fnDPolicyFromDate), valueOf(fnDPolicyToDate));
  return f;
}

// Trimmed: every value valueOf gives is trimmed already.
template <TRecordKind Kind, bool Trimmed = false, typename ValueOf>
TFacts ValueFacts(ValueOf valueOf, TFacts filled) {
  return ValueFacts<Kind, Trimmed>(valueOf, filled, std::make_index_sequence<kFieldFacts.size()>());
}

TFacts FilledFacts(const TRecordView& view, int first, int end) {
  TFacts f = 0;
  for (int n = first; n < end; ++n)
    if (!IsEmptyTrimmed(view[n])) f |= Bit(n);
  return f;
}

// ---- Rules ------------------------------------------------------------------------------------

struct TRule {
  int Field;  // ProcessingTypeSlot: the processing-type rules decide field and message
  TCond Fails;
  std::string Message;
};

const std::array<TRule, 33> kRules = {{
    {fnHInsurerName, Empty(fnHInsurerName), "*** Insurer name is required!"},
    {fnHInsurerAddr1, Empty(fnHInsurerAddr1), "*** Insurer's address is required!"},
    {fnHInsurerCity, Empty(fnHInsurerCity), "*** Insurer's city is required!"},
    {fnHInsurerState, Empty(fnHInsurerState), "*** Insurer's state is required!"},
    {fnHInsurerZip, Empty(fnHInsurerZip), "*** Insurer's zipcode is required!"},
    {fnHInsurerFIN, Is(ftInsurerFinHyphen), "*** Insurer's FIN number cannot contain a \"-\"!"},
    {fnHInsurerNAIC_Num, Empty(fnHInsurerNAIC_Num) && Is(ftInsurerTypeLicensed),
     "*** Insurer's NAIC Number is required for Licensed Insurer!"},
    {fnHInsurerType, Empty(fnHInsurerType), "*** Insurer type must be a 1 or 2!"},
    {fnDInsuredCompanyName,
     Filled(fnDInsuredCompanyName) && (Filled(fnDInsuredLastName) || Filled(fnDInsuredFirstName) ||
                                       Filled(fnDInsuredMidName) || Filled(fnDInsuredSuffix)),
     "*** Lastname, Firstname, Middle name, suffix and Attn Line are not  allowed when the "
     "Insured Company Name is used and vice-versa!"},
    {fnDInsuredCompanyName,
     Empty(fnDInsuredCompanyName) && (Empty(fnDInsuredLastName) || Empty(fnDInsuredFirstName)),
     "*** Provider name or insured's company name is required!"},
    {fnDInsuredSuffix, Is(ftSuffixMdOrMo), "*** Insured's suffix cannot be MD or MO!"},
    {fnDInsuredAddress, Empty(fnDInsuredAddress), "*** Insured's address is required!"},
    {fnDInsuredCity, Empty(fnDInsuredCity), "*** Insured's city is required!"},
    {fnDInsuredState, Empty(fnDInsuredState), "*** Insured's state is required!"},
    {fnDInsuredZip, Empty(fnDInsuredZip), "*** Insured's zipcode is required!"},
    {fnDInsuredISO, Empty(fnDInsuredISO), "*** Insured's ISO code is required!"},
    {fnDInsuredProvType, Empty(fnDInsuredProvType), "*** Insured's provider type is required!"},
    {fnDInsuredLicenseNum, Empty(fnDInsuredLicenseNum) && Empty(fnDInsuredCompanyName),
     "*** Insured's license number is required!"},
    {fnDInsuredFIN, Is(ftInsuredFinHyphen), "*** Insured's FIN number cannot contain a \"-\"!"},
    {fnDPolicyFromDate, Empty(fnDPolicyFromDate), "*** Policy from date is required!"},
    {fnDPolicyToDate, Empty(fnDPolicyToDate), "*** Policy to date is required!"},
    {fnDPolicyToDate, Is(ftToBeforeFrom), "*** Policy to date must be later than from date!"},
    {fnDPolicyToDate, Is(ftSpansTooLong),
     "*** Policy cannot span more than 1 year! Please adjust the Policy From Date or Policy To "
     "Date."},
    {fnDPolicyRevisedDate, Filled(fnDPolicyRevisedDate) && Filled(fnDPolicyTerminatedDate),
     "*** Policy revised date and terminated date cannot be filled in at the same time.  "
     "Please remove one of them by clicking on the date to be deleted and press the \"Del\" "
     "key."},
    {ProcessingTypeSlot, Filled(fnDPolicyRevisedDate) || Filled(fnDPolicyTerminatedDate), ""},
    {fnDPolicyRetroDate, Is(ftClaimsMade) && Empty(fnDPolicyRetroDate),
     "*** Policy retroactive date is required for claims-made base policy!"},
    {fnDPolicyRetroDate, Is(ftOccurrence) && Filled(fnDPolicyRetroDate),
     "*** Policy retroactive date is not required for occurrence base policy!"},
    {fnDPolicyCoverageType, Empty(fnDPolicyCoverageType), "*** Policy coverage type is required!"},
    {fnDPolicyNum, Empty(fnDPolicyNum) && Empty(fnDInsuredCompanyName),
     "*** Policy number is required!"},
    {fnDPolicyOccurrenceLimit, Empty(fnDPolicyOccurrenceLimit),
     "*** Policy occurrence limit is required!"},
    {fnDPolicyAggregateLimit, Empty(fnDPolicyAggregateLimit),
     "*** Policy aggregate limit is required!"},
    {fnDRecordProcessingType, Empty(fnDRecordProcessingType), "*** Processing type is required!"},
    {ProcessingTypeSlot, Always(), ""},
}};

struct TProcessingRule {
  TCond Fails;
  int Field;
  std::string Message;
};

const std::array<TProcessingRule, 6> kProcessingRules = {{
    {Is(ftNewOrRenewal) && Filled(fnDPolicyRevisedDate), fnDPolicyRevisedDate,
     "*** Revised date not allow for new/renewal certificate!"},
    {Is(ftNewOrRenewal) && Empty(fnDPolicyRevisedDate) && Filled(fnDPolicyTerminatedDate),
     fnDPolicyTerminatedDate, "*** Termination date not allow for new/renewal certificate!"},
    {Is(ftRevisedCertificate) && Empty(fnDPolicyRevisedDate), fnDPolicyRevisedDate,
     "*** Revised date is required for revised certificate!"},
    {Is(ftRevisedCertificate) && Filled(fnDPolicyRevisedDate) && Filled(fnDPolicyTerminatedDate),
     fnDPolicyTerminatedDate, "*** Termination date not allow for revised certificate!"},
    {Is(ftTerminatedCertificate) && Filled(fnDPolicyRevisedDate), fnDPolicyRevisedDate,
     "*** Revised date not allow for terminated certificate!"},
    {Is(ftTerminatedCertificate) && Empty(fnDPolicyRevisedDate) && Empty(fnDPolicyTerminatedDate),
     fnDPolicyTerminatedDate, "*** Termination date is required for terminated certificate!"},
}};

const std::array<int, 33> kRuleFields = [] {
  std::array<int, 33> fields{};
  for (std::size_t k = 0; k < kRules.size(); ++k) fields[k] = kRules[k].Field;
  return fields;
}();

// The first rule that reads the detail record: every rule before it reads only the header.
const int kFirstDetailRule = [] {
  int k = 0;
  while (k < static_cast<int>(kRules.size()) && kRules[static_cast<std::size_t>(k)].Field >= 0 &&
         kRules[static_cast<std::size_t>(k)].Field < HeaderFieldCount)
    ++k;
  return k;
}();

// Runs the rules of the scope in order and hands each failure to `failed`, which returns
// whether to go on.
template <typename OnFailure>
void RunRules(TFacts facts, TRuleScope scope, OnFailure failed) {
  const int first = scope == rsDetail ? kFirstDetailRule : 0;
  const int last = scope == rsHeader ? kFirstDetailRule : RuleCount();
  for (int k = first; k < last; ++k) {
    const TRule& rule = kRules[static_cast<std::size_t>(k)];
    if (!rule.Fails.Holds(facts)) continue;
    if (rule.Field != ProcessingTypeSlot) {
      if (!failed(TCheckResult{k, rule.Field, &rule.Message, -1})) return;
      continue;
    }
    TCheckResult pt = CheckProcessingTypeRules(facts);
    if (pt.Field < 0) continue;
    pt.Rule = k;
    if (!failed(pt)) return;
  }
}

constexpr std::uint8_t kPassCode = 255;
constexpr int kRulesInCode = 33;

}  // namespace

int RuleCount() { return static_cast<int>(kRules.size()); }
const int* RuleFields() { return kRuleFields.data(); }

std::uint8_t ResultCode(const TCheckResult& result) {
  if (result.Field < 0) return kPassCode;
  return static_cast<std::uint8_t>(result.Rule + kRulesInCode * (result.Row + 1));
}

TCheckResult ResultOfCode(std::uint8_t code) {
  if (code == kPassCode) return TCheckResult{RuleCount(), -1, nullptr, -1};
  const int rule = code % kRulesInCode, row = code / kRulesInCode - 1;
  if (row < 0) {
    const TRule& r = kRules[static_cast<std::size_t>(rule)];
    return TCheckResult{rule, r.Field, &r.Message, -1};
  }
  const TProcessingRule& p = kProcessingRules[static_cast<std::size_t>(row)];
  return TCheckResult{rule, p.Field, &p.Message, row};
}

TFacts HeaderFacts(const TRecordView& view) {
  const TFacts filled = FilledFacts(view, 0, HeaderFieldCount);
  return filled | ValueFacts<rkHeader>([&view](int n) { return view[n]; }, filled);
}

TFacts HeaderFacts(const THeaderRec& header) {
  TRecordView view;
  ViewHeader(header, view);
  return HeaderFacts(view);
}

TFacts DetailFacts(const TRecordView& view) {
  const TFacts filled = FilledFacts(view, FirstDetailField, FieldCount);
  return filled | ValueFacts<rkDetail>([&view](int n) { return view[n]; }, filled);
}

// Whether a field is filled comes from the scan, and so do the trimmed values of the few fields
// whose values matter.
TFacts LineDetailFacts(std::string_view line, const TLineScan& scan) {
  const TFacts filled = scan.FilledFields();
  return filled |
         ValueFacts<rkDetail, true>([line, &scan](int n) { return scan.Trimmed(line, n); }, filled);
}

TFacts ListLineDetailFacts(std::string_view line, TLineScan& scan) {
  if (!scan.Scan(line, false)) throw std::logic_error("a list line shorter than the detail layout");
  return LineDetailFacts(line, scan);
}

TFacts RecordFacts(const THeaderRec& header, const TDetailRec& detail) {
  TRecordView view;
  ViewHeader(header, view);
  ViewDetail(detail, view);
  return HeaderFacts(view) | DetailFacts(view);
}

bool SpansMoreThanOneYear(const TYmd& from, const TYmd& to) {
  if (from.Year >= 9999) return false;
  TYmd moved{from.Year + 1, from.Month, from.Day};
  const int last = DaysInMonth(moved.Year, moved.Month);
  if (moved.Day > last) moved.Day = last;
  return moved < to;
}

TCheckResult CheckProcessingTypeRules(TFacts facts) {
  for (std::size_t row = 0; row < kProcessingRules.size(); ++row) {
    const TProcessingRule& rule = kProcessingRules[row];
    if (rule.Fails.Holds(facts))
      return TCheckResult{0, rule.Field, &rule.Message, static_cast<int>(row)};
  }
  return TCheckResult{0, -1, nullptr, -1};
}

TCheckResult CheckProcessingTypeRules(const TDetailRec& detail) {
  TRecordView view;
  ViewDetail(detail, view);
  return CheckProcessingTypeRules(DetailFacts(view));
}

TCheckResult CheckRecordRules(TFacts facts, TRuleScope scope) {
  TCheckResult result{RuleCount(), -1, nullptr, -1};
  RunRules(facts, scope, [&result](const TCheckResult& r) {
    result = r;
    return false;
  });
  return result;
}

TCheckResult CheckRecordRules(const THeaderRec& header, const TDetailRec& detail,
                              TRuleScope scope) {
  return CheckRecordRules(RecordFacts(header, detail), scope);
}

void ListFailingRules(TFacts facts, std::vector<TCheckResult>& out, TRuleScope scope) {
  out.clear();
  bool processingTypeListed = false;
  RunRules(facts, scope, [&](const TCheckResult& r) {
    if (kRules[static_cast<std::size_t>(r.Rule)].Field == ProcessingTypeSlot) {
      if (processingTypeListed) return true;
      processingTypeListed = true;
    }
    out.push_back(r);
    return true;
  });
}

void ListFailingRules(const THeaderRec& header, const TDetailRec& detail,
                      std::vector<TCheckResult>& out, TRuleScope scope) {
  ListFailingRules(RecordFacts(header, detail), out, scope);
}

TRuleMemo::TRuleMemo(TRuleScope scope) : FScope(scope) {}

TCheckResult TRuleMemo::First(TFacts facts) {
  TEntry& e = FEntries[(facts * 0x9E3779B97F4A7C15ULL) >> (64 - kBits)];
  if (!e.Used || e.Facts != facts) {
    e.Facts = facts;
    e.Code = ResultCode(CheckRecordRules(facts, FScope));
    e.Used = true;
  }
  return ResultOfCode(e.Code);
}

}  // namespace cert
