// The two popup menus as the user sees them.
#include <QMenu>

#include "support.h"

namespace {

std::vector<std::string> Captions(QMenu* menu) {
  std::vector<std::string> out;
  for (QAction* a : menu->actions()) {
    out.push_back(a->isSeparator() ? "-" : a->text().toStdString());
  }
  return out;
}

TEST_F(CalcWindowTest, TheWindowMenuHoldsItsItemsInOrder) {
  EXPECT_EQ(Captions(form_->PMenuMain),
            (std::vector<std::string>{"開く(&O)...", "名前を付けて保存(&A)...", "-", "オプション(&O)...",
                                      "自動プログラム編集(&E)...", "-", "ヘルプ(&H)...",
                                      "保存しないで終了(&E)", "終了(&X)"}));
}

TEST_F(CalcWindowTest, TheButtonMenuHoldsItsItemsInOrder) {
  EXPECT_EQ(Captions(form_->PMenuButton),
            (std::vector<std::string>{"ボタンデータの編集(&E)...", "-", "コピー(&C)", "貼り付け(&P)",
                                      "削除(&D)", "-", "データをコピー(&S)"}));
}

}  // namespace
