#include "WindowTest.h"

#include <QWheelEvent>

#include "WindowFixture.h"

using namespace wintest;

namespace {

const char* const kAlways[] = {"btnNewFile", "btnOpen", "btnClose", "SpeedButton1"};

// Types a passing header and detail record into the editors of a new window.
void TypePassingRecord(TWindow& w, const QString& last = QStringLiteral("Smith")) {
  w.TypeInto(0, QStringLiteral("Acme Mutual"));
  w.TypeInto(1, QStringLiteral("100 Main St"));
  w.TypeInto(3, QStringLiteral("Madison"));
  w.TypeInto(4, QStringLiteral("W"));  // first state beginning with W: WV
  w.TypeInto(5, QStringLiteral("53703"));
  w.TypeInto(6, QStringLiteral("12345"));
  w.TypeInto(7, QStringLiteral("391234567"));
  w.TypeInto(8, QStringLiteral("1"));
  w.TypeInto(9, QStringLiteral("pol-1"));
  w.TypeInto(11, QStringLiteral("01012026"));
  w.TypeInto(12, QStringLiteral("12312026"));
  w.TypeInto(15, QStringLiteral("01012020"));
  w.TypeInto(16, QStringLiteral("1"));
  w.TypeInto(17, QStringLiteral("1000000"));
  w.TypeInto(18, QStringLiteral("3000000"));
  w.TypeInto(19, QStringLiteral("12345"));
  w.TypeInto(21, last);
  w.TypeInto(22, QStringLiteral("Anna"));
  w.TypeInto(26, QStringLiteral("1 Elm St"));
  w.TypeInto(27, QStringLiteral("Milwaukee"));
  w.TypeInto(28, QStringLiteral("N"));  // NE
  w.TypeInto(29, QStringLiteral("53202"));
  w.TypeInto(30, QStringLiteral("123456789"));
  w.TypeInto(31, QStringLiteral("80263"));
  w.TypeInto(32, QStringLiteral("0"));  // 01
  w.TypeInto(33, QStringLiteral("N"));
  w.TypeInto(34, QStringLiteral("1"));
}

}  // namespace

void WindowTest::startupState() {
  TWindow w;
  QCOMPARE(w.Form->windowTitle(), QStringLiteral("Create New Certificate File"));
  QCOMPARE(w.Form->CertFormat1.DetailRecStatus, cert::drNew);
  QVERIFY(w.On("btnSave") && w.On("btnCancel"));
  for (const char* off : {"btnNew", "btnDelete", "btnRefresh", "btnFirst", "btnPrevious", "btnNext",
                          "btnLast", "btnVerify", "btnWriteFile"})
    QVERIFY2(!w.On(off), off);
  QVERIFY(!w.Form->TrackBar()->isEnabled());
  for (const char* on : kAlways) QVERIFY(w.On(on));
  QCOMPARE(w.Form->ErrorLine()->text(), QStringLiteral(" "));
  QCOMPARE(w.As<QCheckBox>("CheckBox4")->text(), QStringLiteral("License && FIN Number"));
  QCOMPARE(w.Form->OutputFileName()->text(), QStringLiteral("c:\\tavcerti.dat"));
  QCOMPARE(w.W("Label7")->property("text").toString(), QStringLiteral("Insurer FIN #"));
  QCOMPARE(w.W("Label0")->geometry().top(), w.Form->FieldEditor(0)->geometry().top() - 16);
  QCOMPARE(w.W("Label17")->geometry().top(), w.Form->FieldEditor(17)->geometry().top() - 13);
  QCOMPARE(w.Form->FieldEditor(32)->toolTip(), QStringLiteral("Insured's provider type"));
  // The FIN field comes before the NAIC field in tab order.
  QWidget* next = w.Form->FieldEditor(7)->nextInFocusChain();
  while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
  QCOMPARE(next, w.Form->FieldEditor(6));
  // Showing again does not start over.
  w.Form->hide();
  w.Form->CertFormat1.DetailRecStatus = cert::drBrowse;
  w.Show();
  QCOMPARE(w.Form->CertFormat1.DetailRecStatus, cert::drBrowse);
}

