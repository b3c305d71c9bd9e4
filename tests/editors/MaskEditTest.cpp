#include "MaskEditTest.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMimeData>
#include <QTest>

#include "CertFormat.h"
#include "EditorFixture.h"
#include "TwwDBEdit.h"

using edtest::Beeps;
using edtest::Type;

namespace {

// A masked field set up as the window sets its fields, reporting OnCheckValue as "T"/"F".
struct TMaskField {
  edtest::TWindow W;
  TwwDBEdit* Edit;
  QString Reports;
  int Changes = 0;
  explicit TMaskField(const QString& mask) {
    Edit = new TwwDBEdit(&W.Top);
    Edit->setGeometry(10, 10, 200, 19);
    Edit->Picture.PictureMask = mask.toStdString();
    Edit->OnCheckValue = [this](cert::TObject* s, bool ok) {
      QCOMPARE(s, static_cast<cert::TObject*>(Edit));
      Reports += ok ? QLatin1Char('T') : QLatin1Char('F');
    };
    Edit->OnChange = cert::TChangeHandler([this](cert::TObject*) { ++Changes; });
  }
};

}  // namespace

void MaskEditTest::init() {
  edtest::FixEnvironment();
  Beeps() = 0;
}

void MaskEditTest::typing_data() {
  QTest::addColumn<QString>("mask");
  QTest::addColumn<QString>("initial");
  QTest::addColumn<QString>("keys");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("reports");
  QTest::addColumn<int>("beeps");
  QTest::addColumn<bool>("keepsFocus");
  const QString k45(45, QLatin1Char('x'));
  QTest::newRow("fin eight digits") << "*9{#}"
                                    << ""
                                    << "12345678"
                                    << "12345678"
                                    << "FFFFFFFF" << 0 << true;
  QTest::newRow("fin ninth completes") << "*9{#}"
                                       << ""
                                       << "123456789"
                                       << "123456789"
                                       << "FFFFFFFFT" << 0 << true;
  QTest::newRow("fin tenth refused") << "*9{#}"
                                     << ""
                                     << "1234567890"
                                     << "123456789"
                                     << "FFFFFFFFT" << 1 << true;
  QTest::newRow("fin letter refused") << "*9{#}"
                                      << ""
                                      << "12a"
                                      << "12"
                                      << "FF" << 1 << true;
  QTest::newRow("fin exit refused") << "*9{#}"
                                    << ""
                                    << "12345{Tab}"
                                    << "12345"
                                    << "FFFFFF" << 1 << true;
  QTest::newRow("fin cleared may leave") << "*9{#}"
                                         << ""
                                         << "12{BS}{BS}{Tab}"
                                         << ""
                                         << "FFFTT" << 0 << false;
  QTest::newRow("fin esc restores") << "*9{#}"
                                    << ""
                                    << "12345{Esc}{Tab}"
                                    << ""
                                    << "FFFFFT" << 0 << false;
  QTest::newRow("zip hyphen supplied") << "*5{#}[-*4#]"
                                       << ""
                                       << "123456"
                                       << "12345-6"
                                       << "FFFFTF" << 0 << true;
  QTest::newRow("zip space to hyphen") << "*5{#}[-*4#]"
                                       << ""
                                       << "12345 "
                                       << "12345-"
                                       << "FFFFTF" << 0 << true;
  QTest::newRow("zip hyphen refused on exit") << "*5{#}[-*4#]"
                                              << ""
                                              << "12345 {Tab}"
                                              << "12345-"
                                              << "FFFFTFF" << 1 << true;
  QTest::newRow("zip partial plus4 refused") << "*5{#}[-*4#]"
                                             << ""
                                             << "12345678{Tab}"
                                             << "12345-678"
                                             << "FFFFTFFFF" << 1 << true;
  QTest::newRow("zip full may leave") << "*5{#}[-*4#]"
                                      << ""
                                      << "123456789{Tab}"
                                      << "12345-6789"
                                      << "FFFFTFFFTT" << 0 << false;
  QTest::newRow("upper-cased") << "*25[!]"
                               << ""
                               << "ab"
                               << "AB"
                               << "TT" << 0 << true;
  QTest::newRow("46th at end refused") << "*45[@]" << k45 << "{End}y" << k45 << "" << 1 << true;
  QTest::newRow("46th in middle inserted") << "*45[@]" << k45 << "{Home}y{Tab}"
                                           << "y" + k45 << "FF" << 1 << true;
  QTest::newRow("unchanged invalid may leave") << "*9{#}"
                                               << "123"
                                               << "{Tab}"
                                               << "123"
                                               << "" << 0 << false;
  QTest::newRow("enter does nothing") << "*9{#}"
                                      << ""
                                      << "1{Enter}"
                                      << "1"
                                      << "F" << 0 << true;
  QTest::newRow("backspace checks what is left") << "*9{#}"
                                                 << ""
                                                 << "123456789{BS}"
                                                 << "12345678"
                                                 << "FFFFFFFFTF" << 0 << true;
  QTest::newRow("euro sign is a byte")
      << "*45[@]"
      << "" << QString(QChar(0x20AC)) << QString(QChar(0x20AC)) << "T" << 0 << true;
  QTest::newRow("omega has no byte") << "*45[@]"
                                     << "" << QString(QChar(0x3A9)) << ""
                                     << "" << 1 << true;
  QTest::newRow("policy number upper") << "*22[!]"
                                       << ""
                                       << "ab 1/2"
                                       << "AB 1/2"
                                       << "TTTTTT" << 0 << true;
  QTest::newRow("license eighth refused") << "*7[!]"
                                          << ""
                                          << "ab-12345"
                                          << "AB-1234"
                                          << "TTTTTTT" << 1 << true;
  QTest::newRow("limit letter refused") << "*9[#]"
                                        << ""
                                        << "1a"
                                        << "1"
                                        << "T" << 1 << true;
  QTest::newRow("limit comma refused") << "*9[#]"
                                       << ""
                                       << "1,000"
                                       << "1000"
                                       << "TTTT" << 1 << true;
  QTest::newRow("naic ninth refused") << "*8[#]"
                                      << ""
                                      << "123456789"
                                      << "12345678"
                                      << "TTTTTTTT" << 1 << true;
  QTest::newRow("iso sixth refused") << "*5[#]"
                                     << ""
                                     << "123456"
                                     << "12345"
                                     << "TTTTT" << 1 << true;
  QTest::newRow("suffix fourth refused") << "*3[@]"
                                         << ""
                                         << "Jr.x"
                                         << "Jr."
                                         << "TTT" << 1 << true;
  QTest::newRow("address any characters") << "*30[@]"
                                          << ""
                                          << "1 A St #2"
                                          << "1 A St #2"
                                          << "TTTTTTTTT" << 0 << true;
  QTest::newRow("city may leave") << "*28[@]"
                                  << ""
                                  << "Eau Claire{Tab}"
                                  << "Eau Claire"
                                  << "TTTTTTTTTTT" << 0 << false;
  QTest::newRow("names keep case") << "*15[@]"
                                   << ""
                                   << "mcD"
                                   << "mcD"
                                   << "TTT" << 0 << true;
  QTest::newRow("last name punctuation") << "*25[@]"
                                         << ""
                                         << "X-Y'Z"
                                         << "X-Y'Z"
                                         << "TTTTT" << 0 << true;
  QTest::newRow("no mask types freely") << ""
                                        << ""
                                        << "a1-"
                                        << "a1-"
                                        << "" << 0 << true;
}

