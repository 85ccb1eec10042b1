// TFormOption: the option dialog and ShowOptionDialog.
#include "calculator/forms/formoption.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleFactory>

#include <memory>

#include "button/wbutton.h"
#include "calculator/convert.h"
#include "calculator/errors.h"
#include "calculator/forms/formcalc.h"
#include "calculator/forms/application.h"
#include "calculator/forms/formsupport.h"
#include "calculator/forms/hooks.h"
#include "calculator/forms/wbtn.h"
#include "calculator/forms/wpalette.h"
#include "calculator/wsetting.h"

namespace {

std::u16string Text(const QString& s) { return s.toStdU16String(); }

// The measuring label's size at `points`, measured as the layout measures it.
QSize MeasureLabel(int points) {
  QLabel* label = FormCalc->LabelSize;
  QFont font = label->font();
  font.setPixelSize(std::max(1, PointsToPixels(points)));
  label->setFont(font);
  label->adjustSize();
  const QFontMetrics m(font);
  return QSize(m.horizontalAdvance(label->text()), m.height());
}

// The lists are 40 and 44 pixels wide, too narrow for "10" or "36" beside
// the usual drop-down arrow, and their size is the form's. The arrow's part
// is made narrower and the text's field wider by as much. Fusion underneath,
// whatever the application's style, because it draws the arrow in the part
// that this style gives it.
class NarrowArrowStyle : public QProxyStyle {
 public:
  NarrowArrowStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                       SubControl part, const QWidget* widget) const override {
    QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
    if (control != CC_ComboBox || (part != SC_ComboBoxArrow && part != SC_ComboBoxEditField))
      return rect;
    const QRect arrow = QProxyStyle::subControlRect(control, option, SC_ComboBoxArrow, widget);
    const int spare = arrow.width() - kArrowWidth;
    if (spare <= 0) return rect;
    const bool leftToRight = option->direction != Qt::RightToLeft;
    if (part == SC_ComboBoxArrow) {
      if (leftToRight) rect.setLeft(rect.left() + spare);
      else rect.setRight(rect.right() - spare);
    } else {
      if (leftToRight) rect.setRight(rect.right() + spare);
      else rect.setLeft(rect.left() - spare);
    }
    return rect;
  }

 private:
  // Room for the arrow's 8-pixel triangle with 3 pixels either side.
  static constexpr int kArrowWidth = 14;
};

// One style for every option dialog; it goes with the application.
QStyle* ListStyle() {
  static QPointer<QStyle> style;
  if (style.isNull()) {
    style = new NarrowArrowStyle;
    style->setParent(qApp);
  }
  return style;
}

}  // namespace

TFormOption::TFormOption(QWidget* owner) : QDialog(owner) {
  setupUi(this);
  ApplyResourceFonts(this);
  ApplyAnchors(this);
  for (QComboBox* list : findChildren<QComboBox*>()) list->setStyle(ListStyle());
  WButtonFormColor->SetWButtonStyle(wsSingle);
  WButtonFormColor->SetFontColor(0);
  WButtonFormColor->OnClick = [this](QObject*) { Guarded([this] { WButtonFormColorClick(); }); };
  // Only a choice of the user's changes the fields, not the filling below.
  connect(ComboBoxDispSize, &QComboBox::activated, this,
          [this] { Guarded([this] { ComboBoxDispSizeChange(); }); });
  connect(Button1, &QPushButton::clicked, this, [this] {
    bool ok = false;
    Guarded([&] {
      Button1Click();
      ok = true;
    });
    // A field that did not convert keeps the dialog open to be corrected.
    if (ok) done(mrOk);
  });
  connect(Button2, &QPushButton::clicked, this, [this] { done(mrCancel); });
  if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  FormCreate();
}

TFormOption::~TFormOption() {
  if (FormOption == this) FormOption = nullptr;
}

