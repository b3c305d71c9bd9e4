// The problem list the user hands on: every failing rule and possible duplicate, as CSV.
#pragma once

#include <string>

#include "RecordTable.h"

namespace certrec {

// A title row "Record,Field Number,Field Name,Message"; then each failing rule of the header
// (record "header"); then, record by record in list order, each failing rule of the record's
// own and a row for a possible duplicate (no field). Field names are the window's captions.
// Lines end with CR LF; the text stays Windows-1252, as the certificate file's.
std::string ProblemListCsv(const cert::TCertFormat& cert, const TRecordTable& table);

}  // namespace certrec
