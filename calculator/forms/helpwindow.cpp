// helpwindow: the help window.
#include "helpwindow.h"

#include <algorithm>
#include <cmath>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "calculator/layout.h"
#include "formcalc.h"
#include "platform/dialogs.h"

THelpWindow* HelpWindow = nullptr;

namespace {

// Code on the pages asks for the generic face "monospace". Among Japanese
// text that resolves to the Japanese face, which draws the backslash as a
// yen sign ("C:\\data" read as C:¥data). The stylesheet is given to the page
// with the concrete face that "monospace" means for Latin text named first,
// so the backslash stays a backslash and Japanese characters in code still
// fall back to a face that has them. This is done to the stylesheet as it
// loads: a page changed after it is set is not laid out again in full, and
// blocks left without lines are never drawn.
class THelpBrowser : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;

  QVariant loadResource(int type, const QUrl& name) override {
    QVariant resource = QTextBrowser::loadResource(type, name);
    if (type != QTextDocument::StyleSheetResource) return resource;
    QString css = resource.typeId() == QMetaType::QByteArray
                      ? QString::fromUtf8(resource.toByteArray())
                      : resource.toString();
    static const QRegularExpression generic(
        QStringLiteral("(font-family\\s*:[^;}]*?)\\bmonospace\\b"));
    const QString fixed = QFontInfo(QFont(QStringLiteral("monospace"))).family();
    css.replace(generic, QStringLiteral("\\1\"%1\", monospace").arg(fixed));
    return css;
  }
};

// Room left for a window manager's frame before it has framed the window
// once (a title bar above, thin edges elsewhere).
const QMargins kFrameGuess(4, 28, 4, 4);

LayoutRect ToLayoutRect(const QRect& r) { return LayoutRect{r.x(), r.y(), r.width(), r.height()}; }

}  // namespace

THelpWindow::THelpWindow(QWidget* owner) : QWidget(owner, Qt::Window), frame(kFrameGuess) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(QStringLiteral("Zimro ヘルプ"));
  wanted = QSize(640, 600);
  resize(wanted);
  // Also where no window manager offers a way to close it.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, &QWidget::close);

  browser = new THelpBrowser(this);
  browser->setObjectName(QStringLiteral("HelpBrowser"));
  browser->setOpenLinks(true);
  browser->setOpenExternalLinks(false);

  contentsButton = new QToolButton(this);
  contentsButton->setText(QStringLiteral("目次"));
  backButton = new QToolButton(this);
  backButton->setText(QStringLiteral("戻る"));
  backButton->setEnabled(false);
  forwardButton = new QToolButton(this);
  forwardButton->setText(QStringLiteral("進む"));
  forwardButton->setEnabled(false);

  auto* bar = new QHBoxLayout;
  bar->setContentsMargins(4, 4, 4, 0);
  bar->addWidget(contentsButton);
  bar->addWidget(backButton);
  bar->addWidget(forwardButton);
  bar->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addLayout(bar);
  layout->addWidget(browser, 1);

  connect(contentsButton, &QToolButton::clicked, this, [this] {
    browser->setSource(QUrl::fromLocalFile(contentsPath));
  });
  connect(backButton, &QToolButton::clicked, browser, &QTextBrowser::backward);
  connect(forwardButton, &QToolButton::clicked, browser, &QTextBrowser::forward);
  connect(browser, &QTextBrowser::backwardAvailable, backButton, &QToolButton::setEnabled);
  connect(browser, &QTextBrowser::forwardAvailable, forwardButton, &QToolButton::setEnabled);
  connect(browser, &QTextBrowser::sourceChanged, this, [this] {
    const QString title = browser->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Zimro ヘルプ") : title);
  });
}

THelpWindow::~THelpWindow() {
  if (HelpWindow == this) HelpWindow = nullptr;
}

bool THelpWindow::event(QEvent* e) {
  const bool handled = QWidget::event(e);
  // Sized otherwise than placed, by a person or the program: kept for the
  // next time it opens, fitted again to the screen then.
  if (e->type() == QEvent::Resize && isVisible() && size() != placedSize) wanted = size();
  // Framed by the window manager: placed again if its frame is other than
  // the room left for it.
  if (placing && (e->type() == QEvent::Move || e->type() == QEvent::Resize)) {
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    const QMargins seen(inner.left() - outer.left(), inner.top() - outer.top(),
                        outer.right() - inner.right(), outer.bottom() - inner.bottom());
    if (!seen.isNull()) {
      placing = false;
      if (seen != frame) {
        frame = seen;
        Place();
      }
    }
  }
  return handled;
}

void THelpWindow::closeEvent(QCloseEvent* e) {
  QWidget::closeEvent(e);
  // The keyboard goes back to the calculator, also without a window manager.
  if (e->isAccepted() && parentWidget() != nullptr && parentWidget()->isVisible())
    parentWidget()->activateWindow();
}

void THelpWindow::Place() {
  const QWidget* owner = parentWidget();
  const QScreen* shown = owner != nullptr ? owner->screen() : screen();
  if (shown == nullptr) return;
  // At a fractional scale the frame's margins in logical pixels are
  // rounded: one pixel more keeps its last device pixel on the screen.
  const qreal ratio = shown->devicePixelRatio();
  const int slack = ratio == std::floor(ratio) ? 0 : 1;
  const int sides = frame.left() + frame.right() + slack;
  const int ends = frame.top() + frame.bottom() + slack;
  const LayoutRect ownerFrame =
      owner != nullptr ? ToLayoutRect(owner->frameGeometry()) : LayoutRect{};
  const LayoutRect placed =
      PlaceBeside(ownerFrame, wanted.width() + sides, wanted.height() + ends,
                  ToLayoutRect(shown->availableGeometry()));
  placedSize = QSize(std::max(1, placed.width - sides), std::max(1, placed.height - ends));
  resize(placedSize);
  // A window's position is its frame's.
  move(placed.left, placed.top);
}

bool THelpWindow::Open(const QString& path) {
  const QFileInfo file(path);
  if (!file.isFile()) return false;
  contentsPath = file.absoluteFilePath();
  browser->setSource(QUrl::fromLocalFile(contentsPath));
  // A window already open stays where it is.
  if (!isVisible()) {
    Place();
    placing = true;
  }
  show();
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  return true;
}

QString HelpContentsPath() {
  if (FormCalc != nullptr && !FormCalc->HelpFile.isEmpty()) return FormCalc->HelpFile;
  return QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html");
}

int ShowHelpFile(const QString& path) {
  if (!QFileInfo(path).isFile()) {
    const QString text = QStringLiteral("ヘルプファイルが見つかりません。\n") + path;
    MessageDlg(text.toStdU16String(), mtWarning, mbOK, 0);
    return 0;
  }
  // Owned by the main window, so it goes with it and stays above it.
  if (HelpWindow == nullptr) HelpWindow = new THelpWindow(FormCalc);
  HelpWindow->Open(path);
  return 0;
}

int ShowHelpContents() { return ShowHelpFile(HelpContentsPath()); }
