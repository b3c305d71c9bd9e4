// File names as text and back, byte for byte.
#include "FileNameTextTest.h"

#include <QLineEdit>
#include <QTest>

#include "FileNameText.h"

using certwin::NameToText;
using certwin::TextToName;

namespace {
std::string Bytes(const QByteArray& b) { return b.toStdString(); }
}  // namespace

void FileNameTextTest::bytesRoundTrip_data() {
  QTest::addColumn<QByteArray>("name");
  QTest::newRow("plain") << QByteArray("/tmp/x y.dat");
  QTest::newRow("windows style") << QByteArray("c:\\tavcerti.dat");
  QTest::newRow("latin-1 byte") << QByteArray("/tmp/caf\xe9.dat");
  QTest::newRow("utf-8") << QByteArray("/tmp/caf\xc3\xa9.dat");
  QTest::newRow("four-byte utf-8") << QByteArray("\xf0\x9f\x98\x80.dat");
  QTest::newRow("lone continuation bytes") << QByteArray("\x80\xbf");
  QTest::newRow("sequence cut at the end") << QByteArray("a\xc3");
  QTest::newRow("three-byte sequence cut short") << QByteArray("\xe2\x82.dat");
  QTest::newRow("overlong slash") << QByteArray("\xc0\xaf");
  QTest::newRow("overlong three bytes") << QByteArray("\xe0\x80\xaf");
  QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80");
  QTest::newRow("encoded escape code point") << QByteArray("\xed\xb3\xa9");
  QTest::newRow("beyond U+10FFFF") << QByteArray("\xf4\x90\x80\x80");
  QTest::newRow("bytes that never start utf-8") << QByteArray("\xf5\xfe\xff");
  QTest::newRow("mixed") << QByteArray("\xe9\xc3\xa9\xe9\xc3");
  QByteArray all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  QTest::newRow("every byte") << all;
}

void FileNameTextTest::bytesRoundTrip() {
  QFETCH(QByteArray, name);
  const QString text = NameToText(Bytes(name));
  QCOMPARE(TextToName(text), Bytes(name));
  // Through a text box as the user sees it, and with a character typed after it.
  QLineEdit box;
  box.setText(text);
  QCOMPARE(TextToName(box.text()), Bytes(name));
  box.end(false);
  QTest::keyClicks(&box, QStringLiteral("x"));
  QCOMPARE(TextToName(box.text()), Bytes(name) + "x");
}

void FileNameTextTest::validUtf8ReadsAsText_data() {
  QTest::addColumn<QString>("text");
  QTest::newRow("ascii") << QStringLiteral("/data/cert.dat");
  QTest::newRow("accents") << QStringLiteral("/tmp/café/Übersicht.dat");
  QTest::newRow("outside the BMP") << QString::fromUtf8("\xf0\x9f\x98\x80.dat");
}

void FileNameTextTest::validUtf8ReadsAsText() {
  QFETCH(QString, text);
  QCOMPARE(NameToText(text.toUtf8().toStdString()), text);
  QCOMPARE(TextToName(text), text.toUtf8().toStdString());
}

void FileNameTextTest::otherBytesAreSurrogates() {
  const QString text = NameToText("caf\xe9");
  QCOMPARE(text.size(), 4);
  QCOMPARE(text.left(3), QStringLiteral("caf"));
  QCOMPARE(int(text[3].unicode()), 0xDCE9);
}

QTEST_MAIN(FileNameTextTest)
