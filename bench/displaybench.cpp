// displaybench: the display's costs, in process with the real main window
// (run it with QT_QPA_PLATFORM=offscreen or on an X server).
//
//   displaybench BIN   BIN: the folder that holds libvek.so
//
// Enter on an empty display and on one holding 10,000,000 units, printing
// 10,000,000 units in lines and as one line, the time from Pause to the end
// of a run that prints without pause, a line of 400,000 and of 1,000,000
// units pasted and then edited, Pause and the close button during a run
// with such a line shown, and the resident memory after a display of
// 10,000,000 units is cleared. Each figure is printed beside its
// target; the exit status is 1 when a target is missed.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/benchsupport.h"
#include "button/fonts.h"
#include "calculator/forms/application.h"
#include "calculator/forms/formcalc.h"
#include "calculator/forms/memo.h"
#include "calculator/forms/runs.h"
#include "calculator/forms/wbexecalc.h"

namespace {

constexpr int kUnits = 10'000'000;

bool missed = false;

double Ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

// Lets the window handle what is pending and paint the display, as it does
// before it answers the next key.
void Settle(TFormCalc* form) {
  QCoreApplication::processEvents();
  // The display paints when printing has paused.
  while (!form->MemoOut->viewport()->updatesEnabled()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
  }
  form->MemoOut->viewport()->repaint();
  QCoreApplication::processEvents();
}

void Row(const char* what, double value, const char* unit, double target) {
  const bool met = value < target;
  if (!met) missed = true;
  std::printf("%-50s %9.1f %s   (target under %.0f %s: %s)\n", what, value, unit, target, unit,
              Verdict(met));
}

void Figure(const char* what, double value, const char* unit) {
  std::printf("%-50s %9.1f %s\n", what, value, unit);
}

// Runs a statement program as a button press runs it.
void Run(const std::u16string& script) { RunButtonProgram(script); }

// Enter on the line "1+2" typed at the end of the display; median of 5.
double EnterMs(TFormCalc* form) {
  std::vector<double> times;
  for (int k = 0; k < 5; ++k) {
    QTest::keyClicks(form->MemoOut, QStringLiteral("1+2"));
    Settle(form);
    QElapsedTimer t;
    t.start();
    QTest::keyClick(form->MemoOut, Qt::Key_Return);
    Settle(form);
    times.push_back(Ms(t));
  }
  // Each result stays on the caret's line and the next "1+2" is typed
  // behind it: 3, 31+2 = 33, ... 33331+2 = 33333.
  const QString result = form->MemoOut->textCursor().block().text();
  if (result != QStringLiteral("33333")) {
    std::printf("  (Enter left \"%s\", not \"33333\")\n", result.left(40).toUtf8().constData());
    missed = true;
  }
  return Median(times);
}

// A display of about 10,000,000 units in lines of 100 and their line ends.
std::u16string LargeText() {
  std::u16string line;
  for (int k = 0; k < 98; ++k) line += static_cast<char16_t>(u'0' + k % 10);
  line += u"\r\n";
  std::u16string text;
  text.reserve(kUnits + line.size());
  while (text.size() < kUnits) text += line;
  return text;
}

// Milliseconds from the start of a printing run to its end, and to the
// window having painted what it printed.
void Printing(TFormCalc* form, const char* what, const std::u16string& script) {
  form->MemoOut->SetText(u"");
  Settle(form);
  QElapsedTimer t;
  t.start();
  Run(script);
  const double run = Ms(t);
  Settle(form);
  const double shown = Ms(t);
  std::printf("%-50s %9.1f ms to the run's end, %.1f ms until painted\n", what, run, shown);
  if (Block->errorCode != erNone) {
    std::printf("  (the run ended with error %d)\n", static_cast<int>(Block->errorCode));
    missed = true;
  }
}

// Milliseconds from a Pause due 1 s into the run to the run's end. The clock
// starts when the key is due, so a window too busy to look at its events
// counts against it.
double PauseMs(TFormCalc* form, const std::u16string& script, bool keepDisplay = false) {
  if (!keepDisplay) form->MemoOut->SetText(u"");
  Settle(form);
  QElapsedTimer t;
  t.start();
  constexpr qint64 kDueNs = 1'000'000'000;
  QTimer::singleShot(1000, form, [form] { QTest::keyClick(form->MemoOut, Qt::Key_Pause); });
  Run(script);
  const double ms = static_cast<double>(t.nsecsElapsed() - kDueNs) / 1e6;
  if (ms < 0) {
    std::printf("  (the run ended before the Pause)\n");
    missed = true;
  }
  form->MemoOut->SetText(u"");
  Settle(form);
  return ms;
}

// A line of `units` digits without a break.
QString OneLine(int units) {
  QString line(units, QChar(u'0'));
  for (int k = 0; k < units; ++k) line[k] = QChar(u'0' + k % 10);
  return line;
}

// Milliseconds for one key on the display until the window has painted.
double KeyMs(TFormCalc* form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QElapsedTimer t;
  t.start();
  QTest::keyClick(form->MemoOut, key, modifiers);
  Settle(form);
  return Ms(t);
}

// A line of `units` pasted with Ctrl+V into an empty display, then edited
// there: a character typed at its end, the caret moved.
void PastedLine(TFormCalc* form, int units, const char* what) {
  form->MemoOut->SetText(u"");
  Settle(form);
  QGuiApplication::clipboard()->setText(OneLine(units));
  const long beforeKb = ResidentKb();
  Row(what, KeyMs(form, Qt::Key_V, Qt::ControlModifier), "ms", 1000);
  if (form->MemoOut->document()->characterCount() != units + 1) {
    std::printf("  (the display holds %d units)\n", form->MemoOut->document()->characterCount() - 1);
    missed = true;
  }
  Figure("  resident memory holding it, above before", (ResidentKb() - beforeKb) / 1024.0, "MB");
  Figure("  type a character at its end", KeyMs(form, Qt::Key_A), "ms");
  Figure("  caret one to the left", KeyMs(form, Qt::Key_Left), "ms");
  Figure("  caret to the display's start (Ctrl+Home)", KeyMs(form, Qt::Key_Home, Qt::ControlModifier), "ms");
  Figure("  type a character at its start", KeyMs(form, Qt::Key_A), "ms");
  Figure("  caret down a row", KeyMs(form, Qt::Key_Down), "ms");
  Figure("  caret to the display's end (Ctrl+End)", KeyMs(form, Qt::Key_End, Qt::ControlModifier), "ms");
  form->MemoOut->SetText(u"");
  Settle(form);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: displaybench BIN\n", stderr);
    return 2;
  }
  const QString bin = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  int qargc = 1;
  TApplication app(qargc, argv);
  RegisterFontSubstitutes();
  QTemporaryDir dir;
  if (!dir.isValid() || !QFile::link(bin + "/libvek.so", dir.filePath("libvek.so"))) {
    std::fputs("displaybench: cannot prepare a folder with libvek.so\n", stderr);
    return 2;
  }
  auto* form = new TFormCalc(dir.filePath("zimro"), QStringList{dir.filePath("zimro")});
  if (form->Terminated() || Block == nullptr) {
    std::fputs("displaybench: the window did not start\n", stderr);
    return 2;
  }
  form->show();
  Settle(form);

