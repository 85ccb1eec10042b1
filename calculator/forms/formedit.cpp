// TFormEdit: the button editor and EditButtonData.
#include "calculator/forms/formedit.h"

#include <QEvent>
#include <QLayout>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QTextCursor>

#include <algorithm>
#include <cstdio>
#include <string>

#include "button/wbutton.h"
#include "calculator/calcfile.h"
#include "calculator/colors.h"
#include "calculator/forms/formcalc.h"
#include "calculator/forms/application.h"
#include "calculator/forms/formsupport.h"
#include "calculator/forms/hooks.h"
#include "calculator/forms/loadcalc.h"
#include "calculator/forms/sessionend.h"
#include "calculator/forms/wbtn.h"
#include "calculator/forms/wpalette.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"
#include "wbexecalc.h"
#include "platform/qt/qtbackends.h"
#include "platform/text.h"

namespace {

const char16_t kCaption[] = u"ボタンデータの編集";
const char16_t kAutoCaption[] = u"自動プログラムの編集";

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

std::u16string Copy(const wvar& v) { return v.type == vtString ? std::u16string(v.Chars()) : u""; }

// Six lower-case hex digits of 0x00BBGGRR.
std::u16string ColorField(TColor color) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06x", static_cast<unsigned>(ColorToRGB(color)));
  return platform::FromUtf8(buf);
}

// The dialog's corner picture: a size grip of six dots.
QPixmap GripPicture() {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  const int dots[6][2] = {{12, 4}, {8, 8}, {12, 8}, {4, 12}, {8, 12}, {12, 12}};
  for (const auto& d : dots) {
    p.fillRect(d[0], d[1], 2, 2, QColor(128, 128, 128));
    p.fillRect(d[0], d[1], 1, 1, Qt::white);
  }
  return pm;
}

}  // namespace

TFormEdit::TFormEdit(QWidget* owner) : QDialog(owner) {
  setupUi(this);
  ApplyResourceFonts(this);
  // The panels take their resource size before the anchors are measured.
  layout()->activate();
  ApplyAnchors(this);
  setSizeGripEnabled(false);
  MemoOut->setUndoRedoEnabled(true);
  MemoOut->setTabChangesFocus(false);
  MemoOut->setLineWrapMode(QPlainTextEdit::NoWrap);
  Image1->setPixmap(GripPicture());
  for (TWButton* b : {WButtonColor, WButtonBackColor}) {
    b->SetWButtonStyle(wsSingle);
    b->SetFontColor(0);
    b->OnClick = [this](QObject* sender) { Guarded([&] { WButtonColorClick(sender); }); };
  }
  connect(MemoDisp, &QLineEdit::textChanged, this, [this] { MemoDispChange(); });
  connect(Button1, &QPushButton::clicked, this, [this] { done(mrOk); });
  connect(Button2, &QPushButton::clicked, this, [this] { done(mrCancel); });
  // A handle of its own, so that its question box is owned by it.
  handle = platform::RegisterQtWindow(
      this, [](void*, HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; }, this);
}

TFormEdit::~TFormEdit() {
  if (FormEdit == this) FormEdit = nullptr;
}

void CreateDialogForms() {
  // Owned by the main window, so that they stay above it when it stays on top.
  FormEdit = new TFormEdit(FormCalc);
  FormPalette = new TFormPalette(FormCalc);
}

int EditButtonData(int mode) {
  TFormEdit* f = FormEdit;
  if (f == nullptr || FormPalette == nullptr || ButtonSet == nullptr || ButtonTable == nullptr ||
      Setting == nullptr)
    return 0;
  int32_t index = ButtonSet->current;
  f->setWindowTitle(Q(kCaption));
  f->MemoDisp->clear();
  f->MemoOut->SetText(u"");
  f->WButtonColor->SetFaceColor(Setting->textColor);
  f->WButtonBackColor->SetFaceColor(Setting->buttonColor);
  if (mode > 0) {
    f->MemoDisp->setEnabled(true);
    f->WButtonColor->setEnabled(true);
    f->WButtonBackColor->setEnabled(true);
  }
  if (mode == 0) {
    f->setWindowTitle(Q(kAutoCaption));
    // A disabled field shows the dialog's face colour, as the locked label should.
    f->MemoDisp->setEnabled(false);
    f->WButtonColor->setEnabled(false);
    f->WButtonBackColor->setEnabled(false);
    index = 0;
  }
  f->MemoDisp->setText(Q(Copy(ButtonTable->GetField(index, 1))));
  f->MemoDisp->setModified(false);
  const std::u16string text = Copy(ButtonTable->GetField(index, 2));
  if (!text.empty()) f->WButtonColor->SetFaceColor(StringToColor(u"0x00" + text));
  const std::u16string back = Copy(ButtonTable->GetField(index, 3));
  if (!back.empty()) f->WButtonBackColor->SetFaceColor(StringToColor(u"0x00" + back));
  f->MemoOut->SetText(Copy(ButtonTable->GetField(index, 5)));
  f->MemoOut->document()->setModified(false);

  f->editIndex = index;
  // OK has written the fields (StoreEdit).
  if (f->exec() != mrOk) return 0;
  ShowButton(ButtonSet->current);
  return 0;
}

