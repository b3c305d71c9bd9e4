#include "TwwDBDateTimePicker.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDropEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QVBoxLayout>
#include <typeinfo>

#include "CertDate.h"

namespace {

const long kMinDays = cert::DaysFromYmd({1899, 12, 31});
const long kMaxDays = cert::DaysFromYmd({9999, 12, 31});

QDate ToQDate(long days) { return QDate(1899, 12, 30).addDays(days); }
long FromQDate(const QDate& d) { return QDate(1899, 12, 30).daysTo(d); }

int NextLeapYear(int year) {
  int y = (year / 4 + 1) * 4;
  if (!cert::IsLeapYear(y)) y += 4;
  return y;
}

bool IsDigitKey(const QKeyEvent* e, int& digit) {
  const QString t = e->text();
  if (t.size() == 1 && t[0] >= QLatin1Char('0') && t[0] <= QLatin1Char('9')) {
    digit = t[0].unicode() - '0';
    return true;
  }
  return false;
}

}  // namespace

TwwDBCustomDateTimePicker::TwwDBCustomDateTimePicker(QWidget* parent) : QLineEdit(parent) {
  setAttribute(Qt::WA_InputMethodEnabled, false);
  setContextMenuPolicy(Qt::NoContextMenu);
  setAcceptDrops(false);
  setTextMargins(0, 0, 18, 0);
  connect(this, &QLineEdit::textChanged, this, [this](const QString&) { OnChange(this); });
}

TwwDBCustomDateTimePicker::~TwwDBCustomDateTimePicker() { delete FPopup; }

cert::TEditorClass TwwDBDateTimePicker::EditorClass() const {
  return typeid(*this) == typeid(TwwDBDateTimePicker) ? cert::ecDateTimePicker : cert::ecOther;
}

std::string TwwDBCustomDateTimePicker::EditorText() const {
  return text().toLatin1().toStdString();
}

TwwDBCustomDateTimePicker::TParts TwwDBCustomDateTimePicker::Parts() const {
  const cert::TYmd d = cert::YmdFromDays(FDays);
  return {d.Year, d.Month, d.Day};
}

bool TwwDBCustomDateTimePicker::SetParts(TParts p) {
  const cert::TYmd d{p.Year, p.Month, p.Day};
  if (!cert::IsValidYmd(d)) return false;
  const long days = cert::DaysFromYmd(d);
  if (days < kMinDays || days > kMaxDays) return false;
  FDays = days;
  FModified = true;
  return true;
}

long TwwDBCustomDateTimePicker::Date() {
  Complete();
  return FDays;
}

void TwwDBCustomDateTimePicker::SetDate(long days) {
  if (days <= 0) {
    FTyping = false;
    FDays = 0;
    FTime = 0;
  } else if (days != FDays) {
    FTyping = false;
    FDays = days;
  }
  Refresh();
}

void TwwDBCustomDateTimePicker::FillToday() {
  FDays = cert::DaysFromYmd(cert::Today());
  FTime = 0;
  FPart = 1;
  FModified = true;
}

void TwwDBCustomDateTimePicker::Refresh() {
  if (FDays == 0 && !FTyping) {
    setText(QString());
    return;
  }
  const TParts p = Parts();
  QString seg[3] = {QString::number(p.Month).rightJustified(2, QLatin1Char('0')),
                    QString::number(p.Day).rightJustified(2, QLatin1Char('0')),
                    QString::number(p.Year).rightJustified(4, QLatin1Char('0'))};
  if (FTyping) seg[FPart - 1] = FTyped;
  setText(seg[0] + QLatin1Char('/') + seg[1] + QLatin1Char('/') + seg[2]);
  if (hasFocus()) SelectPart();
}

void TwwDBCustomDateTimePicker::SelectPart() {
  const QStringList seg = text().split(QLatin1Char('/'));
  if (seg.size() != 3) return;
  int start = 0;
  for (int i = 0; i < FPart - 1; ++i) start += seg[i].size() + 1;
  setSelection(start, seg[FPart - 1].size());
}

