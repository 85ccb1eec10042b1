// commandtable: the host commands behind #cmd, over the window's routines.
#include "calculator/commandtable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "calculator/calcfile.h"
#include "calculator/numformat.h"
#include "interpreter/wbexe.h"

namespace {

std::u16string TextOf(wcell& cell) { return cell.AsString(); }

// The current button's field, unless the file would then be too large.
void SetField(CommandContext& c, int32_t field, const wvar& value) {
  if (!ChangeButtonLine(c.buttonTable, c.current,
                        [&](wini& line) { line.SetField(0, field, value); })) {
    c.host.RefuseTooLarge();
    return;
  }
  c.host.ShowButton(c.current);
}

void SetLineEndsField(CommandContext& c, int32_t field) {
  std::u16string text = NormalizeLineEnds(TextOf(c.block.request[2]));
  SetField(c, field, wvar(text.c_str()));
}

void SetColorField(CommandContext& c, int32_t field) {
  SetField(c, field, ColorField(c.block.request[2].AsInt()));
}

void Answer(CommandContext& c, const wvar& v) { c.block.request[2].SetValue(v); }

void AnswerText(CommandContext& c, const std::u16string& text) { Answer(c, wvar(text.c_str())); }

// The field behind SetOption's option number; nullptr for a number without one.
int32_t* OptionField(wsetting& s, int32_t option) {
  const CalcFileKey* key = OptionKey(option);
  return key != nullptr ? &(s.*key->number) : nullptr;
}

bool InOptionRange(int32_t option, int32_t value) {
  const CalcFileKey* key = OptionKey(option);
  return key != nullptr && value >= key->low && value <= key->high;
}

void Run(int32_t n, CommandContext& c) {
  wcell* cells = c.block.request;
  switch (n) {
    case hcSetButton:
      c.current = std::clamp(cells[2].AsInt(), 1, 70);
      break;
    case hcSetButtonLabel: SetLineEndsField(c, 1); break;
    case hcSetButtonData: SetLineEndsField(c, 5); break;
    case hcSetButtonColor: SetColorField(c, 2); break;
    case hcSetButtonBackColor: SetColorField(c, 3); break;
    case hcGetButton: Answer(c, wvar(c.current)); break;
    case hcGetButtonLabel: Answer(c, wvar(c.buttonTable.GetField(c.current, 1))); break;
    case hcGetButtonData: Answer(c, wvar(c.buttonTable.GetField(c.current, 5))); break;
    case hcGetButtonColor:
      Answer(c, wvar(ColorOfField(c.buttonTable.GetField(c.current, 2), c.setting.textColor)));
      break;
    case hcGetButtonBackColor:
      Answer(c, wvar(ColorOfField(c.buttonTable.GetField(c.current, 3), c.setting.buttonColor)));
      break;
    case hcSave: {
      // Taken in the folder current now: a later CHDIR must not move
      // where the file is saved.
      const std::u16string path = AbsolutePath(TextOf(cells[2]));
      if (path.empty()) break;  // names no file: nothing to save or make current
      c.host.SaveCalcFile(path);
      c.setting.currentPath = path.c_str();
      break;
    }
    case hcLoad: {
      const std::u16string path = AbsolutePath(TextOf(cells[2]));
      c.host.SaveCalcFile(c.setting.currentPath.AsString());
      c.host.OpenCalcFile(path);
      break;
    }
    case hcEditButton: c.host.EditButtonData(1); break;
    case hcCopyButton: c.host.CopyButtonToClipboard(0); break;
    case hcCopyDataButton: c.host.CopyButtonToClipboard(1); break;
    case hcPasteButton: c.host.PasteButtonFromClipboard(); break;
    case hcDeleteButton: c.host.ClearButton(); break;
    case hcDispOption: c.host.DispOption(); break;
    case hcDispHelp: c.host.ShowHelpContents(); break;
    case hcSetOption: {
      int32_t option = cells[2].AsInt();
      if (StoreOption(c.setting, option, cells[3].AsInt()) && option == 2) c.host.ApplyStayOnTop();
      c.host.RefreshButtons();
      break;
    }
    case hcGetOption: {
      int32_t value = 0;
      if (ReadOption(c.setting, cells[2].AsInt(), value)) Answer(c, wvar(value));
      break;
    }
    case hcGetCurrentLine: AnswerText(c, c.host.CurrentLine()); break;
    case hcSetNextLine: c.host.AdvanceDisplayLine(); break;
    case hcInputButton:
      // A button press clears inputWait; a stop (12) ends the wait too. A
      // close request (11) does not: the run waits for the press, and ends
      // after it.
      c.setting.inputWait = 1;
      while (c.setting.inputWait != 0 && c.block.errorCode < erStop) {
        if (!c.host.WaitStep()) break;
      }
      Answer(c, wvar(c.current));
      break;
    case hcExecLine:
      c.host.ExecCurrentLine();
      Answer(c, c.setting.execLineResult);
      break;
    case hcEcvt: AnswerText(c, FormatExponent(cells[2].AsReal(), cells[3].AsInt())); break;
    case hcFcvt: {
      std::u16string text;
      FormatFixed(cells[2].AsReal(), cells[3].AsInt(), text);
      for (char16_t& ch : text) {
        if (ch >= u'A' && ch <= u'Z') ch = static_cast<char16_t>(ch - u'A' + u'a');
      }
      AnswerText(c, text);
      break;
    }
    case hcAsin: Answer(c, wvar(std::asin(cells[2].AsReal()))); break;
    case hcAcos: Answer(c, wvar(std::acos(cells[2].AsReal()))); break;
    case hcSinh: Answer(c, wvar(std::sinh(cells[2].AsReal()))); break;
    case hcCosh: Answer(c, wvar(std::cosh(cells[2].AsReal()))); break;
    case hcTanh: Answer(c, wvar(std::tanh(cells[2].AsReal()))); break;
    default: break;  // 0, 28 and numbers outside the table do nothing
  }
}

}  // namespace

