// TFormPalette: the colour palette dialog.
#include "calculator/forms/wpalette.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QScreen>

#include <cstdio>
#include <string>

#include "calculator/buttonclip.h"
#include "calculator/convert.h"
#include "calculator/forms/application.h"
#include "calculator/forms/formcalc.h"
#include "calculator/forms/formsupport.h"
#include "calculator/wsetting.h"
#include "platform/text.h"


namespace {

QString CodeOf(TColor color) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(SwapRB(color)));
  return QString::fromLatin1(buf);
}

}  // namespace

TFormPalette::TFormPalette(QWidget* owner) : QDialog(owner) {
  setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::CustomizeWindowHint);
  ApplyResourceFonts(this);
  ApplyAnchors(this);
  setFixedSize(size());
  UpDownWhite->SetAssociate(EditWhite);
  UpDownGray->SetAssociate(EditGray);

  connect(EditWhite, &QLineEdit::textChanged, this, [this] { EditChange(); });
  connect(EditGray, &QLineEdit::textChanged, this, [this] { EditChange(); });
  for (QLineEdit* e : {EditMix1, EditMix2, EditMix3}) {
    connect(e, &QLineEdit::textChanged, this, [this] { EditChange(); });
    e->installEventFilter(this);
  }
  connect(EditRGB, &QLineEdit::textChanged, this, [this] { EditRGBChange(); });
  connect(SpeedButtonRGB, &QToolButton::clicked, this, [this] { SpeedButtonRGBClick(); });
  connect(SpeedButtonWhite, &QToolButton::clicked, this, [this] { SpeedButtonWhiteClick(); });
  connect(SpeedButtonGray, &QToolButton::clicked, this, [this] { SpeedButtonGrayClick(); });
  connect(SpeedButtonMix, &QToolButton::clicked, this, [this] { SpeedButtonMixClick(); });
  connect(ButtonUser, &QPushButton::clicked, this, [this] { ButtonUserClick(); });
  connect(ButtonOk, &QPushButton::clicked, this, [this] { done(mrOk); });
  connect(ButtonCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });

  auto down = [this](QObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    Guarded([&] { PalleteMouseDown(s, b, sh, x, y); });
  };
  auto move = [this](QObject* s, TShiftState, int x, int y) { DragMove(s, x, y); };
  auto imageUp = [this](QObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    if (b == mbLeft && DragRelease(s, x, y)) return;
    Guarded([&] { ImagePalleteMouseUp(s, b, sh, x, y); });
  };
  for (TImage* image : {ImagePallete, ImageUser}) {
    image->OnMouseDown = down;
    image->OnMouseMove = move;
    image->OnMouseUp = imageUp;
  }
  PanelSelect->OnMouseDown = down;
  PanelSelect->OnMouseMove = move;
  PanelSelect->OnMouseUp = [this](QObject* s, TMouseButton b, TShiftState, int x, int y) {
    if (b == mbLeft) DragRelease(s, x, y);
  };

  FormCreate();
}

TFormPalette::~TFormPalette() {
  if (FormPalette == this) FormPalette = nullptr;
}

void TFormPalette::FormCreate() {
  mix[0] = 25;
  mix[1] = 50;
  mix[2] = 75;
  EditMix1->setText(QString::fromStdU16String(FloatToStr(mix[0])));
  EditMix2->setText(QString::fromStdU16String(FloatToStr(mix[1])));
  EditMix3->setText(QString::fromStdU16String(FloatToStr(mix[2])));
  cellSize = palette::kCellSize;
  ImagePallete->Picture().fill(Qt::white);
  Guarded([this] { BuildPalette(); });
  userRowVisible = 0;
  ImageUser->Picture().fill(Qt::white);
  for (int i = 0; i < palette::kColumns; ++i) pal[i][9] = palette::kUserDefault;
  selColor = 0;
}

void TFormPalette::ExecuteFor(TWButton* swatch) {
  selColor = swatch->FaceColor();
  mix[0] = Setting->mix1;
  mix[1] = Setting->mix2;
  mix[2] = Setting->mix3;
  Execute();
  Setting->mix1 = mix[0];
  Setting->mix2 = mix[1];
  Setting->mix3 = mix[2];
  swatch->SetFaceColor(selColor);
}

