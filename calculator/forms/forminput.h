// TFormInput: the input dialog of a script's input request.
#pragma once

#include <QDialog>

#include "platform/dialogs.h"
#include "ui_forminput.h"


class TFormInput : public QDialog, public Ui_TFormInput {
  Q_OBJECT

 public:
  explicit TFormInput(QWidget* parent = nullptr);

  void FormActivate();
  void FormKeyDown(int key);
  // Shows the dialog modally at the centre of the desktop; the modal result.
  int ShowModal();

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
};
