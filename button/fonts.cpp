// fonts: registers the substitutes for the font names the forms use.
#include "button/fonts.h"

#include <QFont>
#include <QString>
#include <QStringList>

void RegisterFontSubstitutes() {
  // Each face under both the name fontconfig lists first and its Japanese one.
  const QStringList proportional{QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック")};
  const QStringList fixed{QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック")};
  const QStringList latin{QStringLiteral("DejaVu Sans")};
  QFont::insertSubstitutions(QStringLiteral("MS UI Gothic"), proportional);
  QFont::insertSubstitutions(QStringLiteral("ＭＳ ゴシック"), fixed);
  QFont::insertSubstitutions(QStringLiteral("Tahoma"), latin);
  QFont::insertSubstitutions(QStringLiteral("Arial"), latin);
}
