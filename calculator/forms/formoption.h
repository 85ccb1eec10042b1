// TFormOption: the option dialog. Made on demand, filled once from the
// settings, and written back (with a new layout of the main window) only by
// OK; freed after it closes.
#pragma once

#include <QDialog>

#include "platform/dialogs.h"  // the modal results
#include "ui_formoption.h"

class TFormOption : public QDialog, public Ui::TFormOption {
  Q_OBJECT

 public:
  explicit TFormOption(QWidget* owner = nullptr);
  ~TFormOption() override;

  void FormCreate();
  void FormActivate();
  void ComboBoxDispSizeChange();
  void WButtonFormColorClick();
  void Button1Click();

  // The close box and Escape give Cancel (2).
  void reject() override;

 protected:
  bool event(QEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  bool activated = false;
};

// Defined with the other program-wide objects.
extern TFormOption* FormOption;
