#include "FileCommandsTest.h"

#include <QDir>
#include <filesystem>

#include "FileNameText.h"
#include "Settings.h"
#include "WindowFixture.h"

using namespace wintest;
using certwin::anCancel;
using certwin::anNo;
using certwin::anYes;

namespace {

const QString kLength = QStringLiteral(
    "*** This file's record length exceeds 351 characters.  Please make sure that all records "
    "in this file are exactly 351 characters.");
const QString kSavePrompt =
    QStringLiteral("save?: Do you want to save your current changes first?");

std::string Line(const std::string& last, void (*mutate)(cert::TDetailRec&) = nullptr) {
  cert::TDetailRec d;
  certtest::FillPassingDetail(d, last);
  if (mutate) mutate(d);
  return cert::BuildDetailLine(d, "2") + "\r\n";
}

QStringList Messages(const QStringList& log) {
  QStringList out;
  for (const QString& l : log)
    if (l.startsWith(QLatin1String("message"))) out << l;
  return out;
}

}  // namespace

void FileCommandsTest::openReportsAndShowsFirstRecord() {
  TWindow w;
  std::string longLine = Line("Long");
  longLine.insert(longLine.size() - 2, std::string(30, ' ') + "EXTRA");
  const QString path = w.MakeFile(QStringLiteral("mixed.dat"), {"First"},
                                  "\r\n" + longLine + "1" + Line("Second").substr(1) + "   \r\n");
  w.Open(path);
  QCOMPARE(w.Dialogs->Log.first(), QStringLiteral("open Open Certificate File: c:\\tavcerti.dat"));
  QCOMPARE(Messages(w.Dialogs->Log),
           (QStringList{"message: " + kLength,
                        QStringLiteral("message: *** This file has more than than 1 header "
                                       "record!  The limit is 1 header per file.")}));
  QCOMPARE(w.Form->windowTitle(), "Editing File: " + path);
  QCOMPARE(w.Counter(), QStringLiteral("Record 1 of 3"));
  QCOMPARE(w.As<TwwDBEdit>("editInsuredLastName")->text(), QStringLiteral("First"));
  QCOMPARE(w.As<TwwDBEdit>("editInsurerName")->text(), QStringLiteral("Acme Mutual Insurance"));
  QVERIFY(w.Form->CertFormat1.BlankLineEncounter);
  QVERIFY(!w.Form->CertFormat1.FileChanged());
  QCOMPARE(w.Form->OutputFileName()->text(), QStringLiteral("c:\\tavcerti.dat"));
}

void FileCommandsTest::openDialogOffersDefaultName() {
  TWindow w;
  w.Form->CertFormat1.FileNameOpen = "   ";
  w.Click("btnOpen");  // cancelled
  QCOMPARE(w.Dialogs->Log.last(), QStringLiteral("open Open Certificate File: c:\\tavcerti.dat"));
  QCOMPARE(w.Form->windowTitle(), QStringLiteral("Create New Certificate File"));
  const QString path = w.MakeFile(QStringLiteral("a.dat"), {"A"});
  w.Open(path);
  w.Click("btnOpen");
  QCOMPARE(w.Dialogs->Log.last(), "open Open Certificate File: " + path);
}

void FileCommandsTest::manyMessagesCanBeSkipped() {
  TWindow w;
  std::string extra;
  for (int i = 0; i < 10; ++i) extra += Line("L").substr(0, 335) + std::string(20, 'x') + "\r\n";
  w.Dialogs->Skip = {true};
  w.Open(w.MakeFile(QStringLiteral("long.dat"), {}, extra));
  const QStringList shown = Messages(w.Dialogs->Log);
  QCOMPARE(shown.size(), 6);
  QCOMPARE(shown.last(), "message+skip: " + kLength);
  QCOMPARE(w.Form->CertFormat1.DetailStr().Count(), 10);
  w.Open(w.MakeFile(QStringLiteral("long2.dat"), {}, extra.substr(0, 2 * 357)));
  QCOMPARE(Messages(w.Dialogs->Log).size(), 8);  // a new file shows its messages again
}

void FileCommandsTest::unreadableFileIsAnErrorBox() {
  TWindow w;
  w.Open(w.Dir.Path().c_str() + QString());
  QCOMPARE(w.Dialogs->Log.last(),
           "error: Cannot read \"" + QString::fromStdString(w.Dir.Path()) + "\": Is a directory");
  QVERIFY(w.Form->isVisible());
}