int TwwDBCustomDateTimePicker::PartAt(int charIndex) const {
  const QStringList seg = text().split(QLatin1Char('/'));
  if (seg.size() != 3) return FPart;
  int end = 0;
  for (int i = 0; i < 3; ++i) {
    end += seg[i].size();
    if (charIndex <= end) return i + 1;
    ++end;
  }
  return 3;
}

void TwwDBCustomDateTimePicker::NextPart() {
  if (FPart < 3) ++FPart;
}

void TwwDBCustomDateTimePicker::PriorPart() {
  if (FPart > 1) --FPart;
}

void TwwDBCustomDateTimePicker::Complete() {
  if (!FTyping) return;
  FTyping = false;
  const int v = FTyped.toInt();
  TParts p = Parts();
  if (FPart == 3) {
    int year = v;
    if (FTyped.size() <= 2) year = cert::WidenTwoDigitYear(v, Epoch);
    p.Year = year;
    if (p.Month == 2 && p.Day == 29 && !cert::IsLeapYear(year)) p.Day = 28;
    SetParts(p);
  } else if (v != 0) {
    if (FPart == 1) {
      p.Month = v;
      p.Day = std::min(p.Day, cert::DaysInMonth(p.Year, v));
    } else {
      p.Day = v;
    }
    SetParts(p);
  }
  Refresh();
}

void TwwDBCustomDateTimePicker::TypeDigit(int d) {
  TParts p = Parts();
  if (FPart == 3) {
    if (!FTyping) FTyped.clear();
    FTyped += QChar('0' + d);
    FTyping = true;
    if (FTyped.size() == 4) {
      const int year = FTyped.toInt();
      p.Year = year;
      if (year != 0 && !SetParts(p)) {
        // Refused: the field keeps its text and value, and the entry stays open.
        FTyped.chop(1);
        return wwed::Beep();
      }
      FTyping = false;
    }
    Refresh();
    return;
  }
  const bool month = FPart == 1;
  int value;
  if (!FTyping) {
    if (d <= (month ? 1 : 3)) {
      FTyping = true;
      FTyped = QString::number(d);
      Refresh();
      return;
    }
    value = d;
  } else {
    value = FTyped.toInt() * 10 + d;
  }
  TParts next = p;
  if (month) {
    if (value < 1 || value > 12) return wwed::Beep();
    next.Month = value;
    if (value == 2 && p.Day == 29 && !cert::IsLeapYear(p.Year))
      next.Year = NextLeapYear(p.Year);
    else
      next.Day = std::min(p.Day, cert::DaysInMonth(p.Year, value));
  } else {
    if (value < 1 || value > 31) return wwed::Beep();
    next.Day = value;
    if (p.Month == 2 && value == 29 && !cert::IsLeapYear(p.Year))
      next.Year = NextLeapYear(p.Year);
    else if (value > cert::DaysInMonth(p.Year, p.Month))
      return wwed::Beep();
  }
  if (!SetParts(next)) return wwed::Beep();
  FTyping = false;
  NextPart();
  Refresh();
}

void TwwDBCustomDateTimePicker::Step(int delta) {
  TParts p = Parts();
  switch (FPart) {
    case 1:
      p.Month = (p.Month - 1 + delta + 12) % 12 + 1;
      p.Day = std::min(p.Day, cert::DaysInMonth(p.Year, p.Month));
      break;
    case 2: {
      const int last = cert::DaysInMonth(p.Year, p.Month);
      p.Day = (p.Day - 1 + delta + last) % last + 1;
      break;
    }
    default:
      p.Year += delta;
      if (p.Month == 2 && p.Day == 29 && !cert::IsLeapYear(p.Year)) p.Day = 28;
      break;
  }
  SetParts(p);
  Refresh();
}

void TwwDBCustomDateTimePicker::ToLimit(bool highest) {
  TParts p = Parts();
  switch (FPart) {
    case 1:
      p.Month = highest ? 12 : 1;
      p.Day = std::min(p.Day, cert::DaysInMonth(p.Year, p.Month));
      break;
    case 2:
      p.Day = highest ? cert::DaysInMonth(p.Year, p.Month) : 1;
      break;
    default:
      p.Year = highest ? 9999 : (p.Month == 12 && p.Day == 31 ? 1899 : 1900);
      if (p.Month == 2 && p.Day == 29 && !cert::IsLeapYear(p.Year)) p.Day = 28;
      break;
  }
  SetParts(p);
  Refresh();
}

