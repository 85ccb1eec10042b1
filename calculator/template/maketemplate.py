#!/usr/bin/env python3
"""Writes zimro.si, the template calculator file, from the readable table
below: button lines in canonical form (label, caption colour, face colour,
hex-coded program), then the settings. The build runs it; the table here is
the only copy of the template in the source tree:

    python3 calculator/template/maketemplate.py OUTPUT
"""
import os
import sys

def rgb(r, g, b):
    """A colour as the calculator stores it: 0x00BBGGRR."""
    return (b << 16) | (g << 8) | r

# Face and caption colours of the button groups.
DIGIT = (rgb(250, 250, 250), rgb(20, 20, 20))
OPERATOR = (rgb(255, 214, 160), rgb(40, 30, 20))
EQUALS = (rgb(240, 120, 30), rgb(255, 255, 255))
CLEAR = (rgb(210, 70, 60), rgb(255, 255, 255))
FUNCTION = (rgb(205, 222, 245), rgb(10, 30, 70))
DEGREE = (rgb(208, 236, 208), rgb(10, 60, 10))
EXTRA = (rgb(228, 216, 242), rgb(50, 20, 80))
LONG = (rgb(255, 243, 200), rgb(60, 40, 0))

AUTO = r"""' 自動プログラム：ボタンが使うサブを定義します（何も表示しません）。
' 表示部の現在行が空でなければ、次の空の行へ移ります。
SUB Fresh() {
  IF LEN(REPLACE(REPLACE(GetCurrentLine(), "\r", ""), "\n", "")) > 0 { SetNextLine() }
}
' 計算できない理由を表示して、実行をそこで終えます（Ans は変わりません）。
SUB Refuse(why) {
  Fresh()
  PRINT why
  END
}
' 答えを読みやすくします：全角の英数字と記号を半角にして、前後の空白を除きます。
SUB Plain(a) {
  DIM t = STRCONV(a, 8)
  WHILE LEFT(t, 1) == " " { t = MID(t, 1, LEN(t)) }
  WHILE RIGHT(t, 1) == " " { t = LEFT(t, LEN(t) - 1) }
  RETURN(t)
}
' INPUT の答え a を数として読んで v に入れます。全角の数字・符号・小数点・ｅ
' も読めます。読めたら空の文字列を、読めなければその理由を返します。
' INPUT は符号や全角で始まる答えを文字列のままにするので、ここで確かめます。
SUB ReadNumber(a, v) {
  DIM t, i, c, part = 0, digits = 0, power = 0, mark = -2, bad = 0
  ' 1 * a は、a が文字列なら空の文字列、数ならその数です。
  IF LEN(1 * a) > 0 {
    IF a - a != 0 { RETURN("数が大きすぎて計算できません") }
    v = a
    RETURN("")
  }
  t = Plain(a)
  IF LEN(t) == 0 { RETURN("数が入っていません") }
  ' 符号、数字と小数点、e と指数の順に一文字ずつ確かめます。part は 0 が
  ' 整数部、1 が小数部、2 が指数部、mark は e の位置です。
  FOR i = 0 TO LEN(t) - 1 {
    c = MID(t, i, 1)
    IF INSTR("0123456789", c) >= 0 {
      IF part < 2 { digits = digits + 1 } ELSE { power = power + 1 }
    } ELSEIF c == "." AND part == 0 {
      part = 1
    } ELSEIF (c == "e" OR c == "E") AND part < 2 AND digits > 0 {
      part = 2
      mark = i
    } ELSEIF (c != "+" AND c != "-") OR (i != 0 AND i != mark + 1) {
      bad = 1
    }
  }
  IF bad OR digits == 0 OR (part == 2 AND power == 0) {
    RETURN("「" + a + "」は数として読めません")
  }
  IF VAL(t) - VAL(t) != 0 { RETURN("「" + a + "」は大きすぎて計算できません") }
  v = VAL(t)
  RETURN("")
}
' 度とラジアン
SUB Rad(d) { RETURN(d * ATAN(1) / 45) }
SUB Deg(r) { RETURN(r * 45 / ATAN(1)) }
' 度の三角関数。MOD は正確なので、90° の倍数（TanD は 45° の倍数）では
' 0、1、-1 をそのまま返します。無限大などは SIN などに任せます。
SUB SinD(d) {
  DIM r = MOD(d, 360)
  IF d - d != 0 { RETURN(SIN(Rad(d))) }
  IF r == 0 OR r == 180 OR r == -180 { RETURN(0) }
  IF r == 90 OR r == -270 { RETURN(1) }
  IF r == 270 OR r == -90 { RETURN(-1) }
  RETURN(SIN(Rad(r)))
}
SUB CosD(d) {
  DIM r = MOD(d, 360)
  IF d - d != 0 { RETURN(COS(Rad(d))) }
  IF r == 0 { RETURN(1) }
  IF r == 180 OR r == -180 { RETURN(-1) }
  IF r == 90 OR r == -90 OR r == 270 OR r == -270 { RETURN(0) }
  RETURN(COS(Rad(r)))
}
SUB TanD(d) {
  DIM r = MOD(d, 180)
  IF d - d != 0 { RETURN(TAN(Rad(d))) }
  IF r == 90 OR r == -90 { Refuse("tan(" + STR(d) + "°) は定義されません") }
  IF r == 0 { RETURN(0) }
  IF r == 45 OR r == -135 { RETURN(1) }
  IF r == 135 OR r == -45 { RETURN(-1) }
  RETURN(TAN(Rad(r)))
}
' 2 乗、常用対数、階乗（0 以上の整数。170! が実数で表せる最大です）
SUB Sq(x) { RETURN(x * x) }
SUB Log10(x) { RETURN(LOG(x) / LOG(10)) }
SUB Fact(n) {
  IF n < 0 { Refuse("負の数の階乗はありません") }
  IF INT(n) != n { Refuse("階乗は整数にだけ使えます") }
  IF n > 170 { Refuse("170 より大きい数の階乗は大きすぎて表せません") }
  ' 実数の掛け算を重ねると下の桁がずれるので、7 桁ずつ配列に持って
  ' 正確に掛け、できた数字の列を VAL で一度だけ実数に直します。
  DIM limb, size = 1, i, k, carry, t, digits
  limb[0] = 1
  FOR k = 2 TO n {
    carry = 0
    FOR i = 0 TO size - 1 {
      t = limb[i] * k + carry
      carry = INT(t / 10000000)
      limb[i] = t - carry * 10000000
    }
    WHILE carry > 0 {
      limb[size] = MOD(carry, 10000000)
      carry = INT(carry / 10000000)
      size = size + 1
    }
  }
  digits = STR(limb[size - 1])
  FOR i = size - 2 TO 0 STEP -1 { digits = digits + RIGHT("000000" + STR(limb[i]), 7) }
  RETURN(VAL(digits))
}
' 符号の反転：現在行の値（空なら Ans）の符号を変えて表示します。
SUB Negate() {
  DIM t = REPLACE(REPLACE(GetCurrentLine(), "\r", ""), "\n", "")
  IF LEN(t) > 0 { Ans = CALC(t) }
  Ans = -Ans
  Fresh()
  PRINT Ans
}
"""