void FileCommandsTest::failedOpenChangesNothing_data() {
  QTest::addColumn<bool>("outOfMemory");
  QTest::newRow("a directory") << false;
  QTest::newRow("out of memory") << true;
}

void FileCommandsTest::failedOpenChangesNothing() {
  QFETCH(bool, outOfMemory);
  TWindow w;
  w.Open(w.MakeFile(QStringLiteral("three.dat"), {"Able", "Baker", "Cole"}));
  w.Click("btnNext");
  w.TypeInto(23, QStringLiteral("Q"));  // a pending edit of record 2
  const std::string stored(w.Form->CertFormat1.DetailStr()[1]);
  const QString caption = w.Form->windowTitle();
  const std::string opened = w.Form->CertFormat1.FileNameOpen;
  w.Dialogs->YesNoCancel = {anNo};  // the user declines to save it
  QString failing = QString::fromStdString(w.Dir.Path());
  if (outOfMemory) {
    failing = QString::fromStdString(w.Dir.File("gone.dat"));  // its message cannot be shown
    w.Dialogs->OutOfMemory = true;
  }
  w.Dialogs->Files = {failing};
  w.Form->btnOpenClick();
  QCOMPARE(w.Dialogs->Log.last(),
           "error: Cannot read \"" + failing + "\": " +
               (outOfMemory ? QStringLiteral("out of memory") : QStringLiteral("Is a directory")));
  QCOMPARE(w.Form->windowTitle(), caption);
  // The name that could not be read is neither offered next time nor kept in the settings.
  QCOMPARE(w.Form->CertFormat1.FileNameOpen, opened);
  QCOMPARE(w.Counter(), QStringLiteral("Record 2 of 3"));
  QCOMPARE(w.Form->CertFormat1.DetailIndex(), 1);
  QCOMPARE(w.Form->CertFormat1.DetailRecStatus, cert::drEdit);
  QCOMPARE(std::string(w.Form->CertFormat1.DetailStr()[1]),
           stored);  // the declined edit is not stored
  QVERIFY(w.Form->CertFormat1.FileChanged());
  QCOMPARE(w.As<TwwDBEdit>("editInsuredLastName")->text(), QStringLiteral("Baker"));
  QCOMPARE(w.As<TwwDBEdit>("editInsuredMidName")->text(), QStringLiteral("Q"));
}

void FileCommandsTest::newAsksToSave_data() {
  QTest::addColumn<int>("answer");
  QTest::addColumn<int>("recordsAfter");
  QTest::addColumn<bool>("written");
  QTest::newRow("cancel") << int(anCancel) << 1 << false;
  QTest::newRow("no") << int(anNo) << 0 << false;
  QTest::newRow("yes") << int(anYes) << 0 << true;
}

void FileCommandsTest::newAsksToSave() {
  QFETCH(int, answer);
  TWindow w;
  w.Open(w.MakeFile(QStringLiteral("one.dat"), {"Able"}));
  const QString out = QString::fromStdString(w.Dir.File("out.dat"));
  w.Form->OutputFileName()->setText(out);
  w.TypeInto(23, QStringLiteral("Q"));
  QVERIFY(w.Form->CertFormat1.FileChanged());
  w.Dialogs->YesNoCancel = {static_cast<certwin::TAnswer>(answer)};
  w.Click("btnNewFile");
  QCOMPARE(w.Dialogs->Log.last(), kSavePrompt);
  QTEST(w.Form->CertFormat1.DetailStr().Count(), "recordsAfter");
  QTEST(QFile::exists(out), "written");
  if (answer != anCancel) {
    QCOMPARE(w.Form->CertFormat1.DetailRecStatus, cert::drNew);
    QCOMPARE(w.As<TwwDBEdit>("editInsurerName")->text(), QString());
    QCOMPARE(w.Counter(), QString());
  }
}