void WindowTest::typeAndPostFirstRecord() {
  TWindow w;
  TypePassingRecord(w);
  QCOMPARE(w.Form->ErrorLine()->text(), QString());
  w.Click("btnSave");
  const auto& list = w.Form->CertFormat1.DetailStr();
  QCOMPARE(list.Count(), 1);
  cert::TDetailRec d;
  certtest::FillPassingDetail(d);
  d.DPolicyNum = "POL-1";
  d.DPolicyFormNum = "";
  d.DInsuredState = "NE";
  const std::string expected = cert::BuildDetailLine(d, "2");
  for (int n = cert::FirstDetailField; n < cert::FieldCount; ++n) {
    const auto& def = cert::FieldTable[n];
    QCOMPARE(QString::fromStdString(std::string(list[0].substr(def.FirstCol - 1, def.Width))),
             QString::fromStdString(expected.substr(def.FirstCol - 1, def.Width)));
  }
  QCOMPARE(w.Counter(), QStringLiteral("Record 1 of 1"));
  QVERIFY(w.On("btnNew") && w.On("btnDelete") && w.On("btnVerify") && w.On("btnWriteFile"));
  QVERIFY(!w.On("btnSave") && !w.On("btnCancel") && !w.On("btnFirst") && !w.On("btnNext"));
  QVERIFY(w.Form->TrackBar()->isEnabled());
}

void WindowTest::navigationAndEnabling() {
  TWindow w;
  w.Open(w.MakeFile(QStringLiteral("three.dat"), {"Able", "Baker", "Cole"}));
  QCOMPARE(w.Counter(), QStringLiteral("Record 1 of 3"));
  QVERIFY(!w.On("btnFirst") && !w.On("btnPrevious") && w.On("btnNext") && w.On("btnLast"));
  w.Click("btnNext");
  QCOMPARE(w.As<TwwDBEdit>("editInsuredLastName")->text(), QStringLiteral("Baker"));
  QVERIFY(w.On("btnFirst") && w.On("btnPrevious") && w.On("btnNext") && w.On("btnLast"));
  w.Click("btnLast");
  QCOMPARE(w.Counter(), QStringLiteral("Record 3 of 3"));
  QVERIFY(!w.On("btnNext") && !w.On("btnLast") && w.On("btnDelete") && w.On("btnNew"));
  w.TypeInto(23, QStringLiteral("Q"));  // an edit
  QCOMPARE(w.Form->CertFormat1.DetailRecStatus, cert::drEdit);
  QVERIFY(w.On("btnSave") && w.On("btnCancel") && !w.On("btnNew") && w.On("btnDelete"));
  w.Click("btnCancel");
  QCOMPARE(w.As<TwwDBEdit>("editInsuredMidName")->text(), QString());
  QVERIFY(!w.On("btnSave") && w.On("btnNew"));
  w.Click("btnNew");
  QVERIFY(w.On("btnSave") && w.On("btnCancel") && !w.On("btnNew") && !w.On("btnDelete"));
  QVERIFY(w.On("btnRefresh") && w.On("btnPrevious"));
  w.Click("btnFirst");
  QCOMPARE(w.Counter(), QStringLiteral("Record 1 of 4"));
}

void WindowTest::addRemembers_data() {
  QTest::addColumn<QString>("unchecked");  // remember boxes cleared, by number
  QTest::addColumn<QList<int>>("emptied");
  QTest::newRow("all kept") << "" << QList<int>{13, 14};
  QList<int> all;
  for (int n = 9; n <= 34; ++n) all << n;
  QTest::newRow("none kept") << "1,2,3,4,5,6,7,8,9,10,11,12,13" << all;
  QTest::newRow("limited cov type") << "12" << QList<int>{13, 14, 33, 34};
}

void WindowTest::addRemembers() {
  QFETCH(QString, unchecked);
  QFETCH(QList<int>, emptied);
  TWindow w;
  const std::string extra = [] {
    cert::TDetailRec d;
    certtest::FillPassingDetail(d, "Revised");
    d.DRecordProcessingType = "2";
    d.DPolicyRevisedDate = "20260601";
    d.DPolicyFormNum = "F-9";
    d.DInsuredMidName = "Q";
    return cert::BuildDetailLine(d, "2") + "\r\n";
  }();
  w.Open(w.MakeFile(QStringLiteral("one.dat"), {}, extra));
  for (const QString& n : unchecked.split(QLatin1Char(','), Qt::SkipEmptyParts))
    w.As<QCheckBox>(qPrintable(QStringLiteral("CheckBox") + n))->setChecked(false);
  w.Click("btnNew");
  QCOMPARE(w.Form->CertFormat1.DetailRecStatus, cert::drNew);
  for (int n = 9; n < cert::FieldCount; ++n) {
    QWidget* e = w.Form->FieldEditor(n);
    bool empty;
    if (auto* m = dynamic_cast<TwwDBEdit*>(e))
      empty = m->text().isEmpty();
    else if (auto* d = dynamic_cast<TwwDBDateTimePicker*>(e))
      empty = d->Date() == 0;
    else
      empty = dynamic_cast<TwwDBComboBox*>(e)->ItemIndex() == -1;
    const bool hadValue = !w.Form->CertFormat1.DetailRec.Field(n).Empty() || n == 13;
    if (emptied.contains(n))
      QVERIFY2(empty, qPrintable(QString::number(n)));
    else if (hadValue)
      QVERIFY2(!empty, qPrintable(QString::number(n)));
  }
  QCOMPARE(w.As<TwwDBEdit>("editInsurerName")->text(), QStringLiteral("Acme Mutual Insurance"));
}