void TwwDBCustomDateTimePicker::ClearDate() {
  FTyping = false;
  FDays = 0;
  FModified = true;
  Refresh();
}

bool TwwDBCustomDateTimePicker::KeyFillsEmpty(const QKeyEvent* e) const {
  if (e->modifiers() & Qt::AltModifier) return false;
  switch (e->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Space:
    case Qt::Key_Delete:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
      return true;
    default: {
      const QString t = e->text();
      return !t.isEmpty() && t[0].isPrint() && !t[0].isSpace();
    }
  }
}

void TwwDBCustomDateTimePicker::keyPressEvent(QKeyEvent* e) {
  const bool alt = e->modifiers() & Qt::AltModifier;
  const int key = e->key();
  if (key == Qt::Key_F4 || (alt && (key == Qt::Key_Down || key == Qt::Key_Up))) {
    OpenCalendar();
    return e->accept();
  }
  if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
    Complete();
    return QLineEdit::keyPressEvent(e);
  }
  if (key == Qt::Key_Escape) {
    FTyping = false;
    FDays = FSavedDays;
    FModified = false;
    FPart = 1;
    Refresh();
    selectAll();
    return e->accept();
  }
  const bool wasEmpty = FDays == 0 && !FTyping;
  const bool wholeSelected = wasEmpty || (hasSelectedText() && selectedText() == text());
  if (wasEmpty && KeyFillsEmpty(e)) {
    FillToday();
    Refresh();
  }
  e->accept();
  int digit = 0;
  if (IsDigitKey(e, digit) && !alt) return TypeDigit(digit);
  const QString t = e->text();
  switch (key) {
    case Qt::Key_Left:
      Complete();
      PriorPart();
      break;
    case Qt::Key_Right:
    case Qt::Key_Space:
      Complete();
      NextPart();
      break;
    case Qt::Key_Up:
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      Complete();
      Step(+1);
      break;
    case Qt::Key_Down:
    case Qt::Key_Minus:
      Complete();
      Step(-1);
      break;
    case Qt::Key_Home:
      Complete();
      ToLimit(false);
      break;
    case Qt::Key_End:
      Complete();
      ToLimit(true);
      break;
    case Qt::Key_Backspace:
      if (wholeSelected) return ClearDate();
      Complete();
      PriorPart();
      break;
    case Qt::Key_Delete:
      if (!FTyping) return ClearDate();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      Complete();
      break;
    default:
      if (t == QLatin1String("/") && FTyping) {
        Complete();
        NextPart();
        break;
      }
      return;  // letters and other keys change nothing
  }
  Refresh();
  SelectPart();
}

QRect TwwDBCustomDateTimePicker::ButtonRect() const {
  return ShowButton ? QRect(width() - 17, 0, 17, height()) : QRect();
}

void TwwDBCustomDateTimePicker::mousePressEvent(QMouseEvent* e) {
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);
  if (ButtonRect().contains(e->pos())) {
    if (CalendarOpen())
      CloseCalendar(true);
    else
      OpenCalendar();
    return e->accept();
  }
  Complete();
  if (FDays != 0) {
    FPart = PartAt(cursorPositionAt(e->pos()));
    Refresh();
    SelectPart();
  }
  e->accept();
}

void TwwDBCustomDateTimePicker::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void TwwDBCustomDateTimePicker::mouseReleaseEvent(QMouseEvent* e) {
  // The edit box would paste the system's selection on a middle click.
  if (e->button() == Qt::MiddleButton) return e->accept();
  QLineEdit::mouseReleaseEvent(e);
}

// The text only ever shows the value: nothing is dropped into it.
void TwwDBCustomDateTimePicker::dropEvent(QDropEvent* e) { e->ignore(); }