int32_t RunHostCommand(int32_t n, CommandContext& c) {
  try {
    Run(n, c);
  } catch (...) {
    // A command's failure (an unreadable colour field, an unwritable file)
    // is not reported: the script gets cell 2 as it stood.
  }
  return 0;
}

std::u16string NormalizeLineEnds(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + 8);
  for (char16_t ch : text) {
    if (ch == u'\n') out += u'\r';
    out += ch;
  }
  // CR CR (from a CR LF that became CR CR LF) back to one CR.
  std::u16string result;
  result.reserve(out.size());
  for (size_t k = 0; k < out.size(); ++k) {
    if (out[k] == u'\r' && k + 1 < out.size() && out[k + 1] == u'\r') {
      result += u'\r';
      ++k;
      continue;
    }
    result += out[k];
  }
  return result;
}

wvar ColorField(int32_t color) {
  if (color == 0) return wvar(0);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06x", static_cast<unsigned>(color));
  std::u16string text(buf, buf + std::char_traits<char>::length(buf));
  return wvar(text.c_str());
}

int32_t ColorOfField(const wvar& field, int32_t fallback) {
  if (field.type != vtString || field.Length() == 0) return fallback;
  std::u16string text = u"0x00";
  text += field.Chars();
  return StringToColor(text);
}

bool StoreOption(wsetting& s, int32_t option, int32_t value) {
  int32_t* field = OptionField(s, option);
  if (field == nullptr || !InOptionRange(option, value)) return false;
  *field = value;
  return true;
}

bool ReadOption(const wsetting& s, int32_t option, int32_t& value) {
  int32_t* field = OptionField(const_cast<wsetting&>(s), option);
  if (field == nullptr) return false;
  value = *field;
  return true;
}