void MaskEditTest::typing() {
  QFETCH(QString, mask);
  QFETCH(QString, initial);
  QFETCH(QString, keys);
  TMaskField f(mask);
  f.Edit->SetText(initial.toStdString());
  f.W.Show(f.Edit);
  Type(f.Edit, keys);
  QApplication::processEvents();
  QTEST(f.Edit->text(), "text");
  QCOMPARE(wwed::FromCp1252(f.Edit->Text()), f.Edit->text());
  QTEST(f.Reports, "reports");
  QTEST(Beeps(), "beeps");
  QTEST(f.Edit->hasFocus(), "keepsFocus");
}

void MaskEditTest::exitByClickAndMnemonic() {
  TMaskField f(QStringLiteral("*9{#}"));
  auto* label = new QLabel(QStringLiteral("&Next"), &f.W.Top);
  label->setBuddy(f.W.Next);
  label->setGeometry(150, 150, 50, 20);
  f.W.Show(f.Edit);
  Type(f.Edit, QStringLiteral("123"));
  QTest::mouseClick(f.W.Next, Qt::LeftButton);
  QTRY_VERIFY(f.Edit->hasFocus());
  QCOMPARE(Beeps(), 1);
  QCOMPARE(f.Edit->selectedText(), QStringLiteral("123"));
  QTest::keyClick(&f.W.Top, Qt::Key_N, Qt::AltModifier);
  QTRY_VERIFY(f.Edit->hasFocus());
  QCOMPARE(Beeps(), 2);
  Type(f.Edit, QStringLiteral("{End}456789"));
  QTest::mouseClick(f.W.Next, Qt::LeftButton);
  QTRY_VERIFY(f.W.Next->hasFocus());
  QCOMPARE(Beeps(), 2);
}