void FileCommandsTest::saveFile() {
  TWindow w;
  w.Open(w.MakeFile(QStringLiteral("in.dat"), {"Able", "Baker"}, "\r\n"));
  const std::string out = w.Dir.File("out.dat");
  w.Form->OutputFileName()->setText(QString::fromStdString(out));
  w.TypeInto(23, QStringLiteral("Q"));  // pending edit of record 1
  w.Click("btnWriteFile");
  QCOMPARE(w.Form->CertFormat1.DetailRecStatus, cert::drBrowse);
  std::string expected = certtest::PassingHeaderLine("20261210") + "\r\n";
  expected += Line("Able", [](cert::TDetailRec& d) { d.DInsuredMidName = "Q"; });
  expected += Line("Baker");
  QCOMPARE(QString::fromStdString(certtest::ReadAll(out)), QString::fromStdString(expected));
  QVERIFY(!w.Form->CertFormat1.BlankLineEncounter);
  QVERIFY(!w.Form->CertFormat1.FileChanged());
  // Writing again asks before replacing; Cancel writes nothing.
  w.Dialogs->OkCancel = {false};
  certtest::WriteAll(out, "keep");
  w.Click("btnWriteFile");
  QCOMPARE(w.Dialogs->Log.last(),
           "confirm: File " + QString::fromStdString(out) + " already exist.  Overwrite?");
  QCOMPARE(QString::fromStdString(certtest::ReadAll(out)), QStringLiteral("keep"));
}

void FileCommandsTest::saveFailingSecondRecord() {
  TWindow w;
  const std::string bad = Line("Baker", [](cert::TDetailRec& d) { d.DInsuredCity = ""; });
  w.Open(w.MakeFile(QStringLiteral("in.dat"), {"Able"}, bad + Line("Cole")));
  const QString out = QString::fromStdString(w.Dir.File("out.dat"));
  w.Form->OutputFileName()->setText(out);
  w.Click("btnWriteFile");
  QVERIFY(!QFile::exists(out));
  QCOMPARE(w.Counter(), QStringLiteral("Record 2 of 3"));
  QCOMPARE(w.As<TwwDBEdit>("editInsuredLastName")->text(), QStringLiteral("Baker"));
  QCOMPARE(w.Form->ErrorLine()->text(), QStringLiteral("*** Insured's city is required!"));
  QCOMPARE(QApplication::focusWidget(), w.W("editInsuredCity"));
  // The prompt's Yes runs the same save; when nothing is written Close stays open.
  w.TypeInto(23, QStringLiteral("Q"));
  w.Dialogs->YesNoCancel = {anYes};
  w.Click("btnClose");
  QVERIFY(w.Form->isVisible());
}

void FileCommandsTest::saveWithoutRecordsSays() {
  TWindow w;
  w.Open(w.MakeFile(QStringLiteral("one.dat"), {"Able"}));
  w.As<QCheckBox>("cbConfirmDel")->setChecked(false);
  w.Click("btnDelete");
  QVERIFY(w.Form->CertFormat1.FileChanged());
  w.Dialogs->YesNoCancel = {anYes};
  w.Click("btnNewFile");
  QVERIFY(w.Dialogs->Log.last().startsWith(QLatin1String("message: Nothing was written")));
  QCOMPARE(w.As<TwwDBEdit>("editInsurerName")->text(), QStringLiteral("Acme Mutual Insurance"));
}

void FileCommandsTest::saveWriteFailureKeepsOldFile() {
  TWindow w;
  w.Open(w.MakeFile(QStringLiteral("in.dat"), {"Able"}));
  const QString out = QString::fromStdString(w.Dir.File("missing-dir/out.dat"));
  w.Form->OutputFileName()->setText(out);
  w.TypeInto(23, QStringLiteral("Q"));
  w.Dialogs->YesNoCancel = {anYes};
  w.Form->close();
  QVERIFY(w.Dialogs->Log.last().startsWith("error: Cannot create \"" + out + "\": "));
  QVERIFY(w.Form->isVisible());
  QVERIFY(w.Form->CertFormat1.FileChanged());
}

