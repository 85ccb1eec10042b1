// Reading the help document as a test sees it: its pages, the examples with
// the output and message that follow each, ids and links.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct HelpExample {
  std::string page;      // file name, e.g. "keywords.html"
  int line = 0;          // line of the example in that file
  std::string program;   // the example's text, entities decoded
  std::string output;    // what the display shows afterwards
  std::string message;   // the message box text, "" when none is expected
  bool hasMessage = false;
  std::vector<std::string> input;  // answers to INPUT, in order
  bool needsCalculator = false;    // uses the host commands or Ans
};

// The folder of the help beside the running program (the tests live in the
// program's folder).
inline std::string HelpDir() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "help";
  std::string exe(path, static_cast<size_t>(n));
  return exe.substr(0, exe.rfind('/')) + "/help";
}

inline std::vector<std::string> HelpPages() {
  std::vector<std::string> pages;
  if (DIR* dir = opendir(HelpDir().c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() > 5 && name.ends_with(".html")) pages.push_back(name);
    }
    closedir(dir);
  }
  std::sort(pages.begin(), pages.end());
  return pages;
}

inline std::string ReadPage(const std::string& page) {
  std::ifstream in(HelpDir() + "/" + page, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::string DecodeEntities(const std::string& text) {
  static const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
  std::string out;
  for (size_t i = 0; i < text.size();) {
    bool replaced = false;
    if (text[i] == '&') {
      for (const auto& [entity, plain] : entities) {
        if (text.compare(i, std::char_traits<char>::length(entity), entity) == 0) {
          out += plain;
          i += std::char_traits<char>::length(entity);
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

namespace helpdoc_detail {

// The attribute `name` of a start tag, "" when absent.
inline std::string Attribute(const std::string& tag, const std::string& name) {
  const std::string key = name + "=\"";
  const size_t at = tag.find(key);
  if (at == std::string::npos) return "";
  const size_t start = at + key.size();
  return tag.substr(start, tag.find('"', start) - start);
}

// Reads <pre class="cls" ...>body</pre> when it is the next element after pos
// (blanks between them allowed); moves pos behind it.
inline bool NextPre(const std::string& html, size_t& pos, const std::string& cls, std::string& tag,
             std::string& body) {
  size_t p = pos;
  while (p < html.size() && (html[p] == ' ' || html[p] == '\n' || html[p] == '\r' || html[p] == '\t')) ++p;
  const std::string open = "<pre class=\"" + cls + "\"";
  if (html.compare(p, open.size(), open) != 0) return false;
  const size_t tagEnd = html.find('>', p);
  const size_t close = html.find("</pre>", tagEnd);
  if (tagEnd == std::string::npos || close == std::string::npos) return false;
  tag = html.substr(p, tagEnd + 1 - p);
  body = DecodeEntities(html.substr(tagEnd + 1, close - tagEnd - 1));
  pos = close + 6;
  return true;
}

inline std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
    parts.push_back(text.substr(start, at - start));
  parts.push_back(text.substr(start));
  return parts;
}

}  // namespace helpdoc_detail

// Every <pre class="example"> of every page with the <pre class="output">
// right after it and an optional <pre class="message"> after that. A missing
// output element is reported through `problems`.
inline std::vector<HelpExample> HelpExamples(std::vector<std::string>& problems) {
  std::vector<HelpExample> examples;
  for (const std::string& page : HelpPages()) {
    const std::string html = ReadPage(page);
    const std::string open = "<pre class=\"example\"";
    for (size_t at = html.find(open); at != std::string::npos; at = html.find(open, at + 1)) {
      HelpExample example;
      example.page = page;
      example.line = 1 + static_cast<int>(std::count(html.begin(), html.begin() + at, '\n'));
      size_t pos = at;
      std::string tag;
      using namespace helpdoc_detail;
      NextPre(html, pos, "example", tag, example.program);
      example.needsCalculator = Attribute(tag, "data-needs") == "calculator";
      const std::string input = DecodeEntities(Attribute(tag, "data-input"));
      if (!input.empty()) example.input = Split(input, '|');
      std::string outputTag;
      if (!NextPre(html, pos, "output", outputTag, example.output)) {
        problems.push_back(page + ":" + std::to_string(example.line) +
                           ": an example without its output");
        continue;
      }
      std::string messageTag;
      example.hasMessage = NextPre(html, pos, "message", messageTag, example.message);
      examples.push_back(std::move(example));
    }
  }
  return examples;
}

// One step of a walkthrough, in the order the help gives it:
//   <kbd>text</kbd>                  type the text into the display
//   <kbd class="key">Enter</kbd>     press the key
//   <kbd class="button">7</kbd>      click the button with that caption
//   <kbd class="rightbutton">sin</kbd>  right-click it (its menu opens)
//   <kbd class="menu">…(E)...</kbd>  choose the menu item
//   <pre class="display">…</pre>     the display now shows exactly this
//   <samp class="window">…</samp>    a window with this title is open
struct HelpStep {
  std::string kind;  // "type", "key", "button", "rightbutton", "menu", "display", "window"
  std::string text;
};

struct HelpWalkthrough {
  std::string page;
  int line = 0;
  std::vector<HelpStep> steps;
};

// Every <ol class="walk"> of every page with its steps.
inline std::vector<HelpWalkthrough> HelpWalkthroughs() {
  std::vector<HelpWalkthrough> walks;
  for (const std::string& page : HelpPages()) {
    const std::string html = ReadPage(page);
    const std::string open = "<ol class=\"walk\">";
    for (size_t at = html.find(open); at != std::string::npos; at = html.find(open, at + 1)) {
      HelpWalkthrough walk;
      walk.page = page;
      walk.line = 1 + static_cast<int>(std::count(html.begin(), html.begin() + at, '\n'));
      const size_t end = html.find("</ol>", at);
      for (size_t p = at; p < end;) {
        const size_t tag = html.find('<', p + 1);
        if (tag >= end) break;
        p = tag;
        std::string name, closing;
        if (html.compare(tag, 4, "<kbd") == 0) {
          name = "kbd";
        } else if (html.compare(tag, 4, "<pre") == 0) {
          name = "pre";
        } else if (html.compare(tag, 5, "<samp") == 0) {
          name = "samp";
        } else {
          continue;
        }
        const size_t tagEnd = html.find('>', tag);
        const size_t close = html.find("</" + name + ">", tagEnd);
        const std::string cls =
            helpdoc_detail::Attribute(html.substr(tag, tagEnd + 1 - tag), "class");
        HelpStep step;
        step.text = DecodeEntities(html.substr(tagEnd + 1, close - tagEnd - 1));
        if (name == "kbd") step.kind = cls.empty() ? "type" : cls;
        if (name == "pre" && cls == "display") step.kind = "display";
        if (name == "samp" && cls == "window") step.kind = "window";
        if (!step.kind.empty()) walk.steps.push_back(step);
        p = close;
      }
      walks.push_back(std::move(walk));
    }
  }
  return walks;
}

// The words by which a page tells its reader that its one-line examples can
// be typed into the display as they stand.
inline const std::string kTypedExamplesClaim =
    "表示部に書いて Enter を押しても（1 行のものは）試せます";

// For every page, one walkthrough of the lines it offers to type outside its
// walkthroughs, each typed into the display as the reader would: empty the
// display (Insert), type the line, press Enter.
//  - Typed text (<kbd> without a class) that stands outside a walkthrough
//    says nothing of what it shows: it must run without a message. A
//    message box would take the keys that follow, so the display is emptied
//    and given a number of its own, which it must then show.
//  - On a page that says its one-line examples can be typed, each of them:
//    the display then shows the line and below it what the example prints.
// Pages with neither give no walkthrough.
inline std::vector<HelpWalkthrough> HelpTypedLines() {
  std::vector<std::string> problems;
  const std::vector<HelpExample> examples = HelpExamples(problems);
  std::vector<HelpWalkthrough> walks;
  for (const std::string& page : HelpPages()) {
    const std::string html = ReadPage(page);
    HelpWalkthrough walk;
    walk.page = page;
    auto typeLine = [&walk](const std::string& line) {
      walk.steps.push_back({"key", "Insert"});
      walk.steps.push_back({"type", line});
      walk.steps.push_back({"key", "Enter"});
    };
    int settled = 0;
    for (size_t at = html.find("<kbd>"); at != std::string::npos; at = html.find("<kbd>", at + 1)) {
      const size_t open = html.rfind("<ol class=\"walk\">", at);
      if (open != std::string::npos && html.find("</ol>", open) > at) continue;
      const size_t start = at + 5;
      if (walk.steps.empty())
        walk.line = 1 + static_cast<int>(std::count(html.begin(), html.begin() + at, '\n'));
      typeLine(DecodeEntities(html.substr(start, html.find("</kbd>", start) - start)));
      const std::string mark = std::to_string(++settled);
      walk.steps.push_back({"key", "Insert"});
      walk.steps.push_back({"type", mark});
      walk.steps.push_back({"display", mark});
    }
    if (html.find(kTypedExamplesClaim) != std::string::npos) {
      for (const HelpExample& example : examples) {
        if (example.page != page || example.program.find('\n') != std::string::npos) continue;
        if (walk.steps.empty()) walk.line = example.line;
        typeLine(example.program);
        walk.steps.push_back({"display", example.program + "\n" + example.output});
      }
    }
    if (!walk.steps.empty()) walks.push_back(std::move(walk));
  }
  return walks;
}

// A piece of the text of a page's body as its HTML has it: the text between
// two tags, entities decoded, runs of blanks made one blank and the ends
// trimmed; in a <pre> each line is a piece of its own. `elements` are the
// elements it stands in, outermost first, each as its name or name.class
// ("pre.example", "kbd.key").
struct HelpTextPiece {
  std::string text;
  std::vector<std::string> elements;
  int line = 0;  // in the file
};

inline std::vector<HelpTextPiece> HelpTextPieces(const std::string& page) {
  const std::string html = ReadPage(page);
  std::vector<HelpTextPiece> pieces;
  std::vector<std::string> open;  // names with their class
  auto isBlank = [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; };
  auto add = [&](const std::string& raw, size_t at) {
    const bool inPre = std::any_of(open.begin(), open.end(),
                                   [](const std::string& e) { return e.starts_with("pre"); });
    std::vector<std::string> texts;
    if (inPre) {
      texts = helpdoc_detail::Split(raw, '\n');
    } else {
      std::string joined;
      for (char c : raw) {
        if (!isBlank(c)) joined += c;
        else if (joined.empty() || joined.back() != ' ') joined += ' ';
      }
      texts.push_back(joined);
    }
    int line = 1 + static_cast<int>(std::count(html.begin(), html.begin() + at, '\n'));
    for (std::string text : texts) {
      while (!text.empty() && isBlank(text.back())) text.pop_back();
      size_t first = 0;
      while (first < text.size() && isBlank(text[first])) ++first;
      if (first < text.size()) pieces.push_back({DecodeEntities(text.substr(first)), open, line});
      ++line;
    }
  };
  size_t p = html.find("<body");
  const size_t end = html.find("</body>");
  if (p == std::string::npos || end == std::string::npos) return pieces;
  p = html.find('>', p) + 1;
  while (p < end) {
    if (html[p] != '<') {
      const size_t next = std::min(html.find('<', p), end);
      add(html.substr(p, next - p), p);
      p = next;
      continue;
    }
    const size_t close = html.find('>', p);
    const std::string tag = html.substr(p, close + 1 - p);
    p = close + 1;
    size_t nameEnd = 1;
    while (nameEnd < tag.size() && tag[nameEnd] != ' ' && tag[nameEnd] != '>') ++nameEnd;
    if (tag[1] == '/') {
      const std::string name = tag.substr(2, nameEnd - 2);
      for (size_t i = open.size(); i-- > 0;) {
        if (open[i] == name || open[i].starts_with(name + ".")) {
          open.resize(i);
          break;
        }
      }
      continue;
    }
    const std::string name = tag.substr(1, nameEnd - 1);
    if (name == "br" || name == "img" || name == "hr" || name.starts_with("!")) continue;
    const std::string cls = helpdoc_detail::Attribute(tag, "class");
    open.push_back(cls.empty() ? name : name + "." + cls);
  }
  return pieces;
}
