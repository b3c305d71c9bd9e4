#include "CertRules.h"

#include <array>
#include <optional>

namespace cert {

namespace {

// Rules 22 and 23 share one guard: both dates must read, and the from date must move on.
struct TPolicySpan {
  TYmd From, To;  // before Readable: its initialiser fills them
  bool Readable = false;
  explicit TPolicySpan(const TDetailRec& d)
      : Readable(ReadYYYYMMDD(d.DPolicyFromDate.View(), From) &&
                 ReadYYYYMMDD(d.DPolicyToDate.View(), To)) {}
};

class TRecords {
 public:
  TRecords(const THeaderRec& h, const TDetailRec& d) : H(h), D(d) {}
  const THeaderRec& H;
  const TDetailRec& D;
  // The two dates are read once, by whichever of rules 22 and 23 asks first.
  const TPolicySpan& Span() const {
    if (!FSpan) FSpan.emplace(D);
    return *FSpan;
  }

 private:
  mutable std::optional<TPolicySpan> FSpan;
};

bool ToBeforeFrom(const TRecords& r) {
  const TPolicySpan& span = r.Span();
  return span.Readable && span.To < span.From;
}

bool SpansTooLong(const TRecords& r) {
  const TPolicySpan& span = r.Span();
  return span.Readable && SpansMoreThanOneYear(span.From, span.To);
}

bool Empty(const TFieldText& f) { return IsEmptyTrimmed(f.View()); }
bool Filled(const TFieldText& f) { return !Empty(f); }
bool HasHyphen(const TFieldText& f) { return f.View().find('-') != std::string_view::npos; }

bool SuffixIsMdOrMo(const TFieldText& f) {
  const std::string_view s = Trim(f.View());
  if (s.size() != 2) return false;
  auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
  return up(s[0]) == 'M' && (up(s[1]) == 'D' || up(s[1]) == 'O');
}

bool AnyNameFilled(const TDetailRec& d) {
  return Filled(d.DInsuredLastName) || Filled(d.DInsuredFirstName) || Filled(d.DInsuredMidName) ||
         Filled(d.DInsuredSuffix);
}

bool RevisedOrTerminated(const TRecords& r) {
  return Filled(r.D.DPolicyRevisedDate) || Filled(r.D.DPolicyTerminatedDate);
}

struct TRule {
  int Field;  // ProcessingTypeSlot: the processing-type rules decide field and message
  bool (*Fails)(const TRecords&);
  std::string Message;
};

const std::array<TRule, 33> kRules = {{
    {fnHInsurerName, [](const TRecords& r) { return Empty(r.H.HInsurerName); },
     "*** Insurer name is required!"},
    {fnHInsurerAddr1, [](const TRecords& r) { return Empty(r.H.HInsurerAddr1); },
     "*** Insurer's address is required!"},
    {fnHInsurerCity, [](const TRecords& r) { return Empty(r.H.HInsurerCity); },
     "*** Insurer's city is required!"},
    {fnHInsurerState, [](const TRecords& r) { return Empty(r.H.HInsurerState); },
     "*** Insurer's state is required!"},
    {fnHInsurerZip, [](const TRecords& r) { return Empty(r.H.HInsurerZip); },
     "*** Insurer's zipcode is required!"},
    {fnHInsurerFIN, [](const TRecords& r) { return HasHyphen(r.H.HInsurerFIN); },
     "*** Insurer's FIN number cannot contain a \"-\"!"},
    {fnHInsurerNAIC_Num,
     [](const TRecords& r) { return Empty(r.H.HInsurerNAIC_Num) && r.H.HInsurerType == "1"; },
     "*** Insurer's NAIC Number is required for Licensed Insurer!"},
    {fnHInsurerType, [](const TRecords& r) { return Empty(r.H.HInsurerType); },
     "*** Insurer type must be a 1 or 2!"},
    {fnDInsuredCompanyName,
     [](const TRecords& r) { return Filled(r.D.DInsuredCompanyName) && AnyNameFilled(r.D); },
     "*** Lastname, Firstname, Middle name, suffix and Attn Line are not  allowed when the "
     "Insured Company Name is used and vice-versa!"},
    {fnDInsuredCompanyName,
     [](const TRecords& r) {
       return Empty(r.D.DInsuredCompanyName) &&
              (Empty(r.D.DInsuredLastName) || Empty(r.D.DInsuredFirstName));
     },
     "*** Provider name or insured's company name is required!"},
    {fnDInsuredSuffix, [](const TRecords& r) { return SuffixIsMdOrMo(r.D.DInsuredSuffix); },
     "*** Insured's suffix cannot be MD or MO!"},
    {fnDInsuredAddress, [](const TRecords& r) { return Empty(r.D.DInsuredAddress); },
     "*** Insured's address is required!"},
    {fnDInsuredCity, [](const TRecords& r) { return Empty(r.D.DInsuredCity); },
     "*** Insured's city is required!"},
    {fnDInsuredState, [](const TRecords& r) { return Empty(r.D.DInsuredState); },
     "*** Insured's state is required!"},
    {fnDInsuredZip, [](const TRecords& r) { return Empty(r.D.DInsuredZip); },
     "*** Insured's zipcode is required!"},
    {fnDInsuredISO, [](const TRecords& r) { return Empty(r.D.DInsuredISO); },
     "*** Insured's ISO code is required!"},
    {fnDInsuredProvType, [](const TRecords& r) { return Empty(r.D.DInsuredProvType); },
     "*** Insured's provider type is required!"},
    {fnDInsuredLicenseNum,
     [](const TRecords& r) {
       return Empty(r.D.DInsuredLicenseNum) && Empty(r.D.DInsuredCompanyName);
     },
     "*** Insured's license number is required!"},
    {fnDInsuredFIN, [](const TRecords& r) { return HasHyphen(r.D.DInsuredFIN); },
     "*** Insured's FIN number cannot contain a \"-\"!"},
    {fnDPolicyFromDate, [](const TRecords& r) { return Empty(r.D.DPolicyFromDate); },
     "*** Policy from date is required!"},
    {fnDPolicyToDate, [](const TRecords& r) { return Empty(r.D.DPolicyToDate); },
     "*** Policy to date is required!"},
    {fnDPolicyToDate, ToBeforeFrom, "*** Policy to date must be later than from date!"},
    {fnDPolicyToDate, SpansTooLong,
     "*** Policy cannot span more than 1 year! Please adjust the Policy From Date or Policy To "
     "Date."},
    {fnDPolicyRevisedDate,
     [](const TRecords& r) {
       return Filled(r.D.DPolicyRevisedDate) && Filled(r.D.DPolicyTerminatedDate);
     },
     "*** Policy revised date and terminated date cannot be filled in at the same time.  "
     "Please remove one of them by clicking on the date to be deleted and press the \"Del\" "
     "key."},
    {ProcessingTypeSlot, RevisedOrTerminated, ""},
    {fnDPolicyRetroDate,
     [](const TRecords& r) {
       return r.D.DPolicyCoverageType == "1" && Empty(r.D.DPolicyRetroDate);
     },
     "*** Policy retroactive date is required for claims-made base policy!"},
    {fnDPolicyRetroDate,
     [](const TRecords& r) {
       return r.D.DPolicyCoverageType == "2" && Filled(r.D.DPolicyRetroDate);
     },
     "*** Policy retroactive date is not required for occurrence base policy!"},
    {fnDPolicyCoverageType, [](const TRecords& r) { return Empty(r.D.DPolicyCoverageType); },
     "*** Policy coverage type is required!"},
    {fnDPolicyNum,
     [](const TRecords& r) { return Empty(r.D.DPolicyNum) && Empty(r.D.DInsuredCompanyName); },
     "*** Policy number is required!"},
    {fnDPolicyOccurrenceLimit, [](const TRecords& r) { return Empty(r.D.DPolicyOccurrenceLimit); },
     "*** Policy occurrence limit is required!"},
    {fnDPolicyAggregateLimit, [](const TRecords& r) { return Empty(r.D.DPolicyAggregateLimit); },
     "*** Policy aggregate limit is required!"},
    {fnDRecordProcessingType, [](const TRecords& r) { return Empty(r.D.DRecordProcessingType); },
     "*** Processing type is required!"},
    {ProcessingTypeSlot, [](const TRecords&) { return true; }, ""},
}};

struct TProcessingRule {
  char Type;
  bool (*Fails)(bool revised, bool terminated);
  int Field;
  std::string Message;
};

const std::array<TProcessingRule, 6> kProcessingRules = {{
    {'1', [](bool rev, bool) { return rev; }, fnDPolicyRevisedDate,
     "*** Revised date not allow for new/renewal certificate!"},
    {'1', [](bool rev, bool term) { return !rev && term; }, fnDPolicyTerminatedDate,
     "*** Termination date not allow for new/renewal certificate!"},
    {'2', [](bool rev, bool) { return !rev; }, fnDPolicyRevisedDate,
     "*** Revised date is required for revised certificate!"},
    {'2', [](bool rev, bool term) { return rev && term; }, fnDPolicyTerminatedDate,
     "*** Termination date not allow for revised certificate!"},
    {'3', [](bool rev, bool) { return rev; }, fnDPolicyRevisedDate,
     "*** Revised date not allow for terminated certificate!"},
    {'3', [](bool rev, bool term) { return !rev && !term; }, fnDPolicyTerminatedDate,
     "*** Termination date is required for terminated certificate!"},
}};

const std::array<int, 33> kRuleFields = [] {
  std::array<int, 33> fields{};
  for (std::size_t k = 0; k < kRules.size(); ++k) fields[k] = kRules[k].Field;
  return fields;
}();

}  // namespace

int RuleCount() { return static_cast<int>(kRules.size()); }
const int* RuleFields() { return kRuleFields.data(); }

bool SpansMoreThanOneYear(const TYmd& from, const TYmd& to) {
  if (from.Year >= 9999) return false;
  TYmd moved{from.Year + 1, from.Month, from.Day};
  const int last = DaysInMonth(moved.Year, moved.Month);
  if (moved.Day > last) moved.Day = last;
  return moved < to;
}

TCheckResult CheckProcessingTypeRules(const TDetailRec& detail) {
  const std::string_view type = Trim(detail.DRecordProcessingType.View());
  TCheckResult pass{0, -1, nullptr};
  if (type.size() != 1) return pass;
  const bool revised = Filled(detail.DPolicyRevisedDate);
  const bool terminated = Filled(detail.DPolicyTerminatedDate);
  for (const TProcessingRule& rule : kProcessingRules)
    if (rule.Type == type[0] && rule.Fails(revised, terminated))
      return TCheckResult{0, rule.Field, &rule.Message};
  return pass;
}

namespace {

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
void RunRules(const THeaderRec& header, const TDetailRec& detail, TRuleScope scope,
              OnFailure failed) {
  const TRecords records(header, detail);
  const int first = scope == rsDetail ? kFirstDetailRule : 0;
  const int last = scope == rsHeader ? kFirstDetailRule : RuleCount();
  for (int k = first; k < last; ++k) {
    const TRule& rule = kRules[static_cast<std::size_t>(k)];
    if (!rule.Fails(records)) continue;
    if (rule.Field != ProcessingTypeSlot) {
      if (!failed(TCheckResult{k, rule.Field, &rule.Message})) return;
      continue;
    }
    TCheckResult pt = CheckProcessingTypeRules(detail);
    if (pt.Field < 0) continue;
    pt.Rule = k;
    if (!failed(pt)) return;
  }
}

}  // namespace

TCheckResult CheckRecordRules(const THeaderRec& header, const TDetailRec& detail,
                              TRuleScope scope) {
  TCheckResult result{RuleCount(), -1, nullptr};
  RunRules(header, detail, scope, [&result](const TCheckResult& r) {
    result = r;
    return false;
  });
  return result;
}

void ListFailingRules(const THeaderRec& header, const TDetailRec& detail,
                      std::vector<TCheckResult>& out, TRuleScope scope) {
  out.clear();
  bool processingTypeListed = false;
  RunRules(header, detail, scope, [&](const TCheckResult& r) {
    if (kRules[static_cast<std::size_t>(r.Rule)].Field == ProcessingTypeSlot) {
      if (processingTypeListed) return true;
      processingTypeListed = true;
    }
    out.push_back(r);
    return true;
  });
}

}  // namespace cert
