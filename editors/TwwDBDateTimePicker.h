// The date field: month/day/year typed part by part, a drop-down month calendar, or no date.
#pragma once

#include <QLineEdit>
#include <functional>
#include <string>

#include "CertObject.h"
#include "EditorSupport.h"

class QCalendarWidget;
class QFrame;

class TwwDBCustomDateTimePicker : public QLineEdit, public cert::TCertEditor {
 public:
  explicit TwwDBCustomDateTimePicker(QWidget* parent = nullptr);
  ~TwwDBCustomDateTimePicker() override;

  std::string DisplayFormat = "MM/DD/YYYY";
  int Epoch = 1950;
  bool ShowButton = true;
  wwed::TwwFrame Frame;
  std::function<void()> OnDropDown, OnCloseUp;

  // Whole days since 30 December 1899, 0 for no date; reading completes a pending entry.
  long Date();
  void SetDate(long days);
  // The full value: days plus the time of day as a fraction.
  double DateTime() const { return static_cast<double>(FDays) + FTime; }
  void SetTime(double fraction) { FTime = fraction; }
  // 1 month, 2 day, 3 year.
  int CurrentPart() const { return FPart; }
  bool Modified() const { return FModified; }
  bool CalendarOpen() const;
  QCalendarWidget* Calendar() const { return FCalendar; }
  void OpenCalendar();
  void CloseCalendar(bool keep);

  std::string EditorText() const override;
  long EditorDate() const override { return FDays; }

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct TParts {
    int Year, Month, Day;
  };
  TParts Parts() const;
  // Sets the value from parts when they form a date within the typing bounds.
  bool SetParts(TParts p);
  void FillToday();
  void Complete();
  void TypeDigit(int d);
  void Step(int delta);
  void ToLimit(bool highest);
  void ClearDate();
  void Refresh();
  void SelectPart();
  int PartAt(int charIndex) const;
  void NextPart();
  void PriorPart();
  QRect ButtonRect() const;
  bool KeyFillsEmpty(const QKeyEvent* e) const;
  void CalendarKey(QKeyEvent* e);

  long FDays = 0;
  double FTime = 0;
  int FPart = 1;
  bool FTyping = false;
  QString FTyped;
  bool FInVisit = false;  // between receiving the focus and leaving the field
  long FSavedDays = 0;
  long FCalendarSavedDays = 0;
  bool FModified = false;
  QFrame* FPopup = nullptr;
  QCalendarWidget* FCalendar = nullptr;
  bool FSyncingCalendar = false;
};

class TwwDBDateTimePicker : public TwwDBCustomDateTimePicker {
 public:
  explicit TwwDBDateTimePicker(QWidget* parent = nullptr) : TwwDBCustomDateTimePicker(parent) {}
  cert::TEditorClass EditorClass() const override;
};
