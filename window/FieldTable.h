// The window's field table and code lists: where each field's editor sits and how it is set up.
#pragma once

#include <array>

namespace certwin {

enum TFieldKind { fkMask, fkDate, fkList };
enum TPanelId { pnHeader, pnDetailLeft, pnDetailRight };  // Panel1, Panel9, Panel8
enum TLengthHandler { lhNone, lhOptional, lhExact };      // CustomLengthCheckValue, ...2
enum TCodeList { clNone, clState, clInsurerType, clCoverage, clProvider, clLimited, clProcessing };

struct TWindowField {
  int Number;
  const char* Caption;
  const char* Editor;
  TFieldKind Kind;
  TPanelId Panel;
  int Left, Top, Width;
  int Tab;
  int Tag;  // the remember check box "CheckBox" + Tag; 0: none
  const char* Mask;
  TCodeList List;
  TLengthHandler Length;
  const char* Hint;  // nullptr: none
};

// clang-format off
//  N  Caption                       Editor                  Kind    Panel          Left Top Width Tab Tag Mask           List           Length       Hint
inline constexpr std::array<TWindowField, 35> WindowFields = {{
  {0,  "Insurer Name",               "editInsurerName",      fkMask, pnHeader,      8,   56, 297,  0,  0,  "*45[@]",      clNone,        lhOptional,  nullptr},
  {1,  "Insurer Address 1",          "editInsurerAddr1",     fkMask, pnHeader,      312, 56, 209,  1,  0,  "*30[@]",      clNone,        lhOptional,  nullptr},
  {2,  "Insurer Address 2",          "editInsurerAddr2",     fkMask, pnHeader,      528, 56, 209,  2,  0,  "*30[@]",      clNone,        lhOptional,  nullptr},
  {3,  "City",                       "editInsurerCity",      fkMask, pnHeader,      8,   96, 169,  3,  0,  "*28[@]",      clNone,        lhOptional,  nullptr},
  {4,  "State",                      "dbcomboInsurerState",  fkList, pnHeader,      184, 96, 129,  4,  0,  nullptr,       clState,       lhNone,      nullptr},
  {5,  "Zipcode",                    "editInsurerZipcode",   fkMask, pnHeader,      320, 96, 97,   5,  0,  "*5{#}[-*4#]", clNone,        lhNone,      nullptr},
  {6,  "Insurer NAIC #",             "editInsurerNAIC",      fkMask, pnHeader,      536, 96, 89,   7,  0,  "*8[#]",       clNone,        lhOptional,  nullptr},
  {7,  "Insurer FIN #",              "editInsurerFIN",       fkMask, pnHeader,      432, 96, 89,   6,  0,  "*9{#}",       clNone,        lhExact,     nullptr},
  {8,  "Insurer Type",               "dbcomboInsurerType",   fkList, pnHeader,      632, 96, 129,  8,  0,  nullptr,       clInsurerType, lhNone,      nullptr},
  {9,  "Policy Number",              "editPolicyNumber",     fkMask, pnDetailRight, 10, 184, 113,  8,  5,  "*22[!]",      clNone,        lhOptional,  "Policy number"},
  {10, "Policy Form Number",         "editPolicyFormNumber", fkMask, pnDetailRight, 135, 184, 111, 9,  5,  "*25[!]",      clNone,        lhOptional,  "Policy form number"},
  {11, "Policy From Date",           "dtpPolicyFromDate",    fkDate, pnDetailRight, 10,  64, 105,  2,  6,  nullptr,       clNone,        lhNone,      "Starting date of the insured's practice in the fund's state"},
  {12, "Policy To Date",             "dtpPolicyToDate",      fkDate, pnDetailRight, 135, 64, 105,  3,  7,  nullptr,       clNone,        lhNone,      "End date of the insured's practice in the fund's state"},
  {13, "Policy Revised Date",        "dtpPolicyRevisedDate", fkDate, pnDetailRight, 10, 104, 105,  4,  0,  nullptr,       clNone,        lhNone,      "Policy revision date"},
  {14, "Policy Terminated Date",     "dtpPolicyTermDate",    fkDate, pnDetailRight, 135, 104, 105, 5,  0,  nullptr,       clNone,        lhNone,      "Policy termination date"},
  {15, "Policy Retroactive Date",    "dtpPolicyRetroDate",   fkDate, pnDetailRight, 10, 144, 105,  6,  8,  nullptr,       clNone,        lhNone,      "Policy retroactive date"},
  {16, "Policy Coverage Type",       "dbcomboPolicyCovType", fkList, pnDetailRight, 135, 144, 113, 7,  9,  nullptr,       clCoverage,    lhNone,      "Policy coverage type"},
  {17, "Policy Occur Limit",         "editPolicyOccurLimit", fkMask, pnDetailRight, 10, 221, 113, 10, 13, "*9[#]",       clNone,        lhOptional,  "Policy occurrence limit"},
  {18, "Policy Aggr Limit",          "editPolicyAggrLimit",  fkMask, pnDetailRight, 135, 221, 111, 11, 13, "*9[#]",       clNone,        lhOptional,  "Policy aggregate limit"},
  {19, "Insured Lic Num",            "editInsuredLicensedNum", fkMask, pnDetailRight, 10, 24, 105, 0,  4,  "*7[!]",       clNone,        lhOptional,  "Insured's license number"},
  {20, "Insured Company Name (only for corporations etc.)", "editInsuredCompany", fkMask, pnDetailLeft, 8, 16, 297, 0, 1, "*45[@]", clNone, lhOptional, "Insured's company name"},
  {21, "Insured Last Name",          "editInsuredLastName",  fkMask, pnDetailLeft,  8,   56, 169,  2,  2,  "*25[@]",      clNone,        lhOptional,  "Insured's last name"},
  {22, "Insured First Name",         "editInsuredFirstName", fkMask, pnDetailLeft,  184, 56, 129,  3,  2,  "*15[@]",      clNone,        lhOptional,  "Insured's first name"},
  {23, "Insured Middle Name",        "editInsuredMidName",   fkMask, pnDetailLeft,  320, 56, 105,  4,  2,  "*15[@]",      clNone,        lhOptional,  "Insured's middle name"},
  {24, "Insured Suffix",             "editInsuredSuffix",    fkMask, pnDetailLeft,  432, 56, 65,   5,  2,  "*3[@]",       clNone,        lhOptional,  "Insured's suffix"},
  {25, "Insured Attention Line",     "editInsuredAttnLine",  fkMask, pnDetailLeft,  8,   96, 233,  6,  2,  "*30[@]",      clNone,        lhOptional,  "Insured's attention line"},
  {26, "Insured Address",            "editInsuredAddress",   fkMask, pnDetailLeft,  248, 96, 249,  7,  3,  "*30[@]",      clNone,        lhOptional,  "Insured's address"},
  {27, "City",                       "editInsuredCity",      fkMask, pnDetailLeft,  8,  136, 169,  8,  3,  "*28[@]",      clNone,        lhOptional,  "Insured's city"},
  {28, "State",                      "dbcomboInsuredState",  fkList, pnDetailLeft,  184, 136, 129, 9,  3,  nullptr,       clState,       lhNone,      "Insured's state"},
  {29, "Zipcode",                    "editInsuredZipcode",   fkMask, pnDetailLeft,  320, 136, 97,  10, 3,  "*5{#}[-*4#]", clNone,        lhNone,      "Insured's zipcode"},
  {30, "Insured FIN Num",            "editInsuredFIN",       fkMask, pnDetailRight, 135, 24, 105,  1,  4,  "*9{#}",       clNone,        lhExact,     "Insured's Federal ID Number"},
  {31, "Insured ISO Code",           "editInsuredISOCode",   fkMask, pnDetailLeft,  8,  176, 89,  11, 10, "*5[#]",       clNone,        lhOptional,  "Insured's ISO code"},
  {32, "Insured Provider Type",      "dbcomboInsuredProvType", fkList, pnDetailLeft, 104, 176, 233, 12, 11, nullptr,     clProvider,    lhNone,      "Insured's provider type"},
  {33, "Limted Coverage Indicator",  "dbcomboLimitCov",      fkList, pnDetailLeft,  344, 176, 161, 13, 12, nullptr,      clLimited,     lhNone,      nullptr},
  {34, "Process Record Type",        "dbcomboProcessingType", fkList, pnDetailLeft, 320, 16, 161,  1,  12, nullptr,      clProcessing,  lhNone,      nullptr},
}};
// clang-format on

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