void TwwDBCustomDateTimePicker::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  // Back from the calendar or from another window: the same visit goes on.
  if (FInVisit && wwed::SameVisit(e->reason())) return;
  FInVisit = true;
  FSavedDays = FDays;
  Refresh();
  SelectPart();
  if (FDays != 0) selectAll();
  FModified = false;
}

void TwwDBCustomDateTimePicker::focusOutEvent(QFocusEvent* e) {
  if (e->reason() != Qt::PopupFocusReason) Complete();
  if (!wwed::SameVisit(e->reason())) FInVisit = false;
  QLineEdit::focusOutEvent(e);
}

void TwwDBCustomDateTimePicker::paintEvent(QPaintEvent* e) {
  QLineEdit::paintEvent(e);
  QPainter p(this);
  Frame.Paint(this, p, hasFocus());
  if (!ShowButton) return;
  QStyleOption opt;
  opt.initFrom(this);
  opt.rect = ButtonRect().adjusted(4, 5, -4, -5);
  style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &opt, &p, this);
}

bool TwwDBCustomDateTimePicker::CalendarOpen() const { return FPopup && FPopup->isVisible(); }

void TwwDBCustomDateTimePicker::OpenCalendar() {
  if (CalendarOpen()) return CloseCalendar(true);
  Complete();
  FCalendarSavedDays = FDays;
  if (FDays == 0) FillToday();
  Refresh();
  if (!FPopup) {
    FPopup = new QFrame(nullptr, Qt::Popup);
    FPopup->setObjectName(QStringLiteral("CalendarPopup"));
    FPopup->setFrameShape(QFrame::Box);
    auto* layout = new QVBoxLayout(FPopup);
    layout->setContentsMargins(1, 1, 1, 1);
    FCalendar = new QCalendarWidget(FPopup);
    FCalendar->setObjectName(QStringLiteral("Calendar"));
    FCalendar->setFont(font());
    FCalendar->setDateRange(ToQDate(kMinDays), ToQDate(kMaxDays));
    FCalendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    layout->addWidget(FCalendar);
    connect(FCalendar, &QCalendarWidget::selectionChanged, this, [this] {
      if (FSyncingCalendar) return;
      FDays = FromQDate(FCalendar->selectedDate());
      FModified = true;
      Refresh();
    });
    connect(FCalendar, &QCalendarWidget::clicked, this,
            [this](const QDate&) { CloseCalendar(true); });
    FCalendar->installEventFilter(this);
    const auto children = FCalendar->findChildren<QWidget*>();
    for (QWidget* w : children) w->installEventFilter(this);
    FPopup->installEventFilter(this);
  }
  FSyncingCalendar = true;
  FCalendar->setSelectedDate(ToQDate(FDays));
  FSyncingCalendar = false;
  FPopup->adjustSize();
  FPopup->move(wwed::PopupPosition(this, FPopup->size()));
  if (OnDropDown) OnDropDown();
  FPopup->show();
  FCalendar->setFocus(Qt::PopupFocusReason);
}

void TwwDBCustomDateTimePicker::CloseCalendar(bool keep) {
  if (!CalendarOpen()) return;
  if (!keep) {
    FDays = FCalendarSavedDays;
    Refresh();
  }
  FPopup->hide();
  if (OnCloseUp) OnCloseUp();
  selectAll();
}

void TwwDBCustomDateTimePicker::CalendarKey(QKeyEvent* e) {
  const bool alt = e->modifiers() & Qt::AltModifier;
  switch (e->key()) {
    case Qt::Key_Escape:
      CloseCalendar(false);
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F4:
      CloseCalendar(true);
      break;
    default:
      if (alt && (e->key() == Qt::Key_Down || e->key() == Qt::Key_Up)) CloseCalendar(true);
      break;
  }
}

bool TwwDBCustomDateTimePicker::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && FPopup && FPopup->isVisible()) {
    auto* k = static_cast<QKeyEvent*>(event);
    const bool alt = k->modifiers() & Qt::AltModifier;
    const int key = k->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter ||
        key == Qt::Key_F4 || (alt && (key == Qt::Key_Down || key == Qt::Key_Up))) {
      CalendarKey(k);
      return true;
    }
  }
  return QLineEdit::eventFilter(watched, event);
}
