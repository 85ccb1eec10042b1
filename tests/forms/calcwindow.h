// A real main window in a temporary folder of its own: the library beside
// it, a calculator file written from the given lines, and the dialogs made
// as at start-up. Closing it saves the file, which the test can then read.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "calculator/forms/formcalc.h"
#include "calculator/forms/hooks.h"
#include "calculator/stringlist.h"
#include "calculator/wini.h"
#include "calculator/wsetting.h"

class CalcWindow {
 public:
  // `lines`: the calculator file's name=value lines.
  explicit CalcWindow(const std::vector<std::u16string>& lines = {}) {
    const QString bin = QCoreApplication::applicationDirPath();
    QFile::link(bin + "/libvek.so", dir.path() + "/libvek.so");
    wini file;
    for (const std::u16string& l : lines) file.AddLine(wvar(l.c_str()));
    file.SaveFile(wvar(Path().toStdU16String().c_str()));
    form = new TFormCalc(dir.path() + "/zimro", {dir.path() + "/zimro"});
    CreateDialogForms();
  }
  ~CalcWindow() { Close(); }

  QString Path() const { return dir.path() + "/zimro.ini"; }

  // Closes the window as the user would (the file is saved) and frees it.
  void Close() {
    if (!form) return;
    form->close();
    delete form;
    form = nullptr;
  }

  // The saved file's value of `key`, after Close.
  std::u16string Saved(const std::u16string& key) {
    wini file;
    file.LoadFile(wvar(Path().toStdU16String().c_str()));
    return file.ReadValue(wvar(key.c_str())).AsString();
  }

  QTemporaryDir dir;
  TFormCalc* form = nullptr;
};