void FileCommandsTest::verifyMessagesAndBlankLineFlag() {
  TWindow w;
  w.Open(w.MakeFile(QStringLiteral("blank.dat"), {"Able"}, "\r\n"));
  w.Click("btnVerify");
  QCOMPARE(w.Dialogs->Log.last(),
           QStringLiteral("message: All records have pass the error checking routine.  However \r\n"
                          "one or more blank lines were found in the file.  You must \r\n"
                          "SAVE this file in order to remove them.  Leaving the blank lines \r\n"
                          "in the file will result in certificate rejections."));
  w.Click("btnNewFile");
  QVERIFY(w.Form->CertFormat1.BlankLineEncounter);  // New keeps the flag
  w.Open(w.MakeFile(QStringLiteral("clean.dat"), {"Able"}));
  QVERIFY(w.Form->CertFormat1.BlankLineEncounter);
  w.Form->OutputFileName()->setText(QString::fromStdString(w.Dir.File("out.dat")));
  w.Click("btnWriteFile");
  QVERIFY(!w.Form->CertFormat1.BlankLineEncounter);
  w.Click("btnVerify");
  QCOMPARE(w.Dialogs->Log.last(),
           QStringLiteral("message: All records have pass the error checking routine."));
  w.Form->CertFormat1.HeaderRec.HInsurerName = "";
  const int before = w.Dialogs->Log.size();
  w.Click("btnVerify");
  QCOMPARE(w.Dialogs->Log.size(), before);
  QCOMPARE(w.Form->ErrorLine()->text(), QStringLiteral("*** Insurer name is required!"));
}

void FileCommandsTest::closeAsks_data() {
  QTest::addColumn<bool>("button");
  QTest::addColumn<bool>("changes");
  QTest::addColumn<bool>("blankLines");
  QTest::addColumn<int>("saveAnswer");
  QTest::addColumn<bool>("exitAnswer");
  QTest::addColumn<bool>("closed");
  QTest::addColumn<int>("questions");
  QTest::newRow("button, nothing to ask")
      << true << false << false << int(anNo) << true << true << 0;
  QTest::newRow("title bar, nothing to ask")
      << false << false << false << int(anNo) << true << true << 0;
  QTest::newRow("title bar, changes, cancel")
      << false << true << false << int(anCancel) << true << false << 1;
  QTest::newRow("title bar, changes, no")
      << false << true << false << int(anNo) << true << true << 1;
  QTest::newRow("button, changes, no") << true << true << false << int(anNo) << true << true << 1;
  QTest::newRow("blank lines, no") << false << false << true << int(anNo) << false << false << 1;
  QTest::newRow("blank lines, yes") << true << false << true << int(anNo) << true << true << 1;
  QTest::newRow("changes and blank lines")
      << false << true << true << int(anNo) << true << true << 2;
}

void FileCommandsTest::closeAsks() {
  QFETCH(bool, button);
  QFETCH(bool, changes);
  QFETCH(bool, blankLines);
  QFETCH(int, saveAnswer);
  QFETCH(bool, exitAnswer);
  TWindow w;
  w.Open(w.MakeFile(QStringLiteral("in.dat"), {"Able"}, blankLines ? "\r\n" : ""));
  if (changes) w.TypeInto(23, QStringLiteral("Q"));
  w.Dialogs->Log.clear();
  w.Dialogs->YesNoCancel = {static_cast<certwin::TAnswer>(saveAnswer)};
  w.Dialogs->YesNo = {exitAnswer};
  if (button)
    w.Click("btnClose");
  else
    w.Form->close();
  QTEST(!w.Form->isVisible(), "closed");
  QTEST(static_cast<int>(w.Dialogs->Log.size()), "questions");
  if (changes) QCOMPARE(w.Dialogs->Log.first(), kSavePrompt);
  if (blankLines)
    QVERIFY(w.Dialogs->Log.last().startsWith(QLatin1String(
        "Confirm...: One or more blank lines were found in the file.  You must \r\n")));
  QCOMPARE(QFile::exists(QString::fromStdString(w.Dir.File("dovrane.ini"))), !w.Form->isVisible());
}