void WindowTest::deleteRecords() {
  TWindow w;
  w.Open(w.MakeFile(QStringLiteral("three.dat"), {"Able", "Baker", "Cole"}));
  w.Click("btnNext");
  w.Dialogs->OkCancel = {false};
  w.Click("btnDelete");
  QCOMPARE(w.Dialogs->Log.last(),
           QStringLiteral("confirm: Are you sure you want to delete the current detail record?"));
  QCOMPARE(w.Form->CertFormat1.DetailStr().Count(), 3);
  w.Click("btnDelete");  // the middle one
  QCOMPARE(w.As<TwwDBEdit>("editInsuredLastName")->text(), QStringLiteral("Cole"));
  QCOMPARE(w.Counter(), QStringLiteral("Record 2 of 2"));
  w.As<QCheckBox>("cbConfirmDel")->setChecked(false);
  const int asked = w.Dialogs->Log.size();
  w.Click("btnDelete");  // the last one
  QCOMPARE(w.Dialogs->Log.size(), asked);
  QCOMPARE(w.As<TwwDBEdit>("editInsuredLastName")->text(), QStringLiteral("Able"));
  w.Form->CertFormat1.HeaderRec.HInsurerCity = "";
  w.Click("btnRefresh");  // shows the header error
  QVERIFY(w.Form->FlashTimerActive());
  w.Click("btnDelete");  // the only one
  QCOMPARE(w.Counter(), QStringLiteral("Record 0 of 0"));
  QCOMPARE(w.Form->ErrorLine()->text(), QString());
  QVERIFY(!w.Form->FlashTimerActive());
  QVERIFY(!w.On("btnDelete") && !w.On("btnRefresh") && !w.On("btnVerify") &&
          !w.On("btnWriteFile") && !w.Form->TrackBar()->isEnabled());
}

void WindowTest::errorLineAndFlashing() {
  TWindow w;
  w.TypeInto(0, QStringLiteral("A"));
  QCOMPARE(w.Form->ErrorLine()->text(), QStringLiteral("*** Insurer's address is required!"));
  QCOMPARE(w.Form->ErrorLine()->palette().color(QPalette::Window), QColor(128, 0, 0));
  QCOMPARE(w.Form->Components()[w.Form->FlashLabelIndex()]->objectName(), QStringLiteral("Label1"));
  QVERIFY(w.Form->FlashTimerActive());
  auto* label = w.As<QLabel>("Label1");
  QVERIFY(label->autoFillBackground());
  const QColor own = label->palette().color(QPalette::Window);
  w.Form->TmrFlashLabelTimer();
  QCOMPARE(label->palette().color(QPalette::Window), QColor(255, 255, 0));
  w.TypeInto(1, QStringLiteral("1 Main"));  // the next failure moves the flashing
  QVERIFY(!label->autoFillBackground());
  QCOMPARE(label->palette().color(QPalette::Window), own);
  auto* city = w.As<QLabel>("Label3");
  QVERIFY(city->autoFillBackground());
  // The phase carried over: the first tick shows the label's own colour.
  w.Form->TmrFlashLabelTimer();
  QCOMPARE(city->palette().color(QPalette::Window), own);
  w.Form->TmrFlashLabelTimer();
  QCOMPARE(city->palette().color(QPalette::Window), QColor(255, 255, 0));
  TypePassingRecord(w);
  QCOMPARE(w.Form->ErrorLine()->text(), QString());
  QVERIFY(!w.Form->FlashTimerActive());
  QVERIFY(!city->autoFillBackground());
  w.Form->StartFlashing(QStringLiteral("Label99"));
  QCOMPARE(w.Form->FlashLabelIndex(), -1);
}