bool TFormEdit::StoreEdit() {
  const bool stored = ChangeButtonLine(*ButtonTable, editIndex, [this](wini& line) {
    const std::u16string label = MemoDisp->text().toStdU16String();
    line.SetField(0, 1, wvar(label.c_str()));
    const TColor face = WButtonColor->FaceColor();
    line.SetField(0, 2, wvar(face == Setting->textColor ? u"" : ColorField(face).c_str()));
    const TColor backFace = WButtonBackColor->FaceColor();
    line.SetField(0, 3, wvar(backFace == Setting->buttonColor ? u"" : ColorField(backFace).c_str()));
    line.SetField(0, 5, wvar(MemoOut->Text().c_str()));
  });
  if (!stored) ReportButtonTooLarge();
  return stored;
}

void TFormEdit::FormActivate() {
  MemoOut->setFocus();
  if (Block != nullptr && Block->errorCode >= 1) {
    MemoOut->SetSel(Block->request[2].AsInt(), Block->request[3].AsInt());
    MemoOut->ensureCursorVisible();
    Block->errorCode = 0;
  }
}

void TFormEdit::FormResize() {
  // Text 4 pixels in from the left and right edges, 2 from the top and bottom.
  MemoDisp->setTextMargins(2, 0, 2, 0);
  // (The program field's document has one margin for all four sides: the
  // left and right one matters more to the eye.)
  MemoOut->document()->setDocumentMargin(4);
  // One tab stop every 16 dialog units: four average characters.
  MemoOut->setTabStopDistance(4 * MemoOut->fontMetrics().averageCharWidth());
}

void TFormEdit::MemoDispChange() {
  if (changing == 1) return;
  changing = 1;
  int caret = MemoDisp->hasSelectedText() ? MemoDisp->selectionStart() : MemoDisp->cursorPosition();
  const QString text = MemoDisp->text();
  if (text.isEmpty()) {
    changing = 0;
    return;
  }
  QString kept;
  const int n = static_cast<int>(std::min<qsizetype>(text.size(), 255));
  for (int i = 0; i < n; ++i) {
    const QChar c = text[i];
    if (c == QChar(u'\r') || c == QChar(u'\n') || c == QChar(u'\\')) {
      --caret;
      continue;
    }
    kept += c;
  }
  // Setting the text is no edit of the user's: a typed change stays a change.
  const bool modified = MemoDisp->isModified();
  MemoDisp->setText(kept);
  MemoDisp->setModified(modified);
  MemoDisp->setCursorPosition(std::max(0, caret));
  changing = 0;
}

void TFormEdit::WButtonColorClick(QObject* Sender) {
  FormPalette->ExecuteFor(Sender == WButtonBackColor ? WButtonBackColor : WButtonColor);
}

bool TFormEdit::FormCloseQuery() {
  const bool modified = MemoDisp->isModified() || MemoOut->document()->isModified();
  if (!modified || result() == mrOk) return true;
  // The end of the session waits for nobody: the edit is dropped, as Yes
  // would drop it.
  if (EndingBySignal()) return true;
  const std::string text = platform::ToAnsi(u"更新されています。終了しますか？\u3000");
  const std::string caption = platform::ToAnsi(kCaption);
  return MessageBoxA(handle, text.c_str(), caption.c_str(), MB_ICONWARNING | MB_YESNO) != IDNO;
}

void TFormEdit::done(int r) {
  setResult(r);
  bool close = true;
  Guarded([&] { close = FormCloseQuery() && (r != mrOk || StoreEdit()); });
  if (!close) {
    setResult(0);
    return;
  }
  QDialog::done(r);
}

void TFormEdit::reject() { done(mrCancel); }

void TFormEdit::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  // Where no window manager hands out activation, ask for it.
  activateWindow();
}

bool TFormEdit::event(QEvent* e) {
  const bool handled = QDialog::event(e);
  if (e->type() == QEvent::WindowActivate) Guarded([this] { FormActivate(); });
  return handled;
}

void TFormEdit::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  FormResize();
}
