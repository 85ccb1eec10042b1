// buttonsheet: draws the button control in every look and style and writes
// the lot as one PNG, so that a person can look at them side by side.
//
//   buttonsheet [file.png [zoom]]      (default buttonsheet.png, zoom 2)
#include <QApplication>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QFont>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QString>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include "button/fonts.h"
#include "button/wbutton.h"

namespace {

enum class Look { Up, Down, Enter, Disabled };

void Show(TWButton& b, Look look) {
  switch (look) {
    case Look::Up:
      break;
    case Look::Down: {
      QMouseEvent e(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(&b, &e);
      break;
    }
    case Look::Enter: {
      QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
      QCoreApplication::sendEvent(&b, &e);
      break;
    }
    case Look::Disabled:
      b.setEnabled(false);
      break;
  }
}

QImage Draw(const std::function<void(TWButton&)>& setup, Look look) {
  TWButton b(nullptr);
  setup(b);
  Show(b, look);
  return b.grab().toImage();
}

// The title strip's glyphs: white figures on magenta, 12 x 11.
QImage TitleGlyph(int kind) {
  QImage g(12, 11, QImage::Format_RGB32);
  g.fill(qRgb(255, 0, 255));
  const QRgb white = qRgb(255, 255, 255);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 12; ++x) {
      bool on = false;
      if (kind == 0)  // stop: hollow rectangle, top edge two pixels thick
        on = x >= 2 && x <= 9 && y >= 1 && y <= 9 && (y <= 2 || y == 9 || x == 2 || x == 9);
      else if (kind == 1)  // minimise: a bar
        on = x >= 3 && x <= 8 && (y == 8 || y == 9);
      else  // close: an X of two-pixel strokes
        on = y >= 2 && y <= 8 && (x - 2 == y - 2 || x - 3 == y - 2 || 9 - x == y - 2 ||
                                  8 - x == y - 2);
      if (on) g.setPixel(x, y, white);
    }
  return g;
}

struct Cell {
  QString label;
  QImage image;
};

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  RegisterFontSubstitutes();
  const QString file = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("buttonsheet.png");
  const int zoom = argc > 2 ? std::max(1, std::atoi(argv[2])) : 2;

  QFont tahoma(QStringLiteral("Tahoma"));
  tahoma.setPixelSize(12);
  QFont uiGothic(QStringLiteral("MS UI Gothic"));
  uiGothic.setPixelSize(12);
  QFont gothic(QStringLiteral("ＭＳ ゴシック"));
  gothic.setPixelSize(13);

  struct Column {
    QString label;
    TWButtonStyle style;
    int round;
  };
  const std::vector<Column> columns{
      {"wsNormal", wsNormal, 0}, {"wsSingle", wsSingle, 0}, {"wsFlat", wsFlat, 0},
      {"wsNormal Round 8", wsNormal, 8}, {"wsSingle Round 8", wsSingle, 8},
      {"wsFlat Round 8", wsFlat, 8}};
  struct Row {
    QString label;
    Look look;
    int enter;  // -1: as the style makes it
  };
  const std::vector<Row> rows{
      {"up", Look::Up, -1},           {"down", Look::Down, -1},
      {"enter weNon", Look::Enter, weNon},       {"enter weNormal", Look::Enter, weNormal},
      {"enter weSingle", Look::Enter, weSingle}, {"enter weFrame", Look::Enter, weFrame},
      {"enter weFace", Look::Enter, weFace},     {"enter weReverse", Look::Enter, weReverse},
      {"disabled", Look::Disabled, -1}};

  std::vector<std::vector<Cell>> grid;
  for (const Row& row : rows) {
    std::vector<Cell> line;
    for (const Column& column : columns) {
      auto setup = [&](TWButton& b) {
        b.setFont(uiGothic);
        b.SetCaption(QStringLiteral("計算 Abc"));
        b.SetWButtonStyle(column.style);
        if (row.enter >= 0) b.SetWButtonEnter(TWButtonEnter(row.enter));
        b.SetRound(column.round);
        b.SetBackColor(0x505050);
        b.SetEnterFrameColor(0x00C0FF);
        b.SetEnterFaceColor(0xFFE0C0);
        b.SetEnterTextColor(0xC00000);
      };
      line.push_back({row.label + " / " + column.label, Draw(setup, row.look)});
    }
    grid.push_back(line);
  }