# Long buttons 1 to 10: (label, program).
LONG_BUTTONS = [
    ("今日の日付", r"""' 今日の日付と曜日を表示します。
DIM today = NOW
Fresh()
PRINT YEAR(today), "年", MONTH(today), "月", DAY(today), "日（"
PRINT MID("日月火水木金土", WEEK(today) - 1, 1), "）"
"""),
    ("さいころ", r"""' 1〜6 の乱数。結果は Ans にも入ります。
Fresh()
Ans = RND(6) + 1
PRINT Ans
"""),
    ("cm → インチ", r"""' 長さを尋ねて、センチメートルをインチに換算します。
DIM answer, cm, why
INPUT "センチメートル", answer
why = ReadNumber(answer, cm)
IF LEN(why) > 0 { Refuse(why) }
Fresh()
Ans = cm / 2.54
PRINT cm, " cm = ", Ans, " in"
"""),
    ("℃ → ℉", r"""' 摂氏を尋ねて、華氏に換算します。
DIM answer, celsius, fahrenheit, why
INPUT "摂氏（℃）", answer
why = ReadNumber(answer, celsius)
IF LEN(why) > 0 { Refuse(why) }
fahrenheit = celsius * 9 / 5 + 32
IF fahrenheit - fahrenheit != 0 { Refuse("華氏にすると大きすぎて表せません") }
Fresh()
Ans = fahrenheit
PRINT celsius, " ℃ = ", Ans, " ℉"
"""),
    ("日数計算", r"""' 今日から、尋ねた日付までの日数を表示します。
' ありえない日付は、どこが違うかを表示して終わります。
DIM answerY, answerM, answerD, y, m, d, last, why
INPUT "年", answerY, "月", answerM, "日", answerD
why = ReadNumber(answerY, y)
IF LEN(why) > 0 { Refuse("年：" + why) }
why = ReadNumber(answerM, m)
IF LEN(why) > 0 { Refuse("月：" + why) }
why = ReadNumber(answerD, d)
IF LEN(why) > 0 { Refuse("日：" + why) }
IF INT(y) != y OR INT(m) != m OR INT(d) != d { Refuse("年・月・日は整数で入れてください") }
IF y < 1 OR y > 9999 { Refuse(STR(y) + "年は扱えません（年は1〜9999）") }
IF m < 1 OR m > 12 { Refuse(STR(m) + "月はありません（月は1〜12）") }
' 月の日数は、翌月の 1 日との差です（12 月は 31 日）。
last = 31
IF m < 12 { last = DATE(y, m + 1, 1) - DATE(y, m, 1) }
IF d < 1 OR d > last {
  Refuse(STR(y) + "年" + STR(m) + "月" + STR(d) + "日はありません（" + STR(m) + "月は"
    + STR(last) + "日まで）")
}
Fresh()
Ans = DATE(y, m, d) - INT(NOW)
PRINT Ans, " 日"
"""),
    ("合計と平均", r"""' 数を次々に尋ね、空の答えで合計と平均を表示します。
' 数として読めない答えは、そう表示して数えずに次を尋ねます。
DIM count = 0, sum = 0, v, x, why
WHILE 1 {
  INPUT "数（空で終わり）", v
  IF LEN(Plain(v)) == 0 { BREAK }
  why = ReadNumber(v, x)
  IF LEN(why) > 0 {
    Fresh()
    PRINT why, "。この答えは数えません"
  } ELSE {
    sum = sum + x
    count = count + 1
  }
}
IF count == 0 { Refuse("数が一つもないので、合計と平均はありません") }
IF sum - sum != 0 { Refuse("合計が大きすぎて表せません") }
Fresh()
Ans = sum / count
PRINT "合計 ", sum, "  平均 ", Ans, "（", count, " 個）"
"""),
    ("指数と固定小数", r"""' Ans を指数形式 (ecvt) と固定小数点 (fcvt) で表示します。
Fresh()
PRINT ecvt(Ans, 2), "\n", fcvt(Ans, 0)
"""),
    ("16進・2進", r"""' Ans を 16 進と 2 進で表示します。実数が正確に表せる整数
' （絶対値が 2^53 まで）だけを、どちらも符号 - を付けて書きます。
DIM a = ABS(Ans), v, base16 = "", base2 = "", sign = ""
Fresh()
IF INT(a) != a {
  PRINT "整数でないので 16 進・2 進にできません（Ans = ", Ans, "）"
} ELSEIF a > 9007199254740992 {
  PRINT "2^53 を超えるので 16 進・2 進にできません（Ans = ", Ans, "）"
} ELSE {
  IF Ans < 0 { sign = "-" }
  v = a
  base16 = MID("0123456789abcdef", MOD(v, 16), 1)
  v = INT(v / 16)
  WHILE v > 0 {
    base16 = MID("0123456789abcdef", MOD(v, 16), 1) + base16
    v = INT(v / 16)
  }
  v = a
  base2 = STR(MOD(v, 2))
  v = INT(v / 2)
  WHILE v > 0 {
    base2 = STR(MOD(v, 2)) + base2
    v = INT(v / 2)
  }
  PRINT sign, "0x", base16, "  ", sign, "0b", base2
}
"""),
    ("九九の表", r"""' 九九の表：FOR の入れ子と文字の右寄せ。
DIM i, j
Fresh()
FOR i = 1 TO 9 {
  FOR j = 1 TO 9 { PRINT RIGHT("  " + STR(i * j), 3) }
  PRINT "\n"
}
"""),
    ("ヘルプ", r"""' 使い方と言語の説明を開きます。
DispHelp()
"""),
]