void TFormOption::FormCreate() {
  LabelVersion->setText(QStringLiteral("Version ") + QStringLiteral("1.30"));
  CheckBoxButtonEditMode->setChecked(Setting->buttonEditMode != 0);
  CheckBoxStayOnTop->setChecked(Setting->stayOnTop != 0);
  QComboBox* lines[4] = {ComboBoxButtonDispLine1, ComboBoxButtonDispLine2, ComboBoxButtonDispLine3,
                         ComboBoxButtonDispLine4};
  const int32_t values[4] = {Setting->buttonDispLine1, Setting->buttonDispLine2,
                             Setting->buttonDispLine3, Setting->buttonDispLine4};
  // A value outside the list leaves the list without a selection.
  for (int i = 0; i < 4; ++i)
    lines[i]->setCurrentIndex(values[i] >= 0 && values[i] < lines[i]->count() ? values[i] : -1);
  EditDispWidth->setText(QString::number(Setting->dispWidth));
  EditDispHeight->setText(QString::number(Setting->dispHeight));
  ComboBoxDispSize->setCurrentIndex(
      ComboBoxDispSize->findText(QString::number(Setting->dispFontSize), Qt::MatchExactly));
}

void TFormOption::FormActivate() {
  // Only the first activation: the palette closing over the dialog activates
  // it again, and must not take back the colour just chosen.
  if (activated) return;
  activated = true;
  WButtonFormColor->SetFaceColor(Setting->formColor);
}

void TFormOption::ComboBoxDispSizeChange() {
  const int32_t size = StrToInt(Text(ComboBoxDispSize->currentText()));
  const QSize label = MeasureLabel(size);
  const int32_t w = label.width() + 4;
  EditDispWidth->setText(QString::number(((w + 6) / 5) * 5 + 4));
  const int32_t minH = 2 * label.height() + 10;
  if (minH > StrToInt(Text(EditDispHeight->text())))
    EditDispHeight->setText(QString::number(minH));
}

void TFormOption::WButtonFormColorClick() {
  FormPalette->ExecuteFor(WButtonFormColor);
}

void TFormOption::Button1Click() {
  Setting->buttonEditMode = CheckBoxButtonEditMode->isChecked() ? 1 : 0;
  Setting->stayOnTop = CheckBoxStayOnTop->isChecked() ? 1 : 0;
  Setting->buttonDispLine1 = ComboBoxButtonDispLine1->currentIndex();
  Setting->buttonDispLine2 = ComboBoxButtonDispLine2->currentIndex();
  Setting->buttonDispLine3 = ComboBoxButtonDispLine3->currentIndex();
  Setting->buttonDispLine4 = ComboBoxButtonDispLine4->currentIndex();
  Setting->dispWidth = StrToInt(Text(EditDispWidth->text()));
  Setting->dispHeight = StrToInt(Text(EditDispHeight->text()));
  if (ComboBoxDispSize->currentIndex() < 0) throw EListError("List index out of bounds (-1)");
  Setting->dispFontSize = StrToInt(Text(ComboBoxDispSize->currentText()));
  Setting->formColor = WButtonFormColor->FaceColor();
  ArrangeForm();
  RefreshButtons();
  ApplyStayOnTop();
}

void TFormOption::reject() { done(mrCancel); }

void TFormOption::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  // Where no window manager hands out activation, ask for it.
  activateWindow();
}

bool TFormOption::event(QEvent* e) {
  const bool handled = QDialog::event(e);
  if (e->type() == QEvent::WindowActivate) FormActivate();
  return handled;
}

void ShowOptionDialog() {
  if (FormCalc == nullptr || Setting == nullptr || FormPalette == nullptr) return;
  std::unique_ptr<TFormOption> dialog(new TFormOption(FormCalc));
  FormOption = dialog.get();
  // Activation may not reach a dialog where no window manager runs; the
  // swatch must show the colour all the same.
  FormOption->FormActivate();
  FormOption->exec();
}
