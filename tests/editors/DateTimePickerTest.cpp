#include "DateTimePickerTest.h"

#include <QCalendarWidget>
#include <QScreen>
#include <QTest>

#include "CertDate.h"
#include "CertFormat.h"
#include "EditorFixture.h"
#include "TwwDBDateTimePicker.h"

using edtest::Beeps;
using edtest::Type;

namespace {

long Days(const QString& yyyymmdd) {
  cert::TYmd d;
  if (!cert::ReadYYYYMMDD(yyyymmdd.toStdString(), d)) return 0;
  return cert::DaysFromYmd(d);
}

QString Shown(long days) {
  return days ? QString::fromStdString(cert::FormatYYYYMMDD(cert::YmdFromDays(days))) : QString();
}

struct TDateField {
  edtest::TWindow W;
  TwwDBDateTimePicker* Edit;
  int Changes = 0;
  TDateField() {
    Edit = new TwwDBDateTimePicker(&W.Top);
    Edit->setGeometry(10, 10, 105, 19);
    Edit->OnChange = cert::TChangeHandler([this](cert::TObject*) { ++Changes; });
  }
};

}  // namespace

void DateTimePickerTest::init() {
  edtest::FixEnvironment();
  Beeps() = 0;
}

void DateTimePickerTest::keys_data() {
  QTest::addColumn<QString>("initial");
  QTest::addColumn<QString>("keys");
  QTest::addColumn<QString>("date");
  QTest::addColumn<int>("part");
  QTest::addColumn<int>("beeps");
  QTest::newRow("typed date") << ""
                              << "1252004"
                              << "20041205" << 3 << 0;
  QTest::newRow("february lowers day") << "20260430"
                                       << "02"
                                       << "20260228" << 2 << 0;
  QTest::newRow("february leap") << "20240430"
                                 << "02"
                                 << "20240229" << 2 << 0;
  QTest::newRow("february 29 moves year") << "20250329"
                                          << "02"
                                          << "20280229" << 2 << 0;
  // A refused second digit leaves the first one pending, and reading the date completes it.
  QTest::newRow("day 30 of february") << "20260210"
                                      << "{Right}30"
                                      << "20260203" << 2 << 1;
  QTest::newRow("month 13 refused") << "20260210"
                                    << "13{Tab}"
                                    << "20260110" << 1 << 1;
  QTest::newRow("month 00 refused") << "20260210"
                                    << "00"
                                    << "20260210" << 1 << 1;
  QTest::newRow("single month digit") << "20260210"
                                      << "5"
                                      << "20260510" << 2 << 0;
  QTest::newRow("year 99") << "20261210"
                           << "{Right}{Right}99{Tab}"
                           << "19991210" << 3 << 0;
  QTest::newRow("year 49") << "20261210"
                           << "{Right}{Right}49{Tab}"
                           << "20491210" << 3 << 0;
  QTest::newRow("year 50") << "20261210"
                           << "{Right}{Right}50{Tab}"
                           << "19501210" << 3 << 0;
  QTest::newRow("year 7") << "20261210"
                          << "{Right}{Right}7{Tab}"
                          << "20071210" << 3 << 0;
  QTest::newRow("year 0000 keeps") << "20261210"
                                   << "{Right}{Right}0000"
                                   << "20261210" << 3 << 0;
  QTest::newRow("year of three digits") << "20261210"
                                        << "{Right}{Right}200{Enter}"
                                        << "20261210" << 3 << 0;
  QTest::newRow("year before 1899") << "20261210"
                                    << "{Right}{Right}1850"
                                    << "20261210" << 3 << 1;
  QTest::newRow("up wraps day") << "20260131"
                                << "{Right}{Up}"
                                << "20260101" << 2 << 0;
  QTest::newRow("down wraps month") << "20260115"
                                    << "{Down}"
                                    << "20261215" << 1 << 0;
  QTest::newRow("home year") << "20260115"
                             << "{Right}{Right}{Home}"
                             << "19000115" << 3 << 0;
  QTest::newRow("end day") << "20260215"
                           << "{Right}{End}"
                           << "20260228" << 2 << 0;
  QTest::newRow("delete empties") << "20260115"
                                  << "{Right}{Left}{Del}"
                                  << "" << 1 << 0;
  QTest::newRow("backspace on day part") << "20260115"
                                         << "{Right}{BS}"
                                         << "20260115" << 1 << 0;
  QTest::newRow("backspace after entry") << "20260115"
                                         << "{BS}"
                                         << "" << 1 << 0;
  QTest::newRow("space fills today") << ""
                                     << " "
                                     << "20261210" << 2 << 0;
  QTest::newRow("delete on empty stays") << ""
                                         << "{Del}"
                                         << "" << 1 << 0;
  QTest::newRow("esc restores") << "20261210"
                                << "05{Esc}"
                                << "20261210" << 1 << 0;
  QTest::newRow("esc restores empty") << ""
                                      << "1{Esc}"
                                      << "" << 1 << 0;
  QTest::newRow("letters ignored") << "20261210"
                                   << "ab"
                                   << "20261210" << 1 << 0;
  QTest::newRow("slash completes part") << "20261210"
                                        << "1/"
                                        << "20260110" << 2 << 0;
}

