// formsupport: resource fonts, anchors and colour conversions.
#include "calculator/forms/formsupport.h"

#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QPointer>
#include <QVariant>
#include <QWidget>

#include <vector>

namespace {

// One parent's anchored children with their resource distances.
class AnchorKeeper : public QObject {
 public:
  struct Item {
    QPointer<QWidget> w;
    bool left, top, right, bottom;
    int dLeft, dTop, dRight, dBottom, width, height;
  };

  explicit AnchorKeeper(QWidget* parent) : QObject(parent), parent_(parent) {
    setObjectName(Name());
    parent->installEventFilter(this);
  }

  static QString Name() { return QStringLiteral("zimroAnchorKeeper"); }

  // The keeper of `parent`, made on first use.
  static AnchorKeeper* Of(QWidget* parent) {
    for (QObject* child : parent->children())
      if (child->objectName() == Name()) return static_cast<AnchorKeeper*>(child);
    return new AnchorKeeper(parent);
  }

  void Add(QWidget* w, const QString& spec) {
    Item it{};
    it.w = w;
    const QStringList parts = spec.split(',', Qt::SkipEmptyParts);
    for (QString p : parts) {
      p = p.trimmed();
      if (p == QLatin1String("left")) it.left = true;
      if (p == QLatin1String("top")) it.top = true;
      if (p == QLatin1String("right")) it.right = true;
      if (p == QLatin1String("bottom")) it.bottom = true;
    }
    const QRect g = w->geometry();
    it.dLeft = g.x();
    it.dTop = g.y();
    it.dRight = parent_->width() - (g.x() + g.width());
    it.dBottom = parent_->height() - (g.y() + g.height());
    it.width = g.width();
    it.height = g.height();
    items_.push_back(it);
  }

  void Realign() {
    const int W = parent_->width(), H = parent_->height();
    for (const Item& it : items_) {
      if (!it.w) continue;
      int x = it.dLeft, w = it.width, y = it.dTop, h = it.height;
      if (it.right) {
        if (it.left) w = W - it.dLeft - it.dRight;
        else x = W - it.dRight - it.width;
      }
      if (it.bottom) {
        if (it.top) h = H - it.dTop - it.dBottom;
        else y = H - it.dBottom - it.height;
      }
      it.w->setGeometry(x, y, w, h);
    }
  }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override {
    if (o == parent_ && (e->type() == QEvent::Resize || e->type() == QEvent::Show)) Realign();
    return false;
  }

 private:
  QWidget* parent_;
  std::vector<Item> items_;
};

}  // namespace

void ApplyResourceFonts(QWidget* form) {
  QList<QWidget*> all = form->findChildren<QWidget*>();
  all.prepend(form);
  for (QWidget* w : all) {
    const QVariant v = w->property("resFont");
    if (!v.isValid()) continue;
    const QStringList parts = v.toString().split(',');
    if (parts.size() != 2) continue;
    QFont f(parts[0]);
    const int height = parts[1].toInt();
    f.setPixelSize(height < 0 ? -height : height);
    w->setFont(f);
  }
}

void ApplyAnchors(QWidget* form) {
  QList<QWidget*> all = form->findChildren<QWidget*>();
  for (QWidget* w : all) {
    const QVariant v = w->property("anchors");
    if (!v.isValid() || !w->parentWidget()) continue;
    QWidget* parent = w->parentWidget();
    AnchorKeeper::Of(parent)->Add(w, v.toString());
  }
}

QColor ToQColor(TColor color) {
  const TColor c = ColorToRGB(color);
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TColor FromQRgb(unsigned rgb) {
  return static_cast<TColor>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}
