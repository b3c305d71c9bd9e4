// How a value enters each field: the caption that names it to the user and its picture mask
// or code list. The window builds its editors from this table; importing text reuses it.
#pragma once

#include <array>

#include "CertLayout.h"

namespace cert {

enum TCodeListId : unsigned char {
  clNone,
  clState,
  clInsurerType,
  clCoverage,
  clProvider,
  clLimited,
  clProcessing
};

// The first year the window's date fields give to a two-digit year (1950 to 2049).
inline constexpr int DateFieldEpoch = 1950;

struct TFieldEntry {
  int Number;
  const char* Caption;
  const char* Mask;  // masked text fields only
  TCodeListId List;  // code-list fields only
};

// clang-format off
inline constexpr std::array<TFieldEntry, FieldCount> FieldEntries = {{
  {fnHInsurerName,           "Insurer Name",                                      "*45[@]",      clNone},
  {fnHInsurerAddr1,          "Insurer Address 1",                                 "*30[@]",      clNone},
  {fnHInsurerAddr2,          "Insurer Address 2",                                 "*30[@]",      clNone},
  {fnHInsurerCity,           "City",                                              "*28[@]",      clNone},
  {fnHInsurerState,          "State",                                             nullptr,       clState},
  {fnHInsurerZip,            "Zipcode",                                           "*5{#}[-*4#]", clNone},
  {fnHInsurerNAIC_Num,       "Insurer NAIC #",                                    "*8[#]",       clNone},
  {fnHInsurerFIN,            "Insurer FIN #",                                     "*9{#}",       clNone},
  {fnHInsurerType,           "Insurer Type",                                      nullptr,       clInsurerType},
  {fnDPolicyNum,             "Policy Number",                                     "*22[!]",      clNone},
  {fnDPolicyFormNum,         "Policy Form Number",                                "*25[!]",      clNone},
  {fnDPolicyFromDate,        "Policy From Date",                                  nullptr,       clNone},
  {fnDPolicyToDate,          "Policy To Date",                                    nullptr,       clNone},
  {fnDPolicyRevisedDate,     "Policy Revised Date",                               nullptr,       clNone},
  {fnDPolicyTerminatedDate,  "Policy Terminated Date",                            nullptr,       clNone},
  {fnDPolicyRetroDate,       "Policy Retroactive Date",                           nullptr,       clNone},
  {fnDPolicyCoverageType,    "Policy Coverage Type",                              nullptr,       clCoverage},
  {fnDPolicyOccurrenceLimit, "Policy Occur Limit",                                "*9[#]",       clNone},
  {fnDPolicyAggregateLimit,  "Policy Aggr Limit",                                 "*9[#]",       clNone},
  {fnDInsuredLicenseNum,     "Insured Lic Num",                                   "*7[!]",       clNone},
  {fnDInsuredCompanyName,    "Insured Company Name (only for corporations etc.)", "*45[@]",      clNone},
  {fnDInsuredLastName,       "Insured Last Name",                                 "*25[@]",      clNone},
  {fnDInsuredFirstName,      "Insured First Name",                                "*15[@]",      clNone},
  {fnDInsuredMidName,        "Insured Middle Name",                               "*15[@]",      clNone},
  {fnDInsuredSuffix,         "Insured Suffix",                                    "*3[@]",       clNone},
  {fnDInsuredAttnLine,       "Insured Attention Line",                            "*30[@]",      clNone},
  {fnDInsuredAddress,        "Insured Address",                                   "*30[@]",      clNone},
  {fnDInsuredCity,           "City",                                              "*28[@]",      clNone},
  {fnDInsuredState,          "State",                                             nullptr,       clState},
  {fnDInsuredZip,            "Zipcode",                                           "*5{#}[-*4#]", clNone},
  {fnDInsuredFIN,            "Insured FIN Num",                                   "*9{#}",       clNone},
  {fnDInsuredISO,            "Insured ISO Code",                                  "*5[#]",       clNone},
  {fnDInsuredProvType,       "Insured Provider Type",                             nullptr,       clProvider},
  {fnDLimitedCovInd,         "Limted Coverage Indicator",                         nullptr,       clLimited},
  {fnDRecordProcessingType,  "Process Record Type",                               nullptr,       clProcessing},
}};
// clang-format on

// Each row is code, " - ", description; the code is the row's first Width characters.
inline constexpr const char* StateList[] = {"AL - Alabama",
                                            "AZ - Arizona",
                                            "CA - California",
                                            "CO - Colorado",
                                            "CT - Connecticut",
                                            "DC - District Of Columbia",
                                            "FL - Florida",
                                            "ID - Idaho",
                                            "IL - Illinois",
                                            "IN - Indiana",
                                            "KS - Kansas",
                                            "KY - Kentucky",
                                            "LA - Louisiana",
                                            "MD - Maryland",
                                            "MA - Massachusetts",
                                            "MI - Michigan",
                                            "MS - Mississippi",
                                            "MO - Missouri",
                                            "MT - Montana",
                                            "NE - Nebraska",
                                            "NH - New Hampshire",
                                            "NJ - New Jersey",
                                            "NM - New Mexico",
                                            "NY - New York",
                                            "ND - North Dakota",
                                            "OH - Ohio",
                                            "OK - Oklahoma",
                                            "OR - Oregon",
                                            "PA - Pennsylvania",
                                            "SC - South Carolina",
                                            "TN - Tennessee",
                                            "TX - Texas",
                                            "VT - Vermont",
                                            "VA - Virginia",
                                            "WV - West Virginia",
                                            "WY - Wyoming",
                                            "AK - Alaska",
                                            "GU - Guam",
                                            "VI - Virgin Islands",
                                            "RI - Rhode Island",
                                            "UT - Utah",
                                            "WA - Washington",
                                            "HI - Hawaii",
                                            "AR - Arkansas",
                                            "GA - Georgia",
                                            "IA - Iowa",
                                            "ME - Maine",
                                            "MN - Minnesota",
                                            "NV - Nevada",
                                            "NC - North Carolina",
                                            "SD - South Dakota",
                                            "WI - Wisconsin",
                                            "PR - Puerto Rico",
                                            "DE - Delaware",
                                            "AS - American Somoa",
                                            "AE - Armed Forces - Europe",
                                            "AA - Armed Forces - Americas",
                                            "AP - Armed Forces - Pacific"};
inline constexpr const char* InsurerTypeList[] = {"1 - Licensed Insurer", "2 - Self Insurer"};
inline constexpr const char* CoverageList[] = {"1 - CLAIMS MADE", "2 - OCCURRENCE"};
inline constexpr const char* ProviderList[] = {"01 - PHYSICIAN AND SURGEON",
                                               "02 - RESIDENT PHYSICIAN AND SURGEON",
                                               "03 - RESIDENT PHY & SRG PRAC OUTSIDE RESIDENCY",
                                               "04 - MCOW FULL-TIME FACULTY",
                                               "05 - MCOW RESIDENT PHYSICIAN AND SURGEON",
                                               "06 - GOVERNMENT EMPLOYEE",
                                               "07 - RETIRED OR PT PHYSICIAN AND SURGEON",
                                               "09 - PODIATRIST",
                                               "10 - PODIATRIST NONSURGICAL",
                                               "11 - RETIRED OR PT PODIATRIST NONSURGICAL",
                                               "12 - RESIDENT IN POST-GRADUATE PODIATRIC MED ED",
                                               "13 - HOSPITAL",
                                               "14 - NURSING HOME",
                                               "15 - SERVICE CORPORATION - SINGLE-SHAREHOLDER",
                                               "16 - SERVICE CORPORATION - MULTI-SHAREHOLDER",
                                               "17 - AMBULATORY SURGERY CENTER",
                                               "18 - COOPERATIVE",
                                               "19 - PARTNERSHIP",
                                               "26 - SERVICE CORPORATION - NON_STOCK",
                                               "29 - UW RESIDENT PHYSICIAN AND SURGEON",
                                               "30 - NURSE ANESTHETIST",
                                               "40 - HOSPITAL OWNED/CONTROLLED ENTITY",
                                               "50 - OUT OF STATE PHYSICIAN AND SURGEON",
                                               "51 - OUT OF STATE NURSE ANESTHETIST",
                                               "60 - HALF-TIME PHYSICIAN AND SURGEON"};
inline constexpr const char* LimitedList[] = {"Y - LIMITED COVERAGE", "N - UNLIMITED COVERAGE"};
inline constexpr const char* ProcessingList[] = {"1 - NEW/RENEWAL CERT", "2 - REVISED CERT",
                                                 "3 - TERMINATED CERT"};

// A code list's rows in display order.
struct TCodeList {
  const char* const* Rows;
  int Count;
  const char* const* begin() const { return Rows; }
  const char* const* end() const { return Rows + Count; }
};

constexpr TCodeList CodeListRows(TCodeListId id) {
  auto of = [](const auto& rows) {
    return TCodeList{rows, static_cast<int>(sizeof rows / sizeof rows[0])};
  };
  switch (id) {
    case clState:
      return of(StateList);
    case clInsurerType:
      return of(InsurerTypeList);
    case clCoverage:
      return of(CoverageList);
    case clProvider:
      return of(ProviderList);
    case clLimited:
      return of(LimitedList);
    case clProcessing:
      return of(ProcessingList);
    default:
      return TCodeList{nullptr, 0};
  }
}

namespace detail {
constexpr bool EntriesFollowFieldTable() {
  for (int n = 0; n < FieldCount; ++n) {
    const TFieldEntry& e = FieldEntries[static_cast<std::size_t>(n)];
    const TEditorKind kind = FieldTable[static_cast<std::size_t>(n)].Editor;
    if (e.Number != n) return false;
    if ((e.Mask != nullptr) != (kind == ekMaskEdit)) return false;
    if ((e.List != clNone) != (kind == ekComboBox)) return false;
  }
  return true;
}
}  // namespace detail
static_assert(detail::EntriesFollowFieldTable(),
              "one entry per field, in field-number order, with a mask or list by editor kind");

}  // namespace cert
