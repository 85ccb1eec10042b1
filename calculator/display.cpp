// display: display-line arithmetic and how printed text reaches the display.
#include "calculator/display.h"

#include <algorithm>

namespace {

constexpr size_t kPieceUnits = 254;

int32_t Clamp(std::u16string_view text, int32_t pos) {
  return std::clamp<int32_t>(pos, 0, static_cast<int32_t>(text.size()));
}

}  // namespace

std::u16string ReadCurrentLine(std::u16string_view text, int32_t caret) {
  size_t c = static_cast<size_t>(Clamp(text, caret));
  size_t start = 0;
  for (size_t p = c; p > 0; --p) {
    if (text[p - 1] == u'\n') {
      start = p;
      break;
    }
  }
  size_t lf = text.find(u'\n', start);
  size_t end = lf == std::u16string_view::npos ? text.size() : lf + 1;
  return std::u16string(text.substr(start, end - start));
}

DisplayState AdvanceDisplayLine(std::u16string_view text, int32_t caret) {
  size_t c = static_cast<size_t>(Clamp(text, caret));
  DisplayState out;
  size_t lf = text.find(u'\n', c);
  if (lf == std::u16string_view::npos) {
    // On the last line: a new empty line after it.
    out.text = std::u16string(text) + u"\r\n";
    out.selStart = static_cast<int32_t>(out.text.size());
    return out;
  }
  // An inner line: the next line is emptied, its line end kept.
  size_t start = lf + 1;
  size_t next = text.find(u'\n', start);
  size_t end = text.size();
  if (next != std::u16string_view::npos) {
    end = next;
    if (end > start && text[end - 1] == u'\r') --end;
  }
  out.text = std::u16string(text.substr(0, start)) + std::u16string(text.substr(end));
  out.selStart = static_cast<int32_t>(start);
  return out;
}

std::vector<PrintStep> PrintSteps(std::u16string_view printed) {
  std::vector<PrintStep> steps;
  std::u16string buffer;
  auto flush = [&] {
    if (!buffer.empty()) steps.push_back(PrintStep{false, buffer});
    buffer.clear();
  };
  for (size_t k = 0; k < printed.size(); ++k) {
    char16_t c = printed[k];
    if (c == u'\0') break;
    if (c == u'\r') continue;
    if (c == 0x1B) {
      // ESC "*" empties the display; whatever is still buffered lands in
      // the emptied display. Any other ESC is dropped.
      if (k + 1 < printed.size() && printed[k + 1] == u'*') {
        steps.push_back(PrintStep{true, {}});
        ++k;
      }
      continue;
    }
    if (c == u'\n') {
      buffer += u"\r\n";
      flush();
      continue;
    }
    buffer += c;
    if (buffer.size() >= kPieceUnits) flush();
  }
  flush();
  return steps;
}

void ApplyPrint(DisplayState& display, const std::vector<PrintStep>& steps) {
  for (const PrintStep& step : steps) {
    if (step.clear) {
      display = DisplayState{};
      continue;
    }
    int32_t start = Clamp(display.text, display.selStart);
    int32_t length = std::clamp<int32_t>(display.selLength, 0,
                                         static_cast<int32_t>(display.text.size()) - start);
    display.text.replace(static_cast<size_t>(start), static_cast<size_t>(length), step.piece);
    display.selStart = start + static_cast<int32_t>(step.piece.size());
    display.selLength = 0;
  }
}

std::u16string ToWidgetText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t k = 0; k < text.size(); ++k) {
    if (text[k] == u'\r' && k + 1 < text.size() && text[k + 1] == u'\n') continue;
    out += text[k];
  }
  return out;
}

int32_t ToWidgetPos(std::u16string_view text, int32_t pos) {
  int32_t p = Clamp(text, pos);
  int32_t dropped = 0;
  for (int32_t k = 0; k < p; ++k) {
    if (text[k] == u'\r' && static_cast<size_t>(k) + 1 < text.size() && text[k + 1] == u'\n') {
      ++dropped;
    }
  }
  return p - dropped;
}

std::u16string FromWidgetText(std::u16string_view widgetText) {
  std::u16string out;
  out.reserve(widgetText.size() + widgetText.size() / 8);
  for (char16_t c : widgetText) {
    if (c == u'\n') out += u'\r';
    out += c;
  }
  return out;
}

int32_t FromWidgetPos(std::u16string_view widgetText, int32_t widgetPos) {
  int32_t p = Clamp(widgetText, widgetPos);
  int32_t added = 0;
  for (int32_t k = 0; k < p; ++k) {
    if (widgetText[k] == u'\n') ++added;
  }
  return p + added;
}
