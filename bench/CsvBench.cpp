// CSV export and import of passing records.
#include <benchmark/benchmark.h>

#include "BenchFiles.h"
#include "CertFormat.h"
#include "CsvExport.h"
#include "CsvImport.h"

namespace {

std::string ExportedCsv(long records) {
  cert::TCertFormat c;
  certbench::LoadPassing(c, records);
  return certcsv::ExportCsv(c.HeaderRec, c.DetailStr(), true);
}

// Records as a spreadsheet would hold them: captions for names, dates as M/D/YYYY, codes by
// their text, limits with "$" and ",", FINs with "-", zip codes of nine digits; every row with
// its own policy, license, names, address, FIN, zip and dates.
std::string SpreadsheetCsv(long records) {
  std::string csv =
      "Insurer Name,Insurer Address 1,Insurer City,Insurer State,Insurer Zip,Insurer NAIC #,"
      "Insurer FIN #,Insurer Type,Policy Number,Policy Form Number,Policy From Date,"
      "Policy To Date,Policy Retroactive Date,Policy Coverage Type,Policy Occur Limit,"
      "Policy Aggr Limit,Insured Lic Num,Insured Last Name,Insured First Name,Insured Address,"
      "City,State,Zipcode,Insured FIN Num,Insured ISO Code,Insured Provider Type,"
      "Limited Cov Ind,Process Record Type\r\n";
  for (long i = 0; i < records; ++i) {
    const std::string n = std::to_string(100000 + i);
    const std::string month = std::to_string(1 + i % 12), day = std::to_string(1 + i % 28);
    csv +=
        "Acme Mutual Insurance,100 Main St,Madison,Wisconsin,537031234,12345,39-1234567,"
        "Licensed Insurer,lm-2026-" +
        n + ",f1," + month + "/" + day + "/2026," + month + "/" + day +
        "/2027,1/1/2020,Claims Made,\"$1,000,000\",\"$3,000,000\",L" + n.substr(1) + ",Lastname" +
        n + ",First" + n + "," + n + " University Bay Dr,Milwaukee,wi,537" + n + ",39-" + n +
        "1,80263,Physician and Surgeon,N,New/Renewal Cert\r\n";
  }
  return csv;
}

void BM_ExportCsv(benchmark::State& state) {
  const long n = state.range(0);
  cert::TCertFormat c;
  certbench::LoadPassing(c, n);
  for (auto _ : state) {
    const std::string csv = certcsv::ExportCsv(c.HeaderRec, c.DetailStr(), true);
    benchmark::DoNotOptimize(csv.data());
  }
  state.SetItemsProcessed(state.iterations() * n);
}

// Reading the CSV bytes, converting every value and posting every record.
void Import(benchmark::State& state, const std::string& csv) {
  const long n = state.range(0);
  for (auto _ : state) {
    const certcsv::TCsvTable table = certcsv::TCsvTable::Parse(csv);
    cert::TCertFormat c;
    const certcsv::TCsvImport im =
        certcsv::ImportIntoWorkspace(c, table, certcsv::MapColumns(table));
    if (!im.Problems.empty()) state.SkipWithError("a value was refused");
    benchmark::DoNotOptimize(c.DetailStr().Count());
  }
  state.SetItemsProcessed(state.iterations() * n);
  state.SetBytesProcessed(state.iterations() * static_cast<long>(csv.size()));
}

void BM_ImportExportedCsv(benchmark::State& state) { Import(state, ExportedCsv(state.range(0))); }

void BM_ImportSpreadsheetCsv(benchmark::State& state) {
  Import(state, SpreadsheetCsv(state.range(0)));
}

// The parts of an import, for 100,000 records.
void BM_ParseCsvOnly(benchmark::State& state) {
  const std::string csv = ExportedCsv(state.range(0));
  for (auto _ : state) {
    const certcsv::TCsvTable table = certcsv::TCsvTable::Parse(csv);
    benchmark::DoNotOptimize(table.RowCount());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ConvertOnly(benchmark::State& state) {
  const certcsv::TCsvTable table = certcsv::TCsvTable::Parse(ExportedCsv(state.range(0)));
  for (auto _ : state) {
    const certcsv::TCsvImport im = certcsv::ImportCsv(table, certcsv::MapColumns(table));
    benchmark::DoNotOptimize(im.Lines.size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_ExportCsv)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportExportedCsv)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportSpreadsheetCsv)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseCsvOnly)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertOnly)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