void DateTimePickerTest::keys() {
  QFETCH(QString, initial);
  QFETCH(QString, keys);
  TDateField f;
  f.Edit->SetDate(Days(initial));
  f.W.Show(f.Edit);
  Type(f.Edit, keys);
  QTEST(Shown(f.Edit->Date()), "date");
  QTEST(f.Edit->CurrentPart(), "part");
  QTEST(Beeps(), "beeps");
}

void DateTimePickerTest::programWrites() {
  TDateField f;
  QCOMPARE(f.Edit->Date(), 0L);
  QCOMPARE(f.Edit->text(), QString());
  f.Edit->SetDate(0);
  QCOMPARE(f.Changes, 0);
  f.Edit->SetTime(0.75);
  f.Edit->SetDate(Days(QStringLiteral("20041205")));
  QCOMPARE(f.Edit->text(), QStringLiteral("12/05/2004"));
  QCOMPARE(f.Changes, 1);
  f.Edit->SetDate(Days(QStringLiteral("20041205")));
  QCOMPARE(f.Changes, 1);
  f.Edit->SetDate(Days(QStringLiteral("20050101")));
  QCOMPARE(f.Edit->DateTime() - f.Edit->Date(), 0.75);
}

void DateTimePickerTest::mouseSelectsPart() {
  TDateField f;
  f.Edit->SetDate(Days(QStringLiteral("20261210")));
  f.W.Show(f.Edit);
  QTest::mouseClick(f.Edit, Qt::LeftButton, {}, QPoint(f.Edit->width() - 30, 9));
  QCOMPARE(f.Edit->CurrentPart(), 3);
  Type(f.Edit, QStringLiteral("1"));  // a pending year digit is completed by the next click
  QTest::mouseClick(f.Edit, Qt::LeftButton, {}, QPoint(4, 9));
  QCOMPARE(f.Edit->CurrentPart(), 1);
  QCOMPARE(Shown(f.Edit->Date()), QStringLiteral("20011210"));
}

void DateTimePickerTest::calendarWritesThroughAndEscRestores() {
  TDateField f;
  f.W.Show(f.Edit);
  QTest::keyClick(f.Edit, Qt::Key_F4);
  auto* popup = QApplication::activePopupWidget();
  QVERIFY(popup);
  QCOMPARE(popup->objectName(), QStringLiteral("CalendarPopup"));
  QCOMPARE(Shown(f.Edit->Date()), QStringLiteral("20261210"));
  QCOMPARE(f.Edit->Calendar()->selectedDate(), QDate(2026, 12, 10));
  const int before = f.Changes;
  f.Edit->Calendar()->setSelectedDate(QDate(2026, 12, 11));
  QCOMPARE(Shown(f.Edit->Date()), QStringLiteral("20261211"));
  QVERIFY(f.Changes > before);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  QVERIFY(!f.Edit->CalendarOpen());
  QCOMPARE(f.Edit->Date(), 0L);
  QVERIFY(f.Edit->hasFocus());
}

