// A certificate header and its detail lines as CSV: one row per record, all 35 fields.
#pragma once

#include <string>

#include "CertLayout.h"

namespace cert {
class TStringList;
}

namespace certcsv {

// Column names are the property names in field-number order; every row repeats the header's
// values. RFC 4180 quoting, CRLF line ends, UTF-8 (with a byte-order mark when asked).
// Values are as the file holds them: dates YYYYMMDD, codes as codes.
std::string ExportCsv(const cert::THeaderRec& header, const cert::TStringList& lines,
                      bool byteOrderMark);

}  // namespace certcsv
