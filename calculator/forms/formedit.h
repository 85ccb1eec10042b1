// TFormEdit: the button editor. One dialog, created at start-up and
// reused, edits a button's label, colours and program, or the automatic
// program (line 0) with the label and the colours locked.
#pragma once

#include <QDialog>

#include <cstdint>

#include "platform/dialogs.h"  // the modal results
#include "ui_formedit.h"

class TFormEdit : public QDialog, public Ui::TFormEdit {
  Q_OBJECT

 public:
  explicit TFormEdit(QWidget* owner = nullptr);
  ~TFormEdit() override;

  int32_t changing = 0;
  // The button line being edited.
  int32_t editIndex = 0;
  // The editor's own window handle: the owner of its message box.
  HWND handle = 0;

  void FormActivate();
  void FormResize();
  void MemoDispChange();
  void WButtonColorClick(QObject* Sender);
  // False keeps the dialog open.
  bool FormCloseQuery();
  // On OK: the label, the colours and the program into the line, in this
  // order, when the calculator file can hold it; otherwise says so, writes
  // nothing, and the dialog stays open.
  bool StoreEdit();

  // Closing with any result goes through FormCloseQuery first.
  void done(int result) override;
  // The close box and Escape give Cancel (2).
  void reject() override;

 protected:
  bool event(QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
};

// Edits the current button (mode 1) or the automatic program (mode 0) and
// writes the fields back on OK. A colour field that is no hexadecimal
// number raises EConvertError before the dialog shows; nothing is written.
int EditButtonData(int mode);

// Created at start-up (defined with the other program-wide objects).
extern TFormEdit* FormEdit;