void DateTimePickerTest::calendarClickAndPlacement() {
  TDateField f;
  f.Edit->SetDate(Days(QStringLiteral("20260115")));
  f.W.Show(f.Edit);
  f.Edit->OpenCalendar();
  QWidget* popup = QApplication::activePopupWidget();
  QVERIFY(popup);
  // The offscreen platform may add its 2-pixel window frame to a pop-up's position.
  QVERIFY(qAbs(popup->frameGeometry().top() -
               f.Edit->mapToGlobal(QPoint(0, f.Edit->height())).y()) <= 2);
  f.Edit->Calendar()->setSelectedDate(QDate(2026, 1, 20));  // what a click on the day does
  emit f.Edit->Calendar()->clicked(QDate(2026, 1, 20));
  QVERIFY(!f.Edit->CalendarOpen());
  QCOMPARE(Shown(f.Edit->Date()), QStringLiteral("20260120"));

  const QRect screen = f.W.Top.screen()->availableGeometry();
  f.W.Top.move(screen.left() + 10, screen.bottom() - 60);
  QApplication::processEvents();
  f.Edit->OpenCalendar();
  popup = QApplication::activePopupWidget();
  QVERIFY(popup);
  QVERIFY(popup->frameGeometry().bottom() < f.Edit->mapToGlobal(QPoint(0, 0)).y());
  QVERIFY(popup->frameGeometry().bottom() >= f.Edit->mapToGlobal(QPoint(0, 0)).y() - 3);
  f.Edit->CloseCalendar(true);
}

void DateTimePickerTest::changeReachesWorkspace() {
  TDateField f;
  cert::TCertFormat cert;
  cert.BindEditor(11, f.Edit);
  cert.NewDetailRec();
  f.W.Show(f.Edit);
  Type(f.Edit, QStringLiteral("1252004"));
  QCOMPARE(cert.DetailRec.DPolicyFromDate.Str(), std::string("20041205"));
  Type(f.Edit, QStringLiteral("{BS}{Left}{Left}{Del}"));
  QCOMPARE(cert.DetailRec.DPolicyFromDate.Str(), std::string());
  QCOMPARE(f.Edit->EditorClass(), cert::ecDateTimePicker);
}

void DateTimePickerTest::refusedYearDigitKeepsTextAndValue() {
  TDateField f;
  f.Edit->SetDate(Days(QStringLiteral("20041205")));
  f.W.Show(f.Edit);
  Type(f.Edit, QStringLiteral("{Right}{Right}180"));
  QCOMPARE(f.Edit->text(), QStringLiteral("12/05/180"));
  const int changes = f.Changes;
  Type(f.Edit, QStringLiteral("0"));  // 1800 lies before the first date
  QCOMPARE(Beeps(), 1);
  QCOMPARE(f.Edit->text(), QStringLiteral("12/05/180"));
  QCOMPARE(f.Edit->EditorDate(), Days(QStringLiteral("20041205")));
  QCOMPARE(f.Changes, changes);
  QCOMPARE(f.Edit->CurrentPart(), 3);
  // Completing the entry takes three digits as a year before the first date: not taken.
  Type(f.Edit, QStringLiteral("{Enter}"));
  QCOMPARE(f.Edit->text(), QStringLiteral("12/05/2004"));
  QCOMPARE(Shown(f.Edit->Date()), QStringLiteral("20041205"));
}

void DateTimePickerTest::anotherWindowIsNotANewVisit() {
  TDateField f;
  f.Edit->SetDate(Days(QStringLiteral("20041205")));
  f.W.Show(f.Edit);
  Type(f.Edit, QStringLiteral("{Right}{Up}"));
  QCOMPARE(Shown(f.Edit->Date()), QStringLiteral("20041206"));
  f.W.VisitAnotherWindow();
  QVERIFY(f.Edit->hasFocus());
  Type(f.Edit, QStringLiteral("{Esc}"));
  QCOMPARE(Shown(f.Edit->Date()), QStringLiteral("20041205"));
}

void DateTimePickerTest::nothingDroppedIntoTheDate() {
  TDateField f;
  f.Edit->SetDate(Days(QStringLiteral("20041205")));
  f.W.Show(f.Edit);
  const int changes = f.Changes;
  edtest::DropText(f.Edit, QStringLiteral("13/45/x"), 5);
  QCOMPARE(f.Edit->text(), QStringLiteral("12/05/2004"));
  QCOMPARE(f.Changes, changes);
}

QTEST_MAIN(DateTimePickerTest)