# Short buttons: 11 to 30, 31 to 50, 51 to 70; rows of five.
SHORT = {
    # 11 to 20: trigonometry in radians, roots and logarithms
    11: ("sin", "SIN(", FUNCTION), 12: ("cos", "COS(", FUNCTION), 13: ("tan", "TAN(", FUNCTION),
    14: ("π", "3.141592653589793", FUNCTION), 15: ("√", "SQR(", FUNCTION),
    16: ("asn", "asin(", FUNCTION), 17: ("acs", "acos(", FUNCTION), 18: ("atn", "ATAN(", FUNCTION),
    19: ("ln", "LOG(", FUNCTION), 20: ("log", "Log10(", FUNCTION),
    # 31 to 50: degrees, powers, hyperbolic functions and the rest
    31: ("sn°", "SinD(", DEGREE), 32: ("cs°", "CosD(", DEGREE), 33: ("tn°", "TanD(", DEGREE),
    34: ("°→r", "Rad(", DEGREE), 35: ("r→°", "Deg(", DEGREE),
    36: ("x²", "Sq(", FUNCTION), 37: ("xʸ", "POW(", FUNCTION), 38: ("eˣ", "EXP(", FUNCTION),
    39: ("1/x", "1/(", FUNCTION), 40: ("n!", "Fact(", FUNCTION),
    41: ("snh", "sinh(", EXTRA), 42: ("csh", "cosh(", EXTRA), 43: ("tnh", "tanh(", EXTRA),
    44: ("|x|", "ABS(", EXTRA), 45: ("int", "INT(", EXTRA),
    46: ("余", "MOD(", EXTRA), 47: ("丸", "ROUND(", EXTRA), 48: (",", ", ", EXTRA),
    49: ("EE", "e", EXTRA), 50: ("ans", "Ans", EXTRA),
    # 51 to 70: the keypad
    51: ("7", "7", DIGIT), 52: ("8", "8", DIGIT), 53: ("9", "9", DIGIT),
    54: ("÷", "/", OPERATOR), 55: ("C", "' 表示を消します。\nCLS\n", CLEAR),
    56: ("4", "4", DIGIT), 57: ("5", "5", DIGIT), 58: ("6", "6", DIGIT),
    59: ("×", "*", OPERATOR), 60: ("(", "(", OPERATOR),
    61: ("1", "1", DIGIT), 62: ("2", "2", DIGIT), 63: ("3", "3", DIGIT),
    64: ("−", "-", OPERATOR), 65: (")", ")", OPERATOR),
    66: ("0", "0", DIGIT), 67: (".", ".", DIGIT),
    68: ("±", "' 符号を変えます（自動プログラムのサブ）。\nNegate()\n", OPERATOR),
    69: ("+", "+", OPERATOR), 70: ("=", "EXECLINE", EQUALS),
}