void WindowTest::lengthMessages() {
  TWindow w;
  QVERIFY(w.Form->LengthLabel()->isHidden());
  w.TypeInto(0, QString(45, QLatin1Char('n')));
  QTest::keyClick(w.Form->FieldEditor(0), Qt::Key_Home);
  QTest::keyClicks(w.Form->FieldEditor(0), QStringLiteral("x"));
  QCOMPARE(w.Form->LengthLabel()->text(),
           QStringLiteral("Cannot be more than 45 characters and/or digits."));
  QVERIFY(w.Form->LengthLabel()->isVisible());
  QTest::keyClick(w.Form->FieldEditor(0), Qt::Key_Delete);
  QVERIFY(w.Form->LengthLabel()->isHidden());
  w.TypeInto(7, QStringLiteral("123"));
  QCOMPARE(w.Form->LengthLabel()->text(),
           QStringLiteral("Must be exactly 9 characters and/or digits."));
  QTest::keyClick(w.Form->FieldEditor(7), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), w.Form->FieldEditor(7));
  QCOMPARE(w.Dialogs->Beeps, 1);
}

void WindowTest::trackBarPageSize_data() {
  QTest::addColumn<int>("records");
  QTest::addColumn<int>("pageStep");
  QTest::newRow("9") << 9 << 2;
  QTest::newRow("25") << 25 << 4;
  QTest::newRow("100") << 100 << 12;
}

void WindowTest::trackBarPageSize() {
  QFETCH(int, records);
  TWindow w;
  std::vector<std::string> names;
  for (int i = 0; i < records; ++i) names.push_back("N" + std::to_string(i));
  w.Open(w.MakeFile(QStringLiteral("many.dat"), names));
  QCOMPARE(w.Form->TrackBar()->maximum(), records);
  QTEST(w.Form->TrackBar()->pageStep(), "pageStep");
  w.Form->TrackBar()->setValue(3);  // not focused: the program moving it is no navigation
  QCOMPARE(w.Form->CertFormat1.DetailIndex(), 0);
  w.Form->TrackBar()->setFocus();
  QTest::keyClick(w.Form->TrackBar(), Qt::Key_Right);
  QCOMPARE(w.Form->CertFormat1.DetailIndex(), 3);
  QCOMPARE(w.Counter(), QStringLiteral("Record 4 of %1").arg(records));
}

void WindowTest::storedCodesAndBadDates() {
  TWindow w;
  cert::TDetailRec d;
  certtest::FillPassingDetail(d);
  d.DInsuredState = "A";
  d.DPolicyRetroDate = "20261399";
  w.Open(w.MakeFile(QStringLiteral("odd.dat"), {}, cert::BuildDetailLine(d, "2") + "\r\n"));
  QCOMPARE(w.As<TwwDBComboBox>("dbcomboInsuredState")->text(), QStringLiteral("AL - ALABAMA"));
  QCOMPARE(w.As<TwwDBDateTimePicker>("dtpPolicyRetroDate")->Date(), 0L);
  QCOMPARE(w.Form->CertFormat1.DetailRec.DPolicyRetroDate.Str(), std::string("20261399"));
  QCOMPARE(w.Form->CertFormat1.DetailRecStatus, cert::drBrowse);
  QVERIFY(!w.Form->CertFormat1.FileChanged());
  w.Form->ShowDetail(true);
  QCOMPARE(w.Form->CertFormat1.DetailRec.DPolicyRetroDate.Str(), std::string("20261399"));
  cert::THeaderRec h;
  certtest::FillPassingHeader(h);
  h.HInsurerType = " ";
  h.HInsurerState = "  ";
  w.Form->CertFormat1.HeaderRec = h;
  w.Form->ShowHeader(false);
  QCOMPARE(w.As<TwwDBComboBox>("dbcomboInsurerType")->text(),
           QStringLiteral("1 - LICENSED INSURER"));
  QCOMPARE(w.As<TwwDBComboBox>("dbcomboInsurerState")->ItemIndex(), -1);
}

void WindowTest::trackBarFollowsTheUser_data() {
  QTest::addColumn<QString>("how");
  QTest::newRow("wheel over the unfocused bar") << "wheel";
  QTest::newRow("arrow key on the focused bar") << "key";
  QTest::newRow("page key on the focused bar") << "page";
}