void FileCommandsTest::settingsRoundTrip() {
  TWindow w;
  const std::string ini = w.Dir.File("dovrane.ini");
  certtest::WriteAll(ini, "[Other]\nkeep=me\n");
  w.As<QCheckBox>("CheckBox6")->setChecked(false);
  w.As<QCheckBox>("cbConfirmDel")->setChecked(false);
  w.Form->OutputFileName()->setText(QStringLiteral("/tmp/x y.dat"));
  w.Form->close();
  const QString text = QString::fromStdString(certtest::ReadAll(ini));
  QVERIFY(text.contains(QLatin1String("keep=me")));
  QVERIFY(text.contains(QLatin1String("[New Detail Record]")));
  QVERIFY(text.contains(QLatin1String("Policy From Date=0")));
  QVERIFY(text.contains(QLatin1String("License && FIN Number=1")));
  QVERIFY(text.contains(QLatin1String("[Delete Option]\nConfir&m Delete=0")));
  QVERIFY(text.contains(QLatin1String("OutputFilename=/tmp/x y.dat")));
  QVERIFY(text.contains(QLatin1String("InputFilename=\n")));
  QCOMPARE(text.count(QLatin1Char('=')), 17);  // sixteen keys and the one kept

  TWindow again(false);
  again.Form->SettingsDirectory = w.Dir.Path();
  again.Show();
  QVERIFY(!again.As<QCheckBox>("CheckBox6")->isChecked());
  QVERIFY(again.As<QCheckBox>("CheckBox5")->isChecked());
  QVERIFY(!again.As<QCheckBox>("cbConfirmDel")->isChecked());
  QCOMPARE(again.Form->OutputFileName()->text(), QStringLiteral("/tmp/x y.dat"));
  QCOMPARE(again.Form->CertFormat1.FileNameOpen, std::string());
}

void FileCommandsTest::settingsMalformed() {
  certtest::TTempDir dir;
  const std::string ini = dir.File("dovrane.ini");
  certtest::WriteAll(ini,
                     "garbage line\n[new detail record]\nPOLICY FROM DATE=yes\nISO Code=2\n"
                     "Provider Type=0\n=\n[New Detail Record]\nOccurrence Limits=0\n"
                     "[Filename]\nOutputFilename=out.dat\n");
  certwin::TSettingsValues v;
  QVERIFY(certwin::LoadSettingsFile(ini, v));
  QVERIFY(v.Remember[5]);    // "yes" is no integer: the default
  QVERIFY(v.Remember[9]);    // 2
  QVERIFY(!v.Remember[10]);  // 0
  QVERIFY(!v.Remember[12]);
  QVERIFY(v.ConfirmDelete);  // missing section
  QCOMPARE(v.OutputFilename, std::string("out.dat"));
  QCOMPARE(v.InputFilename, std::string("c:\\tavcerti.dat"));
  certwin::TSettingsValues untouched;
  untouched.OutputFilename = "kept";
  QVERIFY(!certwin::LoadSettingsFile(dir.File("none.ini"), untouched));
  QCOMPARE(untouched.OutputFilename, std::string("kept"));
}

void FileCommandsTest::settingsPathRule() {
  QCOMPARE(certwin::SettingsPath("/"), std::string("/dovrane.ini"));
  QCOMPARE(certwin::SettingsPath("/opt/cert"), std::string("/opt/cert/dovrane.ini"));
  QCOMPARE(certwin::SettingsPath("C:\\", '\\'), std::string("C:\\dovrane.ini"));
  QCOMPARE(certwin::SettingsPath("C:\\Cert", '\\'), std::string("C:\\Cert\\dovrane.ini"));
}

void FileCommandsTest::settingsWriteFailureStillCloses() {
  TWindow w;
  QDir(QString::fromStdString(w.Dir.Path())).mkdir(QStringLiteral("dovrane.ini"));
  w.Form->close();
  QCOMPARE(w.Dialogs->Log.last(),
           "error: Unable to write to " + QString::fromStdString(w.Dir.File("dovrane.ini")));
  QVERIFY(!w.Form->isVisible());
}

