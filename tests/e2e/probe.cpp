// harnessprobe: a tiny window for proving the end-to-end harness. It logs
// what reaches it, one line each, to the file named by its first argument:
// "clicked N" (the button; also puts "クリック N" on the clipboard),
// "entered TEXT" (Return in the line edit), "key NAME" (Pause, Insert, F1
// anywhere in the window). Escape ends it with status 3.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace {

class Probe : public QWidget {
public:
  explicit Probe(const QString& logPath) : log_(logPath) {
    log_.open(QIODevice::WriteOnly | QIODevice::Truncate);
    setWindowTitle("probe");
    setFixedSize(240, 100);
    button_.setText("Press");
    button_.setGeometry(10, 10, 100, 30);
    edit_.setGeometry(10, 55, 220, 30);
    connect(&button_, &QPushButton::clicked, this, [this] {
      ++clicks_;
      Log("clicked " + QString::number(clicks_));
      QGuiApplication::clipboard()->setText(QString::fromUtf16(u"クリック ") +
                                            QString::number(clicks_));
    });
    connect(&edit_, &QLineEdit::returnPressed, this, [this] {
      Log("entered " + edit_.text());
      edit_.clear();
    });
    qApp->installEventFilter(this);
  }

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Pause: Log("key Pause"); return true;
      case Qt::Key_Insert: Log("key Insert"); return true;
      case Qt::Key_F1: Log("key F1"); return true;
      case Qt::Key_Escape: QApplication::exit(3); return true;
      default: return false;
    }
  }

private:
  void Log(const QString& line) {
    log_.write((line + "\n").toUtf8());
    log_.flush();
  }

  QFile log_;
  QPushButton button_{this};
  QLineEdit edit_{this};
  int clicks_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  Probe probe(QString::fromLocal8Bit(argv[1]));
  probe.show();
  probe.activateWindow();
  return app.exec();
}