int TFormPalette::Execute() {
  const TColor keptColor = selColor;
  const double keptMix[3] = {mix[0], mix[1], mix[2]};
  UpdateControls();
  if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  const int result = exec();
  QLineEdit* edits[3] = {EditMix1, EditMix2, EditMix3};
  for (int i = 0; i < 3; ++i) mix[i] = StrToFloat(edits[i]->text().toStdU16String());
  if (result != mrOk) {
    selColor = keptColor;
    for (int i = 0; i < 3; ++i) mix[i] = keptMix[i];
  }
  return result;
}

void TFormPalette::reject() { done(mrCancel); }

void TFormPalette::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  // Where no window manager hands out activation, ask for it.
  activateWindow();
}

void TFormPalette::SetClientHeight(int height) { setFixedSize(width(), height); }

void TFormPalette::UpdateControls() {
  DrawUserColors();
  if (userRowVisible == 1 && PanelUser->isHidden()) {
    PanelUser->show();
    SetClientHeight(height() + 23);
  } else if (userRowVisible != 1 && !PanelUser->isHidden()) {
    PanelUser->hide();
    SetClientHeight(height() - 23);
  }
  EditMix1->setText(QString::fromStdU16String(FloatToStr(mix[0])));
  EditMix2->setText(QString::fromStdU16String(FloatToStr(mix[1])));
  EditMix3->setText(QString::fromStdU16String(FloatToStr(mix[2])));
  for (QWidget* w : {static_cast<QWidget*>(EditMix1), static_cast<QWidget*>(EditMix2),
                     static_cast<QWidget*>(EditMix3), static_cast<QWidget*>(SpeedButtonMix)})
    w->show();
  EditRGB->setText(CodeOf(selColor));
  EditWhite->setText(QStringLiteral("0"));
  EditGray->setText(QStringLiteral("0"));
}

void TFormPalette::EditChange() {
  Guarded([this] { BuildPalette(); });
}

void TFormPalette::BuildPalette() {
  // Every text is read before anything is drawn: a field that holds no
  // number leaves the previous drawing as it was.
  const int32_t white = StrToInt(EditWhite->text().toStdU16String());
  const int32_t gray = StrToInt(EditGray->text().toStdU16String());
  const double a = StrToFloat(EditMix1->text().toStdU16String());
  const double b = StrToFloat(EditMix2->text().toStdU16String());
  const double c = StrToFloat(EditMix3->text().toStdU16String());
  const palette::Grid grid = palette::BuildColors(white, gray, a, b, c);
  for (int row = 0; row < palette::kRows; ++row)
    for (int col = 0; col < palette::kColumns; ++col) pal[col][row] = grid[row][col];
  const TColor mark = StringToColor(u"0x00B0B0B0");
  for (int row = 0; row < palette::kRows; ++row)
    for (int col = 0; col < palette::kColumns; ++col) {
      DrawMixMark(col, row, mark);
      DrawCell(col, row, pal[col][row]);
    }
}

void TFormPalette::DrawCell(int column, int row, TColor color) {
  const int x = (cellSize + 1) * column, y = (cellSize + 1) * row;
  ImagePallete->FillRect(x, y, x + cellSize, y + cellSize, color);
}

void TFormPalette::DrawMixMark(int column, int row, TColor markColor) {
  int focused = 0;
  if (EditMix1->hasFocus()) focused = 1;
  else if (EditMix2->hasFocus()) focused = 2;
  else if (EditMix3->hasFocus()) focused = 3;
  const bool marked = palette::MixMarked(focused, column);
  const int x = (cellSize + 1) * column, y = (cellSize + 1) * row;
  ImagePallete->FillRect(x, y - 1, x + cellSize, y + cellSize + 2, marked ? markColor : 0xFFFFFF);
}

void TFormPalette::DrawUserColors() {
  for (int i = 0; i < palette::kColumns; ++i) {
    const int x = (cellSize + 1) * i;
    ImageUser->FillRect(x, 0, x + cellSize, cellSize, pal[i][9]);
  }
}

void TFormPalette::ImagePalleteMouseUp(QObject* Sender, TMouseButton Button, TShiftState, int X,
                                       int Y) {
  if (Button != mbLeft) return;
  TImage* image = Sender == ImageUser ? ImageUser : ImagePallete;
  TColor color;
  // A release outside the picture picks nothing.
  if (!image->PixelAt(X, Y, color)) return;
  PanelSelect->SetColor(color);
  EditRGB->setText(CodeOf(color));
  selColor = PanelSelect->Color();
}

