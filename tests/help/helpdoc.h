// Reading the help document as a test sees it: its pages, the examples with
// the output and message that follow each, ids and links.
#pragma once

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

// The folder of the help document that the build put beside the program.
std::string HelpDir();
std::vector<std::string> HelpPages();
std::string ReadPage(const std::string& page);
std::string DecodeEntities(const std::string& text);
// Every <pre class="example"> of every page with the <pre class="output">
// right after it and an optional <pre class="message"> after that. A missing
// output element is reported through `problems`.
std::vector<HelpExample> HelpExamples(std::vector<std::string>& problems);
