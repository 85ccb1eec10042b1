#include "calculator/wini.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "calculator/errors.h"
#include "calculator/stringlist.h"
#include "platform/exceptions.h"
#include "platform/heap.h"
#include "tempdir.h"

namespace {

// The text of a value, or a mark of its type when it holds no string.
std::u16string T(const wvar& v) {
  switch (v.type) {
    case vtString: return v.Chars();
    case vtInt: return u"<int>";
    case vtReal: return u"<real>";
    default: return u"<pointer>";
  }
}

std::unique_ptr<wini> IniOf(std::initializer_list<const char16_t*> lines) {
  auto ini = std::make_unique<wini>();
  for (const char16_t* l : lines) ini->AddLine(wvar(l));
  return ini;
}

std::vector<std::u16string> LinesOf(const wini& ini) {
  std::vector<std::u16string> lines;
  for (int32_t i = 0; i < ini.list->Count(); ++i) lines.push_back(ini.list->Get(i));
  return lines;
}

struct FieldCase {
  const char16_t* line;
  const char16_t* fields[6];
  friend void PrintTo(const FieldCase& c, std::ostream* os) { *os << Show(c.line); }
};

class GetFieldTest : public testing::TestWithParam<FieldCase> {};

TEST_P(GetFieldTest, Fields) {
  const FieldCase& c = GetParam();
  auto ini = IniOf({c.line});
  for (int n = 1; n <= 6; ++n) {
    EXPECT_EQ(T(ini->GetField(0, n)), c.fields[n - 1]) << "field " << n;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, GetFieldTest,
    testing::Values(
        FieldCase{u"", {u"", u"", u"", u"", u"", u""}},
        FieldCase{u"\\1Sin\\20000ff\\531002b003200", {u"Sin", u"0000ff", u"", u"", u"1+2", u""}},
        FieldCase{u"\\'Sin\\c0000ff\\/Ans*2", {u"Sin", u"0000ff", u"", u"Ans*2", u"Ans*2", u""}},
        FieldCase{u"\\C00ff00\\B123456\\=x\\b", {u"", u"00ff00", u"123456", u"x", u"x", u""}},
        FieldCase{u"\\4a\\y\\nb", {u"", u"", u"", u"a\r\nb", u"a\r\nb", u""}},
        FieldCase{u"\\4\\y\\n\\y\\ny\\n", {u"", u"", u"", u"\r\n\r\ny\\n", u"\r\n\r\ny\\n", u""}},
        // Text before the first marker belongs to no field.
        FieldCase{u"xyz\\1A", {u"A", u"", u"", u"", u"", u""}},
        FieldCase{u"\\x\\1A", {u"A", u"", u"", u"", u"", u""}},
        // A later marker for the same field wins unless its text is empty.
        FieldCase{u"\\1A\\1B", {u"B", u"", u"", u"", u"", u""}},
        FieldCase{u"\\1A\\1", {u"A", u"", u"", u"", u"", u""}},
        FieldCase{u"\\5abcd\\4", {u"", u"", u"", u"", u"", u""}},
        FieldCase{u"\\4x\\57900", {u"", u"", u"", u"x", u"y", u""}},
        FieldCase{u"\\57900\\4x", {u"", u"", u"", u"x", u"x", u""}},
        // A backslash before any other character is text.
        FieldCase{u"\\1C:\\temp\\x", {u"C:\\temp\\x", u"", u"", u"", u"", u""}},
        FieldCase{u"\\1a\\2b\\", {u"a", u"b\\", u"", u"", u"", u""}},
        // Hex coding: upper case, odd digit counts, zero units, non-digits.
        FieldCase{u"\\54A00", {u"", u"", u"", u"", u"J", u""}},
        FieldCase{u"\\5410", {u"", u"", u"", u"", u"A", u""}},
        FieldCase{u"\\5414", {u"", u"", u"", u"", u"\u0441", u""}},
        FieldCase{u"\\5410000004200", {u"", u"", u"", u"", u"A", u""}},
        FieldCase{u"\\5 1-1zz", {u"", u"", u"", u"", u"\uff01", u""}},
        FieldCase{u"\\5e565\\66e006f0074006500", {u"", u"", u"", u"", u"\u65e5", u"note"}},
        FieldCase{u"\\53dd800de", {u"", u"", u"", u"", u"\U0001F600", u""}}));

TEST(WiniTest, GetFieldOfAnotherNumberGivesEmptyLabel) {
  auto ini = IniOf({u"\\1A\\2ff"});
  for (int n : {0, 7, -1}) {
    wvar& r = ini->GetField(0, n);
    EXPECT_EQ(&r, &ini->label);
    EXPECT_EQ(T(r), u"");
    EXPECT_EQ(T(ini->textColor), u"ff");
  }
}

struct NormalizeCase {
  const char16_t* in;
  const char16_t* out;
  friend void PrintTo(const NormalizeCase& c, std::ostream* os) { *os << Show(c.in); }
};

class NormalizeLineTest : public testing::TestWithParam<NormalizeCase> {};

TEST_P(NormalizeLineTest, CanonicalText) {
  wini ini;
  wvar text(GetParam().in);
  ini.NormalizeLine(text);
  EXPECT_EQ(T(text), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, NormalizeLineTest,
    testing::Values(NormalizeCase{u"\\'Sin\\c0000ff\\/Ans*2",
                                  u"\\1Sin\\20000ff\\541006e0073002a003200"},
                    NormalizeCase{u"\\54A00", u"\\54A00"},
                    NormalizeCase{u"\\3fff\\6abc\\1L\\2eee", u"\\1L\\2eee\\3fff\\6abc"},
                    NormalizeCase{u"xyz\\1A\\4a\\y\\nb", u"\\1A\\561000d000a006200"},
                    NormalizeCase{u"\\5abcd\\4", u""},
                    NormalizeCase{u"\\1\\2\\3\\5\\6", u""},
                    NormalizeCase{u"plain text", u""}));

struct SetFieldCase {
  const char16_t* line;
  int n;
  wvar value;
  const char16_t* after;
  friend void PrintTo(const SetFieldCase& c, std::ostream* os) {
    *os << Show(c.line) << " field " << c.n;
  }
};

class SetFieldTest : public testing::TestWithParam<SetFieldCase> {};

TEST_P(SetFieldTest, RebuiltLine) {
  const SetFieldCase& c = GetParam();
  auto ini = IniOf({u"before", c.line, u"after"});
  ini->SetField(1, c.n, c.value);
  EXPECT_EQ(LinesOf(*ini), (std::vector<std::u16string>{u"before", c.after, u"after"}));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SetFieldTest,
    testing::Values(
        SetFieldCase{u"", 1, wvar(u"Sin"), u"\\1Sin"},
        SetFieldCase{u"\\1Sin", 5, wvar(u"1+2"), u"\\1Sin\\531002b003200"},
        SetFieldCase{u"\\5abcd", 2, wvar(u"0000ff"), u"\\20000ff\\5abcd"},
        // Upper-case digits are rewritten in lower case.
        SetFieldCase{u"\\54A00", 1, wvar(u"L"), u"\\1L\\54a00"},
        // Field 4 and numbers without a field store nothing but rebuild.
        SetFieldCase{u"\\3x\\/p\\1L", 4, wvar(u"q"), u"\\1L\\3x\\57000"},
        SetFieldCase{u"\\3x\\/p\\1L", 0, wvar(u"q"), u"\\1L\\3x\\57000"},
        SetFieldCase{u"\\3x\\/p\\1L", 7, wvar(u"q"), u"\\1L\\3x\\57000"},
        // A value that is no string, or is empty, removes the field.
        SetFieldCase{u"\\1L\\2ff0000", 2, wvar(255), u"\\1L"},
        SetFieldCase{u"\\1L\\5410000", 5, wvar(2.5), u"\\1L"},
        SetFieldCase{u"\\1L\\2ff0000", 1, wvar(u""), u"\\2ff0000"},
        // Field 6 is carried through every rebuild.
        SetFieldCase{u"\\1A\\66e006f0074006500", 1, wvar(u"B"), u"\\1B\\66e006f0074006500"},
        SetFieldCase{u"\\1A", 6, wvar(u"note"), u"\\1A\\66e006f0074006500"},
        SetFieldCase{u"\\6ABCD", 3, wvar(u"000001"), u"\\3000001\\6abcd"}));

TEST(WiniTest, SetFieldTextWithAMarkerReadsBackSplit) {
  auto ini = IniOf({u""});
  ini->SetField(0, 1, wvar(u"a\\2b"));
  EXPECT_EQ(ini->list->Get(0), u"\\1a\\2b");
  EXPECT_EQ(T(ini->GetField(0, 1)), u"a");
  EXPECT_EQ(T(ini->GetField(0, 2)), u"b");
}

TEST(WiniTest, SetFieldWithItsOwnFieldAsValue) {
  auto ini = IniOf({u"\\1Old\\2ff", u""});
  wvar& label = ini->GetField(0, 1);
  ini->SetField(1, 1, label);  // the parse of line 1 resets the very value
  EXPECT_EQ(ini->list->Get(1), u"\\1Old");
}

TEST(WiniTest, ProgramRoundTripsExactly) {
  auto ini = IniOf({u""});
  const char16_t* program = u"Dim a = \"\u65e5\u672c\U0001F600\"\r\nPrint a \\ 2\r\n";
  ini->SetField(0, 5, wvar(program));
  EXPECT_EQ(T(ini->GetField(0, 5)), program);
}

TEST(WiniTest, LineIndexOutsideTheListRaises) {
  auto ini = IniOf({u"\\1A"});
  EXPECT_THROW(ini->GetLine(1), EListError);
  EXPECT_THROW(ini->GetField(-1, 1), EListError);
  EXPECT_THROW(ini->SetField(1, 1, wvar(u"x")), EListError);
  EXPECT_THROW(ini->SetLine(1, wvar(u"x")), EListError);
  EXPECT_EQ(LinesOf(*ini), std::vector<std::u16string>{u"\\1A"});
}

TEST(WiniTest, Lines) {
  auto ini = IniOf({u"a"});
  ini->AddLine(wvar(12));
  ini->SetLine(0, wvar(u"b"));
  EXPECT_EQ(T(ini->GetLine(0)), u"b");
  EXPECT_EQ(T(ini->GetLine(1)), u"12");
}

TEST(WiniTest, ReadValue) {
  auto ini = IniOf({u"Zimro=1.30", u"B1=\\1x=y", u"b1=second", u"Top=", u"Left"});
  EXPECT_EQ(T(ini->ReadValue(wvar(u"b1"))), u"\\1x=y");
  EXPECT_EQ(T(ini->ReadValue(wvar(u"ZIMRO"))), u"1.30");
  EXPECT_EQ(T(ini->ReadValue(wvar(u"Top"))), u"");
  EXPECT_EQ(T(ini->ReadValue(wvar(u"Left"))), u"");
  EXPECT_EQ(T(ini->ReadValue(wvar(u"B2"))), u"");
}

TEST(WiniTest, ReadValueDefKeepsTheDefaultsType) {
  auto ini = IniOf({u"Top=", u"left=7", u"Mix1=33.5"});
  wvar& top = ini->ReadValueDef(wvar(u"Top"), wvar(100));
  ASSERT_EQ(top.type, vtInt);
  EXPECT_EQ(top.AsInt(), 100);
  wvar& left = ini->ReadValueDef(wvar(u"Left"), wvar(200));
  EXPECT_EQ(T(left), u"7");
  wvar& mix = ini->ReadValueDef(wvar(u"Mix2"), wvar(50.0));
  ASSERT_EQ(mix.type, vtReal);
  EXPECT_EQ(mix.AsReal(), 50.0);
  EXPECT_EQ(T(ini->ReadValueDef(wvar(u"Mix1"), wvar(u"d"))), u"33.5");
  EXPECT_EQ(T(ini->ReadValueDef(wvar(u"Mix3"), wvar(u"d"))), u"d");
}

TEST(WiniTest, WriteValueReplacesTheFirstLineOfTheName) {
  auto ini = IniOf({u"Top=1", u"x", u"TOP=2"});
  ini->WriteValue(wvar(u"top"), wvar(7));
  ini->WriteValue(wvar(u"Mix1"), wvar(0.1 + 0.2));
  ini->WriteValue(wvar(u"Left"), wvar(-5));
  ini->WriteValue(wvar(u"B1"), wvar(u"\\1a=b"));
  ini->WriteValue(wvar(u"mix1"), wvar(1e20));
  EXPECT_EQ(LinesOf(*ini), (std::vector<std::u16string>{u"top=7", u"x", u"TOP=2", u"mix1=1e+20",
                                                         u"Left=-5", u"B1=\\1a=b"}));
}

TEST(WiniTest, MarkerAt) {
  EXPECT_EQ(wini::MarkerAt(u"\\1x"), u'1');
  EXPECT_EQ(wini::MarkerAt(u"\\'"), u'\'');
  EXPECT_EQ(wini::MarkerAt(u"\\="), u'=');
  EXPECT_EQ(wini::MarkerAt(u"\\B"), u'B');
  EXPECT_EQ(wini::MarkerAt(u"\\7"), 0);
  EXPECT_EQ(wini::MarkerAt(u"\\x"), 0);
  EXPECT_EQ(wini::MarkerAt(u"\\"), 0);
  EXPECT_EQ(wini::MarkerAt(u"1"), 0);
  EXPECT_EQ(wini::MarkerAt(u""), u'#');
}

TEST(WiniTest, HexCoding) {
  wvar a(u"A");
  wini::HexEncode(a);
  EXPECT_EQ(T(a), u"4100");
  wvar sum(u"1+2");
  wini::HexEncode(sum);
  EXPECT_EQ(T(sum), u"31002b003200");
  wini::HexDecode(sum);
  EXPECT_EQ(T(sum), u"1+2");

  wvar empty(u"");
  wini::HexEncode(empty);
  wini::HexDecode(empty);
  EXPECT_EQ(T(empty), u"");
  wvar number(255);
  wini::HexEncode(number);
  wini::HexDecode(number);
  ASSERT_EQ(number.type, vtInt);
  EXPECT_EQ(number.AsInt(), 255);
}

TEST(WiniTest, BytesToHexGivesTwoDigitsPerByte) {
  const uint8_t bytes[] = {0x00, 0x0f, 0xa0, 0xff};
  char16_t out[9] = {};
  wini::BytesToHex(bytes, out, 4);
  EXPECT_EQ(std::u16string(out), u"000fa0ff");
}

TEST(WiniTest, HexToBytesReadsNothingBehindTheText) {
  // Exactly sized on the heap, so a read behind the terminator is caught.
  auto hex = std::make_unique<char16_t[]>(4);
  std::u16string(u"abc").copy(hex.get(), 3);
  hex[3] = 0;
  uint8_t out[8] = {1, 1, 1, 1, 1, 1, 1, 1};
  wini::HexToBytes(out, hex.get(), 3);
  EXPECT_EQ(out[0], 0xab);
  EXPECT_EQ(out[1], 0x0c);
  EXPECT_EQ(out[2], 1);
}

TEST(WiniTest, HexCodingWithoutMemoryRaisesAndKeepsTheText) {
  wvar a(u"A");
  platform::FailGlobalAllocAfter(0);
  EXPECT_THROW(wini::HexEncode(a), EOutOfMemory);
  EXPECT_THROW(wini::HexDecode(a), EOutOfMemory);
  platform::FailGlobalAllocAfter(-1);
  EXPECT_EQ(T(a), u"A");

  // The scratch buffer is had, the value cannot grow: the buffer is still
  // given back (the leak checker of the sanitizer build sees it otherwise).
  wvar longer(u"ABCDE");
  platform::FailGlobalAllocAfter(1);
  EXPECT_THROW(wini::HexEncode(longer), EOutOfMemory);
  platform::FailGlobalAllocAfter(-1);
}

using WiniFileTest = TempDirTest;

TEST_F(WiniFileTest, LoadFile) {
  auto ini = IniOf({u"kept"});
  EXPECT_EQ(ini->LoadFile(wvar(Path16("missing.ini").c_str())), 0);
  EXPECT_EQ(ini->LoadFile(wvar(Path16("").c_str())), 0);  // a folder is no file
  EXPECT_EQ(LinesOf(*ini), std::vector<std::u16string>{u"kept"});
  EXPECT_THROW(ini->LoadFile(wvar(u"/proc/self/mem")), EFOpenError);
  EXPECT_EQ(LinesOf(*ini), std::vector<std::u16string>{u"kept"});

  WriteBytes(Path("calc.ini"), Bytes("\xFF\xFE" "B\0" "1\0=\0\\\0" "1\0\x5e\x30\r\0\n\0"));
  EXPECT_EQ(ini->LoadFile(wvar(Path16("calc.ini").c_str())), 1);
  EXPECT_EQ(T(ini->ReadValue(wvar(u"b1"))), u"\\1\u305e");
  EXPECT_EQ(ini->list->Count(), 1);
}

TEST_F(WiniFileTest, SaveFileAndLoadBack) {
  auto ini = std::make_unique<wini>();
  ini->WriteValue(wvar(u"Zimro"), wvar(u"1.30"));
  ini->WriteValue(wvar(u"B1"), wvar(u"\\'\u8a08\u7b97\\/Ans*2"));
  ini->WriteValue(wvar(u"Mix1"), wvar(33.5));
  EXPECT_EQ(ini->SaveFile(wvar(Path16("calc.ini").c_str())), 1);
  EXPECT_EQ(ReadBytes(Path("calc.ini")),
            Bytes("\xFF\xFE"
                  "Z\0i\0m\0r\0o\0=\0" "1\0.\0" "3\0" "0\0\r\0\n\0"
                  "B\0" "1\0=\0\\\0'\0\x08\x8a\x97\x7b\\\0/\0A\0n\0s\0*\0" "2\0\r\0\n\0"
                  "M\0i\0x\0" "1\0=\0" "3\0" "3\0.\0" "5\0\r\0\n\0"));
  wini back;
  EXPECT_EQ(back.LoadFile(wvar(Path16("calc.ini").c_str())), 1);
  EXPECT_EQ(LinesOf(back), LinesOf(*ini));
  EXPECT_THROW(ini->SaveFile(wvar(Path16("calc.ini/x.ini").c_str())), EFCreateError);
}

}  // namespace