void FileCommandsTest::fileNamesKeepTheirBytes() {
  // Names that are not UTF-8, read under a UTF-8 locale.
  certtest::TTempDir dir;
  const std::string out = dir.File("caf\xe9.dat");
  const std::string in = dir.File("in\xff\xc3.dat");
  TWindow::MakeFileAt(in, {"Able"});
  const std::string ini = dir.File("dovrane.ini");
  certtest::WriteAll(ini, "[Filename]\nOutputFilename=" + out + "\nInputFilename=" + in + "\n");
  TWindow w(false);
  w.Form->SettingsDirectory = dir.Path();
  w.Show();
  w.Dialogs->Files = {kOffered, kOffered};
  w.Click("btnOpen");  // the dialog offers the name from the settings
  QCOMPARE(w.Form->CertFormat1.FileNameOpen, in);
  QCOMPARE(w.Counter(), QStringLiteral("Record 1 of 1"));
  const QString caption = w.Form->windowTitle();
  QVERIFY(caption.startsWith(QLatin1String("Editing File: ")));
  QCOMPARE(certwin::TextToName(caption.mid(14)), in);
  w.Click("SpeedButton1");  // offers the output name and keeps it
  w.Click("btnWriteFile");
  QVERIFY(std::filesystem::exists(out));
  QVERIFY(!std::filesystem::exists(dir.File("caf\xef\xbf\xbd.dat")));
  // A message that names a file names it as it is.
  const std::string missing = dir.File("no\xe9.dat");
  w.Dialogs->Files = {certwin::NameToText(missing)};
  w.Click("btnOpen");
  QCOMPARE(certwin::TextToName(w.Dialogs->Log.last()),
           "message: *** File \"" + missing + "\" does not exist!");
  w.Form->close();
  const std::string saved = certtest::ReadAll(ini);
  QVERIFY(saved.find("OutputFilename=" + out + "\n") != std::string::npos);
  QVERIFY(saved.find("InputFilename=" + missing + "\n") != std::string::npos);
}

void FileCommandsTest::outputFileButton() {
  TWindow w;
  w.Form->OutputFileName()->setText(QStringLiteral("  "));
  w.Click("SpeedButton1");
  QCOMPARE(w.Dialogs->Log.last(),
           QStringLiteral("save as Save Certificate File Location: c:\\tavcerti.dat"));
  QCOMPARE(w.Form->OutputFileName()->text(), QStringLiteral("  "));
  w.Dialogs->Files = {QStringLiteral("/data/cert.dat")};
  w.Click("SpeedButton1");
  QCOMPARE(w.Form->OutputFileName()->text(), QStringLiteral("/data/cert.dat"));
}

void FileCommandsTest::readmeWalkthrough() {
  TWindow w;
  const QString failing = QStringLiteral(CERT_SAMPLES_DIR "/failing.dat");
  const std::string copy = w.Dir.File("failing.dat");
  certtest::WriteAll(copy, certtest::ReadAll(failing.toStdString()));
  w.Open(QString::fromStdString(copy));
  w.Click("btnVerify");
  QCOMPARE(w.Counter(), QStringLiteral("Record 2 of 4"));
  QCOMPARE(QApplication::focusWidget(), w.W("editInsuredCity"));
  QTest::keyClicks(w.W("editInsuredCity"), QStringLiteral("Madison"));
  w.Click("btnVerify");
  QCOMPARE(w.Counter(), QStringLiteral("Record 3 of 4"));
  QCOMPARE(QApplication::focusWidget(), w.W("dtpPolicyToDate"));
  QTest::keyClicks(w.W("dtpPolicyToDate"), QStringLiteral("12312026"));
  w.Click("btnVerify");
  QCOMPARE(w.Counter(), QStringLiteral("Record 4 of 4"));
  auto* last = w.As<TwwDBEdit>("editInsuredLastName");
  QTest::mouseClick(last, Qt::LeftButton);
  last->selectAll();
  QTest::keyClick(last, Qt::Key_Delete);
  w.Click("btnVerify");
  QCOMPARE(w.Dialogs->Log.last(),
           QStringLiteral("message: All records have pass the error checking routine."));
  const std::string out = w.Dir.File("fixed.dat");
  w.Form->OutputFileName()->setText(QString::fromStdString(out));
  w.Click("btnWriteFile");
  cert::TCertFormat reread;
  reread.FileNameOpen = out;
  reread.ReadCertFile();
  QVERIFY(reread.CheckAllForErrors());
  QCOMPARE(reread.DetailStr().Count(), 4);
}

void FileCommandsTest::acceleratorsWithAlt() {
  TWindow w;
  // A mnemonic presses its button, which clicks a moment later.
  QTest::keyClick(w.Form.get(), Qt::Key_S, Qt::AltModifier);  // Po&st
  QTRY_COMPARE(w.Form->CertFormat1.DetailStr().Count(), 1);
  QTest::keyClick(w.Form.get(), Qt::Key_A, Qt::AltModifier);  // &Add
  QTRY_COMPARE(w.Form->CertFormat1.DetailRecStatus, cert::drNew);
}
QTEST_MAIN(FileCommandsTest)
