// The help document is whole: every keyword has its entry with an example,
// every link leads somewhere, the contents page comes first.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "helpdoc.h"

namespace {

const char* const kKeywords[] = {
    "REM", "DIM", "IF", "LET", "WHILE", "FOR", "BREAK", "SUB", "RETURN", "PRINT", "INPUT", "NEW",
    "THIS", "END", "EXIT", "STOP", "INT", "RND", "ABS", "SGN", "EXP", "POW", "LOG", "SQR", "SIN",
    "COS", "TAN", "ATAN", "MOD", "ROUND", "LEN", "MID", "LEFT", "RIGHT", "LOWER", "UPPER", "STR",
    "VAL", "ASC", "CHR", "HEX", "INSTR", "REPLACE", "STRCONV", "LIKE", "NOW", "DATE", "TIME",
    "YEAR", "MONTH", "DAY", "WEEK", "HOUR", "MINUTE", "SECOND", "COPY", "KILL", "RENAME", "DIR",
    "MKDIR", "CHDIR", "READ", "WRITE", "WRITEB", "DIMLEN", "DIMKEY", "DIMDEL", "DIMWORD", "CLS",
    "BEEP", "MSG", "CALL", "CALLSUB", "CALC", "RUN", "WAIT", "COMMANDLINE", "KEYDOWN", "KEYUP",
    "MOUSEMOVE", "MOUSEDOWN", "MOUSEUP", "GETCLIPBOARD", "SETCLIPBOARD", "SCREEN", "DISPPROGRAM",
    "#CMD", "#MEMBER", "#HASHTOP", "#HASH", "#SYSTEM"};

const char* const kPreludeSubs[] = {
    "SetButton", "SetButtonLabel", "SetButtonData", "SetButtonColor", "SetButtonBackColor",
    "GetButton", "GetButtonLabel", "GetButtonData", "GetButtonColor", "GetButtonBackColor",
    "Save", "Load", "EditButton", "CopyButton", "CopyDataButton", "PasteButton", "DeleteButton",
    "DispOption", "DispHelp", "SetOption", "GetOption", "GetCurrentLine", "SetNextLine",
    "InputButton", "ExecLine", "ecvt", "fcvt", "asin", "acos", "sinh", "cosh", "tanh"};

std::string KeywordId(std::string name) {
  if (name[0] == '#') name = "sharp-" + name.substr(1);
  return "kw-" + name;
}

// The values of attribute `name` in the page, in order.
std::vector<std::string> Attributes(const std::string& html, const std::string& name) {
  std::vector<std::string> values;
  const std::string key = " " + name + "=\"";
  for (size_t at = html.find(key); at != std::string::npos; at = html.find(key, at + 1)) {
    const size_t start = at + key.size();
    values.push_back(html.substr(start, html.find('"', start) - start));
  }
  return values;
}

}  // namespace

TEST(HelpDocument, EveryKeywordHasAnEntryWithSyntaxAndExample) {
  ASSERT_EQ(std::size(kKeywords), 91u);
  const std::string html = ReadPage("keywords.html");
  ASSERT_FALSE(html.empty()) << HelpDir();
  for (const char* keyword : kKeywords) {
    const std::string heading = "<h3 id=\"" + KeywordId(keyword) + "\">" + keyword + "</h3>";
    const size_t at = html.find(heading);
    ASSERT_NE(at, std::string::npos) << keyword;
    const size_t next = html.find("<h3 ", at + 1);
    const std::string entry = html.substr(at, next - at);
    EXPECT_NE(entry.find("<p class=\"syntax\">"), std::string::npos) << keyword;
    EXPECT_NE(entry.find("結果："), std::string::npos) << keyword;
    EXPECT_NE(entry.find("<pre class=\"example\""), std::string::npos) << keyword;
  }
}

TEST(HelpDocument, EveryPreludeSubAndAnsAreDescribed) {
  const std::string html = ReadPage("host.html");
  ASSERT_FALSE(html.empty());
  for (const char* sub : kPreludeSubs)
    EXPECT_NE(html.find("<code>" + std::string(sub) + "("), std::string::npos) << sub;
  EXPECT_NE(html.find("<h2 id=\"ans\">Ans</h2>"), std::string::npos);
}

TEST(HelpDocument, EveryLinkLeadsToAPageAndAnAnchor) {
  std::map<std::string, std::set<std::string>> ids;
  for (const std::string& page : HelpPages()) {
    for (const std::string& id : Attributes(ReadPage(page), "id")) {
      EXPECT_TRUE(ids[page].insert(id).second) << page << " has the id " << id << " twice";
    }
  }
  for (const std::string& page : HelpPages()) {
    for (const std::string& href : Attributes(ReadPage(page), "href")) {
      if (href == "style.css") continue;
      const size_t hash = href.find('#');
      const std::string target = hash == 0 ? page : href.substr(0, hash);
      ASSERT_TRUE(ids.count(target)) << page << " links to " << href;
      if (hash != std::string::npos) {
        EXPECT_TRUE(ids[target].count(href.substr(hash + 1))) << page << " links to " << href;
      }
    }
  }
}

TEST(HelpDocument, TheContentsPageLinksEveryPage) {
  const std::string index = ReadPage("index.html");
  ASSERT_NE(index.find("<h2 id=\"contents\">目次</h2>"), std::string::npos);
  for (const std::string& page : HelpPages()) {
    if (page == "index.html") continue;
    EXPECT_NE(index.find("href=\"" + page + "\""), std::string::npos) << page;
  }
}

// The lines a page offers to type outside its walkthroughs are found: the
// statement, number and expression lines of the display's description, and
// the one-line examples of the page that says they can be typed.
TEST(HelpDocument, TheLinesOfferedToTypeAreFound) {
  std::map<std::string, std::vector<std::string>> typed;
  for (const HelpWalkthrough& walk : HelpTypedLines())
    for (const HelpStep& step : walk.steps)
      if (step.kind == "type") typed[walk.page].push_back(step.text);
  const std::vector<std::string>& window = typed["window.html"];
  for (const char* line : {"12", "2+3*4", "DIM x = 3", "PRINT x * 2"})
    EXPECT_NE(std::find(window.begin(), window.end(), line), window.end()) << line;
  const std::vector<std::string>& language = typed["language.html"];
  EXPECT_NE(std::find(language.begin(), language.end(), "PRINT 1 + 2.5, \" \", \"5\" + 1, \" \", "
                                                        "5 + \"1\", \" \", 1 == 1, \" \", 7 / 2"),
            language.end());
  // Not the lines of a walkthrough, nor examples of more than one line.
  EXPECT_EQ(std::find(window.begin(), window.end(), "*2"), window.end());
  for (const std::string& line : language) EXPECT_EQ(line.find('\n'), std::string::npos) << line;
}