void MaskEditTest::pasteFirstLineThroughMask() {
  TMaskField f(QStringLiteral("*25[!]"));
  f.W.Show(f.Edit);
  const QString clip = QStringLiteral("abc\r\ndef");
  QApplication::clipboard()->setText(clip);
  QTest::keyClick(f.Edit, Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(f.Edit->text(), QStringLiteral("ABC"));
  QCOMPARE(f.Edit->cursorPosition(), 3);
  QCOMPARE(f.Reports, QStringLiteral("T"));
  QCOMPARE(QApplication::clipboard()->text(), clip);
  QVERIFY(f.Edit->Modified());
  QApplication::clipboard()->setText(QStringLiteral("x\u03A9y"));
  QTest::keyClick(f.Edit, Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(f.Edit->text(), QStringLiteral("ABC"));  // a character without a byte: refused
  QCOMPARE(Beeps(), 1);
}

void MaskEditTest::programTextNoCheck() {
  TMaskField f(QStringLiteral("*9{#}"));
  f.W.Show(f.Edit);
  f.Edit->SetText("12");
  f.Edit->SetText("12");
  QCOMPARE(f.Changes, 1);
  QCOMPARE(f.Reports, QString());
  QTest::keyClick(f.Edit, Qt::Key_Tab);
  QVERIFY(f.W.Next->hasFocus());
}

void MaskEditTest::changeReachesWorkspace() {
  TMaskField f(QStringLiteral("*25[!]"));
  cert::TCertFormat cert;
  cert.BindEditor(21, f.Edit);
  cert.NewDetailRec();
  f.W.Show(f.Edit);
  Type(f.Edit, QStringLiteral("o'n\xE9") + QStringLiteral("il"));
  QCOMPARE(cert.DetailRec.DInsuredLastName.Str(), std::string("O'N\xC9IL"));
  QCOMPARE(f.Edit->EditorClass(), cert::ecMaskEdit);
}

void MaskEditTest::dropGoesThroughMask_data() {
  QTest::addColumn<QString>("mask");
  QTest::addColumn<QString>("initial");
  QTest::addColumn<QString>("dropped");
  QTest::addColumn<bool>("atStart");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("reports");
  QTest::addColumn<int>("beeps");
  QTest::newRow("fin refuses letters") << "*9{#}"
                                       << ""
                                       << "12-AB" << true << ""
                                       << "" << 1;
  QTest::newRow("fin refuses a tenth digit") << "*9{#}"
                                             << "12345678"
                                             << "90" << false << "12345678"
                                             << "" << 1;
  QTest::newRow("fin digits at the start") << "*9{#}"
                                           << "345"
                                           << "12" << true << "12345"
                                           << "F" << 0;
  QTest::newRow("first line only, upper-cased") << "*25[!]"
                                                << ""
                                                << "abc\r\ndef" << true << "ABC"
                                                << "T" << 0;
  QTest::newRow("whole zip code") << "*5{#}[-*4#]"
                                  << ""
                                  << "12345-6789" << true << "12345-6789"
                                  << "T" << 0;
  // Unlike a typed key, a dropped text gets no hyphen supplied.
  QTest::newRow("zip without its hyphen") << "*5{#}[-*4#]"
                                          << "12345"
                                          << "6789" << false << "12345"
                                          << "" << 1;
  QTest::newRow("character without a byte") << "*45[@]"
                                            << "ab"
                                            << "x\u03A9" << false << "ab"
                                            << "" << 1;
}

void MaskEditTest::dropGoesThroughMask() {
  QFETCH(QString, mask);
  QFETCH(QString, initial);
  QFETCH(QString, dropped);
  QFETCH(bool, atStart);
  TMaskField f(mask);
  cert::TCertFormat cert;
  cert.BindEditor(30, f.Edit);
  cert.NewDetailRec();
  f.Edit->SetText(initial.toStdString());
  f.W.Show(f.Edit);
  edtest::DropText(f.Edit, dropped, atStart ? 1 : f.Edit->width() - 2);
  QTEST(f.Edit->text(), "text");
  QTEST(f.Reports, "reports");
  QTEST(Beeps(), "beeps");
  QFETCH(QString, text);
  QCOMPARE(f.Edit->Modified(), text != initial);
  // What the workspace holds is what the field shows.
  QCOMPARE(QString::fromStdString(cert.DetailRec.DInsuredFIN.Str()), text.left(9));
}

void MaskEditTest::inputMethodCommitGoesThroughMask_data() {
  QTest::addColumn<QString>("mask");
  QTest::addColumn<QString>("initial");
  QTest::addColumn<QString>("commit");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("reports");
  QTest::addColumn<int>("beeps");
  QTest::newRow("composed letter upper-cased") << "*25[!]"
                                               << "ab" << QStringLiteral("\u00E9") << "ABÉ"
                                               << "T" << 0;
  QTest::newRow("fin refuses a letter") << "*9{#}"
                                        << "123"
                                        << "a"
                                        << "123"
                                        << "" << 1;
  QTest::newRow("fin refuses a tenth digit") << "*9{#}"
                                             << "123456789"
                                             << "0"
                                             << "123456789"
                                             << "" << 1;
  QTest::newRow("fin takes digits") << "*9{#}"
                                    << "123"
                                    << "45"
                                    << "12345"
                                    << "F" << 0;
  QTest::newRow("no byte for it") << "*45[@]"
                                  << "ab" << QStringLiteral("\u03A9") << "ab"
                                  << "" << 1;
}

void MaskEditTest::inputMethodCommitGoesThroughMask() {
  QFETCH(QString, initial);
  QFETCH(QString, commit);
  QFETCH(QString, mask);
  TMaskField f(mask);
  f.Edit->SetText(wwed::ToCp1252(initial).value_or(std::string()));
  f.W.Show(f.Edit);
  f.Edit->end(false);
  const int changes = f.Changes;
  QInputMethodEvent preedit(QStringLiteral("x"), {});
  QApplication::sendEvent(f.Edit, &preedit);
  QInputMethodEvent e;
  e.setCommitString(commit);
  QApplication::sendEvent(f.Edit, &e);
  QTEST(f.Edit->text(), "text");
  QTEST(f.Reports, "reports");
  QTEST(Beeps(), "beeps");
  QFETCH(QString, text);
  QCOMPARE(f.Changes == changes, text == initial);
  QCOMPARE(f.Edit->cursorPosition(), text.size());
}

void MaskEditTest::undoRedoNeverRestoreRefusedText() {
  TMaskField f(QStringLiteral("*9{#}"));
  f.W.Show(f.Edit);
  // A letter typed in the middle is let in and reported; the exit check would catch it.
  Type(f.Edit, QStringLiteral("12345678{Home}a"));
  QCOMPARE(f.Edit->text(), QStringLiteral("a12345678"));
  Type(f.Edit, QStringLiteral("{Home}{Del}"));
  QCOMPARE(f.Edit->text(), QStringLiteral("12345678"));
  f.Reports.clear();
  const int changes = f.Changes;
  QTest::keyClick(f.Edit, Qt::Key_Z, Qt::ControlModifier);  // would bring the letter back
  QCOMPARE(f.Edit->text(), QStringLiteral("12345678"));
  QCOMPARE(Beeps(), 1);
  QCOMPARE(f.Changes, changes);
  QCOMPARE(f.Reports, QString());

  // Undo of the letter is allowed; redo of it is not.
  TMaskField g(QStringLiteral("*9{#}"));
  g.W.Show(g.Edit);
  Type(g.Edit, QStringLiteral("12345678{Home}a"));
  g.Reports.clear();
  QTest::keyClick(g.Edit, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(g.Edit->text(), QStringLiteral("12345678"));
  QCOMPARE(g.Reports, QStringLiteral("F"));
  QVERIFY(g.Edit->Modified());
  QTest::keyClick(g.Edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(g.Edit->text(), QStringLiteral("12345678"));
  QTest::keyClick(g.Edit, Qt::Key_Y, Qt::ControlModifier);
  QCOMPARE(g.Edit->text(), QStringLiteral("12345678"));
  QCOMPARE(Beeps(), 3);
  QCOMPARE(g.Reports, QStringLiteral("F"));
}

// Typing and pasting go through the mask and still count as the user's edits for undo; a text
// the program shows is a new start.
void MaskEditTest::undoTakesBackWhatTheMaskLetIn() {
  TMaskField f(QStringLiteral("*9{#}"));
  f.W.Show(f.Edit);
  f.Edit->SetText("555");
  Type(f.Edit, QStringLiteral("{End}123"));
  QCOMPARE(f.Edit->text(), QStringLiteral("555123"));
  QTest::keyClick(f.Edit, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(f.Edit->text(), QStringLiteral("555"));
  QTest::keyClick(f.Edit, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(f.Edit->text(), QStringLiteral("555"));
  QTest::keyClick(f.Edit, Qt::Key_Y, Qt::ControlModifier);
  QCOMPARE(f.Edit->text(), QStringLiteral("555123"));
  QCOMPARE(f.Edit->cursorPosition(), 6);
  QApplication::clipboard()->setText(QStringLiteral("789"));
  QTest::keyClick(f.Edit, Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(f.Edit->text(), QStringLiteral("555123789"));
  QTest::keyClick(f.Edit, Qt::Key_Z, Qt::ControlModifier);
  QVERIFY(!f.Edit->text().contains(QStringLiteral("789")));
  QCOMPARE(Beeps(), 0);
}

void MaskEditTest::altLetterNeverEntersText() {
  TMaskField f(QStringLiteral("*9{#}"));
  f.W.Show(f.Edit);
  Type(f.Edit, QStringLiteral("12"));
  QTest::keyClick(f.Edit, Qt::Key_A, Qt::AltModifier);
  QCOMPARE(f.Edit->text(), QStringLiteral("12"));
}

void MaskEditTest::showsStartWhenNotEdited_data() {
  QTest::addColumn<QString>("keys");
  QTest::newRow("written by the program") << "";
  QTest::newRow("typed, then left") << "{BS}POLICY-NUMBER-1234567X{Tab}";
  QTest::newRow("esc, then left") << "{End}{BS}{Esc}{Tab}";
}

void MaskEditTest::showsStartWhenNotEdited() {
  QFETCH(QString, keys);
  TMaskField f(QStringLiteral("*22[!]"));
  f.Edit->setGeometry(10, 10, 70, 19);
  f.Edit->SetText("POLICY-NUMBER-1234567X");
  f.W.Show(f.W.Next);
  if (!keys.isEmpty()) {
    f.Edit->setFocus(Qt::TabFocusReason);
    Type(f.Edit, keys);
  }
  QVERIFY(f.W.Next->hasFocus());
  QVERIFY(edtest::ShowsStart(f.Edit));
  // Focus by keyboard selects the whole text and still shows where it begins.
  f.Edit->setFocus(Qt::TabFocusReason);
  QCOMPARE(f.Edit->selectedText(), f.Edit->text());
  QCOMPARE(f.Edit->cursorPosition(), 0);
}

// Turning to another window and back does not end the visit: the changed text is still checked
// on leaving, and Esc still restores the text from before the visit.
void MaskEditTest::anotherWindowIsNotANewVisit() {
  TMaskField f(QStringLiteral("*9{#}"));
  int enters = 0;
  f.Edit->OnEnterField = [&enters] { ++enters; };
  f.Edit->SetText("987654321");
  f.W.Show(f.Edit);
  Type(f.Edit, QStringLiteral("12345"));
  f.W.VisitAnotherWindow();
  QVERIFY(f.Edit->hasFocus());
  QCOMPARE(enters, 1);
  QVERIFY(f.Edit->Modified());
  Type(f.Edit, QStringLiteral("{Tab}"));
  QVERIFY(f.Edit->hasFocus());
  QCOMPARE(Beeps(), 1);
  Type(f.Edit, QStringLiteral("{Esc}"));
  QCOMPARE(f.Edit->text(), QStringLiteral("987654321"));
}

QTEST_MAIN(MaskEditTest)