  // Warm up the heap and the fonts, then take the resident memory to start
  // from.
  Run(u"PRINT 1");
  form->MemoOut->SetText(u"");
  Settle(form);
  const long startKb = ResidentKb();

  std::printf("the display, in process (10 MB: 10,000,000 units)\n");
  form->MemoOut->SetText(u"");
  Settle(form);
  Row("Enter on an empty display (median of 5)", EnterMs(form), "ms", 50);

  form->MemoOut->SetText(LargeText());
  form->MemoOut->moveCursor(QTextCursor::End);
  Settle(form);
  Row("Enter on a display of 10 MB in lines (median of 5)", EnterMs(form), "ms", 50);

  const std::u16string hundred =
      u"DIM s = \"" + std::u16string(100, u'x') + u"\", i\r\n";
  Printing(form, "printing 10 MB in 100,000 lines of 100",
           hundred + u"FOR i = 1 TO 100000 { PRINT s + CHR(10) }");
  // Ten units doubled ten times: 10,240.
  const std::u16string piece = u"DIM s = \"xxxxxxxxxx\", i\r\nFOR i = 1 TO 10 { s = s + s }\r\n";
  Printing(form, "printing 10 MB as one line (977 texts of 10,240)",
           piece + u"FOR i = 1 TO 977 { PRINT s }");

  Row("Pause to the run's end, printing lines", PauseMs(form, hundred + u"FOR i = 1 TO 100000000 { PRINT s + CHR(10) }"),
      "ms", 500);
  Row("Pause to the run's end, printing one line", PauseMs(form, piece + u"FOR i = 1 TO 100000000 { PRINT s }"),
      "ms", 500);

  PastedLine(form, 400'000, "paste a line of 400,000 units (Ctrl+V)");
  PastedLine(form, 1'000'000, "paste a line of 1,000,000 units (Ctrl+V)");

  // A line of 1,000,000 units pasted, then a run that prints nothing.
  const std::u16string counting = u"DIM n = 0\r\nWHILE 1 { n = n + 1 }";
  QGuiApplication::clipboard()->setText(OneLine(1'000'000));
  QTest::keyClick(form->MemoOut, Qt::Key_V, Qt::ControlModifier);
  Row("Pause to the run's end, a line of 1,000,000 shown",
      PauseMs(form, counting, true), "ms", 500);

  // Memory: a display of 10 MB printed, then cleared with the Insert key.
  Run(hundred + u"FOR i = 1 TO 100000 { PRINT s + CHR(10) }");
  Settle(form);
  const long fullKb = ResidentKb();
  QTest::keyClick(form->MemoOut, Qt::Key_Insert);
  Settle(form);
  const long clearedKb = ResidentKb();
  Figure("resident memory at the start", startKb / 1024.0, "MB");
  Figure("resident memory holding 10 MB printed", fullKb / 1024.0, "MB");
  Row("resident memory after clearing it, above the start", (clearedKb - startKb) / 1024.0, "MB",
      20);

  // Last, as it ends the window: the close button during that run, to the
  // window closed (and its file saved).
  QGuiApplication::clipboard()->setText(OneLine(1'000'000));
  QTest::keyClick(form->MemoOut, Qt::Key_V, Qt::ControlModifier);
  Settle(form);
  QElapsedTimer t;
  t.start();
  QTimer::singleShot(1000, form, [form] { QTest::mouseClick(form->WSysButton3, Qt::LeftButton); });
  Run(counting);
  while (form->isVisible()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
  Row("the close button to the window closed, same line",
      static_cast<double>(t.nsecsElapsed() - 1'000'000'000) / 1e6, "ms", 500);

  form->close();
  delete form;
  return missed ? 1 : 0;
}