void TFormPalette::EditRGBChange() {
  Guarded([this] {
    const std::u16string text = u"0x00" + EditRGB->text().toStdU16String();
    const TColor color = SwapRB(StringToColor(text));
    if (PanelSelect->Color() != color) PanelSelect->SetColor(color);
  });
}

void TFormPalette::SpeedButtonRGBClick() {
  PutClipboardText(0, EditRGB->text().toStdU16String());
}

void TFormPalette::SpeedButtonWhiteClick() { EditWhite->setText(QStringLiteral("0")); }

void TFormPalette::SpeedButtonGrayClick() { EditGray->setText(QStringLiteral("0")); }

void TFormPalette::SpeedButtonMixClick() {
  EditMix1->setText(QString::fromStdU16String(FloatToStr(25)));
  EditMix2->setText(QString::fromStdU16String(FloatToStr(50)));
  EditMix3->setText(QString::fromStdU16String(FloatToStr(75)));
  ButtonOk->setFocus();
  EditChange();
}

void TFormPalette::PalleteMouseDown(QObject* Sender, TMouseButton Button, TShiftState, int X,
                                    int Y) {
  if (Button != mbLeft) return;
  QWidget* w = qobject_cast<QWidget*>(Sender);
  dragSource = w;
  dragStart = w->mapToGlobal(QPoint(X, Y));
  dragging = false;
  const int tag = Sender->property("tag").toInt();
  if (tag == 1) ImagePallete->PixelAt(X, Y, dragColor);
  else if (tag == 2) ImageUser->PixelAt(X, Y, dragColor);
  else if (tag == 3) dragColor = PanelSelect->Color();
}

void TFormPalette::DragMove(QObject* Sender, int X, int Y) {
  if (!dragSource || Sender != dragSource || dragging) return;
  if (!(QApplication::mouseButtons() & Qt::LeftButton)) return;
  const QPoint now = dragSource->mapToGlobal(QPoint(X, Y));
  if ((now - dragStart).manhattanLength() >= QApplication::startDragDistance()) {
    dragging = true;
    QApplication::setOverrideCursor(Qt::DragCopyCursor);
  }
}

bool TFormPalette::DragRelease(QObject* Sender, int X, int Y) {
  if (!dragSource || Sender != dragSource) return false;
  QWidget* source = dragSource;
  dragSource = nullptr;
  if (!dragging) return false;
  dragging = false;
  QApplication::restoreOverrideCursor();
  const QPoint global = source->mapToGlobal(QPoint(X, Y));
  QWidget* target = childAt(mapFromGlobal(global));
  for (QWidget* t : {static_cast<QWidget*>(ImagePallete), static_cast<QWidget*>(ImageUser),
                     static_cast<QWidget*>(PanelSelect)}) {
    if (target != t) continue;
    const QPoint local = t->mapFromGlobal(global);
    if (PalleteDragOver(t, source, local.x(), local.y()) && t == ImageUser)
      PalleteDragDrop(t, source, local.x(), local.y());
  }
  return true;
}

bool TFormPalette::PalleteDragOver(QObject*, QObject*, int, int) { return true; }

void TFormPalette::PalleteDragDrop(QObject*, QObject*, int X, int) {
  const int i = palette::UserCellAt(X);
  if (i < 0) return;
  pal[i][9] = dragColor;
  const int x = (cellSize + 1) * i;
  ImageUser->FillRect(x, 0, x + cellSize, cellSize, pal[i][9]);
}

void TFormPalette::ButtonUserClick() {
  if (!PanelUser->isHidden()) {
    PanelUser->hide();
    SetClientHeight(height() - 23);
    userRowVisible = 0;
  } else {
    SetClientHeight(height() + 23);
    PanelUser->show();
    userRowVisible = 1;
  }
}

bool TFormPalette::eventFilter(QObject* watched, QEvent* event) {
  // Entering and leaving a mix field redraws its marks; focus that only
  // follows another window (a message box) coming and going does not.
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) EditChange();
  }
  return QDialog::eventFilter(watched, event);
}