SETTINGS = [
    ("Top", 100), ("Left", 200),
    ("ButtonEditMode", 1), ("StayOnTop", 0),
    ("ButtonDispLine1", 10), ("ButtonDispLine2", 2), ("ButtonDispLine3", 4), ("ButtonDispLine4", 4),
    ("DispWidth", 230), ("DispHeight", 60), ("DispFontSize", 11),
    ("FormColor", rgb(44, 52, 70)), ("TitleColor", rgb(255, 255, 255)),
    ("TextColor", rgb(20, 20, 20)), ("ButtonColor", rgb(232, 232, 232)),
    ("Mix1", 25), ("Mix2", 50), ("Mix3", 75),
]

def hexcode(text):
    return text.encode("utf-16-le").hex()

def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n")

def line(label, program, colours=None):
    out = ""
    if label:
        out += "\\1" + label
    if colours:
        face, caption = colours
        out += "\\2%06x\\3%06x" % (caption, face)
    if program:
        out += "\\5" + hexcode(crlf(program))
    return out

def main():
    lines = ["Zimro=1.30", "B0=" + line("", AUTO)]
    for i, (label, program) in enumerate(LONG_BUTTONS, start=1):
        lines.append("B%d=%s" % (i, line(label, program, LONG)))
    for n in sorted(SHORT):
        label, program, colours = SHORT[n]
        lines.append("B%d=%s" % (n, line(label, program, colours)))
    for key, value in SETTINGS:
        lines.append("%s=%s" % (key, value))
    data = "\ufeff" + "".join(l + "\r\n" for l in lines)
    if len(sys.argv) != 2:
        sys.exit("usage: maketemplate.py OUTPUT")
    path = sys.argv[1]
    # A build stopped halfway leaves no half-written template beside the program.
    with open(path + ".tmp", "wb") as f:
        f.write(data.encode("utf-16-le"))
    os.replace(path + ".tmp", path)

if __name__ == "__main__":
    main()
