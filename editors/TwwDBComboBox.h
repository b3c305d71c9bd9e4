// The code-list field: a pick-only drop-down list of "code - description" rows.
#pragma once

#include <QStringList>

#include "TwwDBEdit.h"

class QFrame;
class QListWidget;

enum TwwComboStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
enum TwwCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TwwDBCustomCombo : public TwwDBCustomEdit {
 public:
  explicit TwwDBCustomCombo(QWidget* parent = nullptr);
  ~TwwDBCustomCombo() override;

  bool ShowButton = true;
  bool AutoDropDown = false;
  int DropDownCount = 8;
  int DropDownWidth = 0;  // 0: as wide as the field
  std::function<void()> OnDropDown, OnCloseUp;

  bool ListOpen() const;
  void DropDown();
  // Closes the list; when accepting, a highlighted row becomes the choice.
  void CloseUp(bool accept);
  QListWidget* List() const { return FList; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  // With the list open: the keys of the list and of the text box; closed: the text box's.
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  QRect ButtonRect() const;

  virtual QStringList ListRows() const = 0;
  virtual int ListChosen() const = 0;
  // Highlight moved while open: the field follows.
  virtual void ListHighlighted(int row) = 0;
  virtual void ListAccepted(int row, bool changed) = 0;
  // A character pressed, or Delete or Backspace released, while the list is open.
  virtual void ListKey(QKeyEvent* e) = 0;

 private:
  QFrame* FPopup = nullptr;
  QListWidget* FList = nullptr;
  QString FTextAtOpen;
  bool FAccepting = false;
};

class TwwDBCustomComboBox : public TwwDBCustomCombo {
 public:
  explicit TwwDBCustomComboBox(QWidget* parent = nullptr);

  QStringList Items;
  TwwComboStyle Style = csDropDown;
  bool MapList = false;
  bool AllowClearKey = false;
  bool ShowMatchText = false;
  TwwCharCase CharCase = ecNormal;
  bool Sorted = false;
  bool LimitEditRect = false;

  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int index);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;

  QStringList ListRows() const override { return Items; }
  int ListChosen() const override;
  void ListHighlighted(int row) override;
  void ListAccepted(int row, bool changed) override;
  void ListKey(QKeyEvent* e) override;

 private:
  QString Shown(const QString& row) const;
  // Chooses the next row after the chosen one that begins with ch, wrapping around.
  void ChooseByChar(QChar ch);
  // A choice made by the user (-1: cleared): the field counts as modified.
  void Choose(int index);

  int FItemIndex = -1;
};

class TwwDBComboBox : public TwwDBCustomComboBox {
 public:
  explicit TwwDBComboBox(QWidget* parent = nullptr) : TwwDBCustomComboBox(parent) {}
  cert::TEditorClass EditorClass() const override;
};