  // The calculator's own uses: title strip, grid buttons, colour swatch.
  std::vector<Cell> extras;
  for (int kind = 0; kind < 3; ++kind)
    for (Look look : {Look::Up, Look::Enter, Look::Down}) {
      auto setup = [&](TWButton& b) {
        b.resize(15, 15);
        b.SetWButtonStyle(wsFlat);
        b.SetSpacing(0);
        b.setFont(gothic);
        b.SetFontColor(0xFFFFFF);
        b.SetFaceColor(0x804000);
        b.SetGlyph(TitleGlyph(kind));
      };
      extras.push_back({QStringLiteral("title %1").arg(kind), Draw(setup, look)});
    }
  const struct {
    QString label;
    std::function<void(TWButton&)> setup;
  } more[] = {
      {"long, left", [&](TWButton& b) { b.setFont(tahoma); b.resize(140, 22);
                                        b.SetAlignment(taLeftJustify);
                                        b.SetCaption(QStringLiteral("sqrt(Ans)")); }},
      {"right", [&](TWButton& b) { b.setFont(tahoma); b.SetAlignment(taRightJustify);
                                   b.SetCaption(QStringLiteral("右寄せ")); }},
      {"cut", [&](TWButton& b) { b.setFont(tahoma); b.resize(40, 22);
                                 b.SetCaption(QStringLiteral("ABCDEFGHIJ")); }},
      {"glyph + caption", [&](TWButton& b) { b.setFont(uiGothic); b.SetGlyph(TitleGlyph(2));
                                             b.SetFaceColor(0x804000); b.SetFontColor(0xFFFFFF);
                                             b.SetCaption(QStringLiteral("閉じる")); }},
      {"swatch", [&](TWButton& b) { b.resize(130, 22); b.SetWButtonStyle(wsSingle);
                                    b.SetFaceColor(0x40A0E0); b.setFont(uiGothic); }},
      {"coloured", [&](TWButton& b) { b.setFont(tahoma); b.SetFaceColor(0x203040);
                                      b.SetFontColor(0x80FFFF); b.SetCaption("7"); }},
  };
  for (const auto& m : more) extras.push_back({m.label, Draw(m.setup, Look::Up)});

  // Layout: a label line above each button, cells on a fixed pitch.
  const int labelHeight = 14, pad = 8, cellWidth = 175, cellHeight = 22 + labelHeight + pad;
  const int width = pad + int(columns.size()) * cellWidth;
  const int height = pad + int(rows.size() + 2) * cellHeight + pad;
  QImage sheet(width, height, QImage::Format_RGB32);
  sheet.fill(qRgb(236, 236, 236));
  QPainter p(&sheet);
  QFont labelFont(QStringLiteral("DejaVu Sans"));
  labelFont.setPixelSize(9);
  p.setFont(labelFont);
  p.setPen(Qt::black);
  auto put = [&](const Cell& c, int x, int y) {
    p.drawText(QRect(x, y, cellWidth - 4, labelHeight), Qt::AlignLeft | Qt::AlignVCenter,
               c.label);
    p.drawImage(x, y + labelHeight, c.image);
  };
  for (size_t r = 0; r < grid.size(); ++r)
    for (size_t c = 0; c < grid[r].size(); ++c)
      put(grid[r][c], pad + int(c) * cellWidth, pad + int(r) * cellHeight);
  const int extrasTop = pad + int(rows.size()) * cellHeight;
  int x = pad, y = extrasTop;
  for (const Cell& c : extras) {
    const int w = std::max(c.image.width() + 10, int(c.label.size()) * 6 + 6);
    if (x + w > width) {
      x = pad;
      y += cellHeight;
    }
    put(c, x, y);
    x += w;
  }
  p.end();

  const QImage out = sheet.scaled(sheet.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  if (!out.save(file, "PNG")) {
    std::fprintf(stderr, "buttonsheet: cannot write %s\n", file.toLocal8Bit().constData());
    return 1;
  }
  std::printf("%s\n", file.toLocal8Bit().constData());
  return 0;
}
