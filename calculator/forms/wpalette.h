// TFormPalette: the modal colour chooser behind every colour swatch.
// Its caller hands in selColor and mix and reads them back; they change only
// when the user confirms with OK.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QPointer>

#include "button/wbutton.h"
#include "calculator/palette.h"
#include "platform/dialogs.h"  // the modal results
#include "ui_wpalette.h"

class TFormPalette : public QDialog, public Ui::TFormPalette {
  Q_OBJECT

 public:
  explicit TFormPalette(QWidget* owner = nullptr);
  ~TFormPalette() override;

  // Shows the dialog modally; the modal result. A mix field that holds no
  // number when it closes raises EConvertError (nothing is restored then).
  int Execute();
  // The palette behind a colour swatch: starts at the swatch's colour and the
  // settings' mix; the mix it ends with goes back to the settings, and the
  // colour to the swatch.
  void ExecuteFor(TWButton* swatch);

  int32_t cellSize = palette::kCellSize;
  TColor pal[palette::kColumns][10] = {};  // rows 0..7 the palette, row 9 the user colours
  TColor dragColor = 0;
  TColor selColor = 0;
  double mix[3] = {25, 50, 75};
  int32_t userRowVisible = 0;

  // Handlers, named after the resource's events.
  void FormCreate();
  void EditChange();
  void ImagePalleteMouseUp(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void EditRGBChange();
  void SpeedButtonRGBClick();
  void SpeedButtonWhiteClick();
  void SpeedButtonGrayClick();
  void SpeedButtonMixClick();
  void PalleteMouseDown(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void PalleteDragDrop(QObject* Sender, QObject* Source, int X, int Y);
  bool PalleteDragOver(QObject* Sender, QObject* Source, int X, int Y);
  void ButtonUserClick();

  void BuildPalette();
  void UpdateControls();
  void DrawCell(int column, int row, TColor color);
  void DrawMixMark(int column, int row, TColor markColor);
  void DrawUserColors();

  // The close box and Escape give Cancel (2), as the Cancel button does.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* e) override;

 private:
  void SetClientHeight(int height);
  // Dragging between the palette, the selection panel and the user row: a
  // press arms it, moving past the drag distance starts it, the release
  // drops it. Returns true when the release ended a drag.
  void DragMove(QObject* Sender, int X, int Y);
  bool DragRelease(QObject* Sender, int X, int Y);

  QPointer<QWidget> dragSource;
  QPoint dragStart;
  bool dragging = false;
};

// Created at start-up (defined with the other program-wide objects).
extern TFormPalette* FormPalette;