void WindowTest::trackBarFollowsTheUser() {
  QFETCH(QString, how);
  TWindow w;
  const std::vector<std::string> names = {"Able", "Baker", "Cole", "Dunn", "Eddy"};
  w.Open(w.MakeFile(QStringLiteral("five.dat"), names));
  QSlider* bar = w.Form->TrackBar();
  w.Form->FieldEditor(cert::fnDInsuredLastName)->setFocus();
  if (how == QLatin1String("wheel")) {
    const QPointF at(bar->width() / 2, bar->height() / 2);
    QWheelEvent wheel(at, bar->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &wheel);
    QVERIFY(!bar->hasFocus());
  } else {
    bar->setFocus();
    QTest::keyClick(bar, how == QLatin1String("key") ? Qt::Key_Right : Qt::Key_PageUp);
  }
  QVERIFY(bar->value() > 1);
  const int i = w.Form->CertFormat1.DetailIndex();
  QCOMPARE(bar->value(), i + 1);
  QCOMPARE(w.Counter(), QStringLiteral("Record %1 of 5").arg(i + 1));
  QCOMPARE(w.As<TwwDBEdit>("editInsuredLastName")->text(),
           QString::fromStdString(names[std::size_t(i)]));
  // A command moves the bar with the record and nothing more, focused or not.
  w.Click("btnFirst");
  QCOMPARE(bar->value(), 1);
  QCOMPARE(w.Form->CertFormat1.DetailIndex(), 0);
  QCOMPARE(w.Form->CertFormat1.DetailRecStatus, cert::drBrowse);
}

namespace {

QWidget* Tab(bool forward = true) {
  QTest::keyClick(QApplication::focusWidget(), forward ? Qt::Key_Tab : Qt::Key_Backtab);
  return QApplication::focusWidget();
}

QString Where(QWidget* w) {
  return w ? w->parentWidget()->objectName() + "/" + w->objectName() : QStringLiteral("none");
}

}  // namespace

void WindowTest::tabOrderPassesEachToolBarOnce() {
  TWindow w;
  w.Open(w.MakeFile(QStringLiteral("three.dat"), {"Able", "Baker", "Cole"}));
  w.Click("btnNext");  // every navigation command enabled
  QStringList expected;
  for (int n : {0, 1, 2, 3, 4, 5, 7, 6, 8, 20, 34, 21, 22, 23, 24, 25, 26, 27, 28, 29, 31, 32, 33})
    expected << Where(w.Form->FieldEditor(n));
  expected << QStringLiteral("ToolBar1/btnFirst");
  for (int n : {19, 30, 11, 12, 13, 14, 15, 16, 9, 10, 17, 18})
    expected << Where(w.Form->FieldEditor(n));
  expected << QStringLiteral("ToolBar2/btnVerify") << QStringLiteral("Panel6/cbConfirmDel")
           << QStringLiteral("Panel6/TrackBar1") << QStringLiteral("Panel7/editLoc")
           << QStringLiteral("Panel7/SpeedButton1");
  for (int n = 1; n <= 13; ++n) expected << QStringLiteral("Panel5/CheckBox%1").arg(n);

  // From the first field to the last remember box, then back again; whatever follows the last
  // box is not part of this order.
  w.Form->FieldEditor(0)->setFocus(Qt::TabFocusReason);
  QStringList forward{Where(QApplication::focusWidget())};
  while (forward.size() < expected.size()) forward << Where(Tab());
  QCOMPARE(forward, expected);
  QStringList backward{Where(QApplication::focusWidget())};
  while (backward.size() < expected.size()) backward.prepend(Where(Tab(false)));
  QCOMPARE(backward, expected);
}

void WindowTest::arrowKeysWithinAToolBar() {
  TWindow w;  // a new record: Post and Cancel are the enabled record commands
  QWidget* limitCov = w.Form->FieldEditor(cert::fnDLimitedCovInd);
  limitCov->setFocus(Qt::TabFocusReason);
  QCOMPARE(Where(Tab()), QStringLiteral("ToolBar1/btnSave"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  QCOMPARE(Where(QApplication::focusWidget()), QStringLiteral("ToolBar1/btnCancel"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);  // round to the first
  QCOMPARE(Where(QApplication::focusWidget()), QStringLiteral("ToolBar1/btnSave"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
  QCOMPARE(Where(QApplication::focusWidget()), QStringLiteral("ToolBar1/btnCancel"));
  QCOMPARE(Tab(), w.Form->FieldEditor(cert::fnDInsuredLicenseNum));
  // Back into the bar at the button last used.
  QCOMPARE(Where(Tab(false)), QStringLiteral("ToolBar1/btnCancel"));
  QCOMPARE(Tab(false), limitCov);
  // A command that turns itself off leaves the focus in its bar, on an enabled button.
  QCOMPARE(Where(Tab()), QStringLiteral("ToolBar1/btnCancel"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);  // Post
  QCOMPARE(w.Form->CertFormat1.DetailStr().Count(), 1);
  QWidget* now = QApplication::focusWidget();
  QCOMPARE(now->parentWidget()->objectName(), QStringLiteral("ToolBar1"));
  QVERIFY(now->isEnabled());
  QCOMPARE(Tab(), w.Form->FieldEditor(cert::fnDInsuredLicenseNum));
}

QTEST_MAIN(WindowTest)
