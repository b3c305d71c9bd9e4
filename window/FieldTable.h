// The window's field table: where each field's editor sits and how it is set up.
#pragma once

#include <array>
#include <string_view>

#include "CertEntry.h"

namespace certwin {

enum TPanelId { pnHeader, pnDetailLeft, pnDetailRight };  // Panel1, Panel9, Panel8
enum TLengthHandler { lhNone, lhOptional, lhExact };      // CustomLengthCheckValue, ...2

// The bracket after the repeat count that a length handler reads: "[" optional, "{" required.
constexpr char LengthBracket(TLengthHandler h) { return h == lhExact ? '{' : '['; }

// The repeat count a length message quotes: what stands between the mask's first character and
// its first `bracket`; empty when the bracket is missing or first.
constexpr std::string_view LengthCount(std::string_view mask, char bracket) {
  const std::size_t p = mask.find(bracket);
  return p == std::string_view::npos || p < 1 ? std::string_view() : mask.substr(1, p - 1);
}

// Where a field's editor sits. Its kind comes from cert::FieldTable, its caption, mask and
// code list from cert::FieldEntries.
struct TWindowField {
  int Number;
  const char* Editor;
  TPanelId Panel;
  int Left, Top, Width;
  int Tab;
  int Tag;  // the remember check box "CheckBox" + Tag; 0: none
  TLengthHandler Length;
  const char* Hint;  // nullptr: none
};

// clang-format off
//  Field                            Editor                    Panel          Left Top  Wid  Tab Tag Length      Hint
inline constexpr std::array<TWindowField, cert::FieldCount> WindowFields = {{
  {cert::fnHInsurerName,           "editInsurerName",        pnHeader,      8,   56,  297, 0,  0,  lhOptional, nullptr},
  {cert::fnHInsurerAddr1,          "editInsurerAddr1",       pnHeader,      312, 56,  209, 1,  0,  lhOptional, nullptr},
  {cert::fnHInsurerAddr2,          "editInsurerAddr2",       pnHeader,      528, 56,  209, 2,  0,  lhOptional, nullptr},
  {cert::fnHInsurerCity,           "editInsurerCity",        pnHeader,      8,   96,  169, 3,  0,  lhOptional, nullptr},
  {cert::fnHInsurerState,          "dbcomboInsurerState",    pnHeader,      184, 96,  129, 4,  0,  lhNone,     nullptr},
  {cert::fnHInsurerZip,            "editInsurerZipcode",     pnHeader,      320, 96,  97,  5,  0,  lhNone,     nullptr},
  {cert::fnHInsurerNAIC_Num,       "editInsurerNAIC",        pnHeader,      536, 96,  89,  7,  0,  lhOptional, nullptr},
  {cert::fnHInsurerFIN,            "editInsurerFIN",         pnHeader,      432, 96,  89,  6,  0,  lhExact,    nullptr},
  {cert::fnHInsurerType,           "dbcomboInsurerType",     pnHeader,      632, 96,  129, 8,  0,  lhNone,     nullptr},
  {cert::fnDPolicyNum,             "editPolicyNumber",       pnDetailRight, 10,  184, 113, 8,  5,  lhOptional, "Policy number"},
  {cert::fnDPolicyFormNum,         "editPolicyFormNumber",   pnDetailRight, 135, 184, 111, 9,  5,  lhOptional, "Policy form number"},
  {cert::fnDPolicyFromDate,        "dtpPolicyFromDate",      pnDetailRight, 10,  64,  105, 2,  6,  lhNone,     "Starting date of the insured's practice in the fund's state"},
  {cert::fnDPolicyToDate,          "dtpPolicyToDate",        pnDetailRight, 135, 64,  105, 3,  7,  lhNone,     "End date of the insured's practice in the fund's state"},
  {cert::fnDPolicyRevisedDate,     "dtpPolicyRevisedDate",   pnDetailRight, 10,  104, 105, 4,  0,  lhNone,     "Policy revision date"},
  {cert::fnDPolicyTerminatedDate,  "dtpPolicyTermDate",      pnDetailRight, 135, 104, 105, 5,  0,  lhNone,     "Policy termination date"},
  {cert::fnDPolicyRetroDate,       "dtpPolicyRetroDate",     pnDetailRight, 10,  144, 105, 6,  8,  lhNone,     "Policy retroactive date"},
  {cert::fnDPolicyCoverageType,    "dbcomboPolicyCovType",   pnDetailRight, 135, 144, 113, 7,  9,  lhNone,     "Policy coverage type"},
  {cert::fnDPolicyOccurrenceLimit, "editPolicyOccurLimit",   pnDetailRight, 10,  221, 113, 10, 13, lhOptional, "Policy occurrence limit"},
  {cert::fnDPolicyAggregateLimit,  "editPolicyAggrLimit",    pnDetailRight, 135, 221, 111, 11, 13, lhOptional, "Policy aggregate limit"},
  {cert::fnDInsuredLicenseNum,     "editInsuredLicensedNum", pnDetailRight, 10,  24,  105, 0,  4,  lhOptional, "Insured's license number"},
  {cert::fnDInsuredCompanyName,    "editInsuredCompany",     pnDetailLeft,  8,   16,  297, 0,  1,  lhOptional, "Insured's company name"},
  {cert::fnDInsuredLastName,       "editInsuredLastName",    pnDetailLeft,  8,   56,  169, 2,  2,  lhOptional, "Insured's last name"},
  {cert::fnDInsuredFirstName,      "editInsuredFirstName",   pnDetailLeft,  184, 56,  129, 3,  2,  lhOptional, "Insured's first name"},
  {cert::fnDInsuredMidName,        "editInsuredMidName",     pnDetailLeft,  320, 56,  105, 4,  2,  lhOptional, "Insured's middle name"},
  {cert::fnDInsuredSuffix,         "editInsuredSuffix",      pnDetailLeft,  432, 56,  65,  5,  2,  lhOptional, "Insured's suffix"},
  {cert::fnDInsuredAttnLine,       "editInsuredAttnLine",    pnDetailLeft,  8,   96,  233, 6,  2,  lhOptional, "Insured's attention line"},
  {cert::fnDInsuredAddress,        "editInsuredAddress",     pnDetailLeft,  248, 96,  249, 7,  3,  lhOptional, "Insured's address"},
  {cert::fnDInsuredCity,           "editInsuredCity",        pnDetailLeft,  8,   136, 169, 8,  3,  lhOptional, "Insured's city"},
  {cert::fnDInsuredState,          "dbcomboInsuredState",    pnDetailLeft,  184, 136, 129, 9,  3,  lhNone,     "Insured's state"},
  {cert::fnDInsuredZip,            "editInsuredZipcode",     pnDetailLeft,  320, 136, 97,  10, 3,  lhNone,     "Insured's zipcode"},
  {cert::fnDInsuredFIN,            "editInsuredFIN",         pnDetailRight, 135, 24,  105, 1,  4,  lhExact,    "Insured's Federal ID Number"},
  {cert::fnDInsuredISO,            "editInsuredISOCode",     pnDetailLeft,  8,   176, 89,  11, 10, lhOptional, "Insured's ISO code"},
  {cert::fnDInsuredProvType,       "dbcomboInsuredProvType", pnDetailLeft,  104, 176, 233, 12, 11, lhNone,     "Insured's provider type"},
  {cert::fnDLimitedCovInd,         "dbcomboLimitCov",        pnDetailLeft,  344, 176, 161, 13, 12, lhNone,     nullptr},
  {cert::fnDRecordProcessingType,  "dbcomboProcessingType",  pnDetailLeft,  320, 16,  161, 1,  12, lhNone,     nullptr},
}};
// clang-format on

// Remember check boxes: caption (also the settings key), left, top.
struct TRememberBox {
  const char* Caption;
  int Left, Top;
};
inline constexpr std::array<TRememberBox, 13> RememberBoxes = {{
    {"Insured Company Name", 128, 8},
    {"Insured L,F,M Name", 128, 24},
    {"Address, City, State, Zip", 128, 40},
    {"License && FIN Number", 272, 8},
    {"Policy Numbers", 272, 24},
    {"Policy From Date", 272, 40},
    {"Policy To Date", 408, 8},
    {"Policy Retro Date", 408, 24},
    {"Policy Coverage Type", 408, 40},
    {"ISO Code", 536, 8},
    {"Provider Type", 536, 24},
    {"Limited Cov Type", 536, 40},
    {"Occurrence Limits", 656, 8},
}};

// Tool bar buttons: name, caption, hint, image index.
struct TCommand {
  const char* Name;
  const char* Caption;
  const char* Hint;
  int Image;
  bool Enabled;
};
inline constexpr std::array<TCommand, 9> RecordCommands = {{
    {"btnFirst", "&First", "Goto First Detail Record", 0, false},
    {"btnPrevious", "&Previous", "Goto previous detail record", 1, false},
    {"btnNext", "Ne&xt", "Goto next detail record", 2, false},
    {"btnLast", "&Last", "Goto last detail record", 3, false},
    {"btnNew", "&Add", "Create new detail record", 4, false},
    {"btnSave", "Po&st", "Save current selected detail record in memory", 5, false},
    {"btnDelete", "&Delete", "Delete current selected detail record", 6, false},
    {"btnCancel", "&Cancel", "Cancel changes", 7, false},
    {"btnRefresh", "Refres&h", nullptr, 10, false},
}};
inline constexpr std::array<TCommand, 5> FileCommands = {{
    {"btnVerify", "&Verify", "Verifies the file", 11, false},
    {"btnNewFile", "&New", "Clear current workspace and create a new empty workspace", 9, true},
    {"btnWriteFile", "&Save File", "Write to the specified file", 13, false},
    {"btnOpen", "Op&en", "Click here to open a certificate file", 12, true},
    {"btnClose", "Cl&ose", "Close the form", 8, true},
}};

}  // namespace certwin
