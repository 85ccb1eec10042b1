#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

class Vekrun : public testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/vekrun-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Write(const std::string& name, const std::string& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  static std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  // Runs vekrun in the temporary folder with `input` as its standard input.
  Result Run(const std::vector<std::string>& args, const std::string& input = "") {
    const fs::path in = Write("stdin", input), out = dir_ / "stdout", err = dir_ / "stderr";
    const pid_t pid = fork();
    if (pid == 0) {
      if (chdir(dir_.c_str()) != 0) _exit(127);
      dup2(open(in.c_str(), O_RDONLY), 0);
      dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
      dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
      std::vector<char*> argv{const_cast<char*>(VEKRUN_PATH)};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(VEKRUN_PATH, argv.data());
      _exit(127);
    }
    Result r;
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    r.out = Slurp(out);
    r.err = Slurp(err);
    return r;
  }

  fs::path dir_;
};

TEST_F(Vekrun, RunsTextsAndFilesInOrderAgainstOneBlock) {
  Write("b.vek", "PRINT \"b\", g\ng = g + 1\n");
  const Result r = Run({"-e", "DIM g = 1\nPRINT \"a\"", "b.vek", "-e", "PRINT \"c\", g"});
  EXPECT_EQ(r.out, "ab1c2");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
}

TEST_F(Vekrun, AFailedRunIsReportedAndMakesTheStatusOne) {
  const Result r = Run({"-e", "PRINT 1\nx = 2", "-e", "PRINT 3"});
  EXPECT_EQ(r.out, "13");
  EXPECT_EQ(r.err, "\n 2 X: undefined error\n");
  EXPECT_EQ(r.status, 1);
}

TEST_F(Vekrun, MissingFileIsReportedAndTheOtherRunsGoOn) {
  const Result r = Run({"nosuch.vek", "-e", "PRINT 3"});
  EXPECT_EQ(r.out, "3");
  EXPECT_NE(r.err.find("nosuch.vek"), std::string::npos) << r.err;
  EXPECT_EQ(r.status, 1);
}

// A folder, and a device that never ends, are files that cannot be read.
TEST_F(Vekrun, UnreadableArgumentsAreReportedAndTheOtherRunsGoOn) {
  fs::create_directory(dir_ / "folder");
  const struct {
    std::string path;
    std::string reason;
  } cases[] = {{"folder", "Is a directory"}, {"/dev/zero", "File too large"}};
  for (const auto& c : cases) {
    const Result r = Run({"-e", "PRINT 1", c.path, "-e", "PRINT 2"});
    EXPECT_EQ(r.out, "12") << c.path;
    EXPECT_EQ(r.err, "vekrun: cannot read " + c.path + ": " + c.reason + "\n");
    EXPECT_EQ(r.status, 1) << c.path;
  }
}

// A pipe is read to its end.
TEST_F(Vekrun, ReadsAScriptFromAPipe) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const std::string script = "PRINT \"piped\"\n";
  ASSERT_EQ(write(fds[1], script.data(), script.size()), static_cast<ssize_t>(script.size()));
  close(fds[1]);
  const Result r = Run({"/dev/fd/" + std::to_string(fds[0])});
  close(fds[0]);
  EXPECT_EQ(r.out, "piped");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
}

TEST_F(Vekrun, ReadsUtf16WithMarkAndCp932Files) {
  // PRINT "電卓" as UTF-16LE after FF FE, with CR LF line ends.
  std::string utf16 = "\xFF\xFE";
  for (char16_t c : std::u16string(u"PRINT \"電卓\"\r\nPRINT 1\r\n")) {
    utf16.push_back(static_cast<char>(c & 0xFF));
    utf16.push_back(static_cast<char>(c >> 8));
  }
  Write("wide.vek", utf16);
  Write("ansi.vek", "PRINT \"\x93\x64\x91\xEC\"\n");
  const Result r = Run({"wide.vek", "ansi.vek"});
  EXPECT_EQ(r.out, "電卓1電卓");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
}

TEST_F(Vekrun, MessagesGoToStandardErrorAnsweredYesOrWithNo) {
  const Result yes = Run({"-e", "PRINT MSG(\"はい？\")"});
  EXPECT_EQ(yes.out, "1");
  EXPECT_EQ(yes.err, "はい？\n");
  const Result no = Run({"--no", "-e", "PRINT MSG(\"はい？\")"});
  EXPECT_EQ(no.out, "0");
  EXPECT_EQ(no.err, "はい？\n");
}

TEST_F(Vekrun, MaxStepsEndsAnEndlessLoop) {
  const Result r = Run({"--max-steps", "500", "-e", "WHILE 1 { }", "-e", "PRINT 7"});
  EXPECT_EQ(r.out, "7");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 1);
}

TEST_F(Vekrun, InputReadsOneLineAndEmptyTextAtTheEnd) {
  const char* script = "DIM a, b\nINPUT a, b\nPRINT \"[\", a, \"][\", b, \"]\"";
  struct Case {
    std::string input;
    std::string out;
  };
  const Case cases[] = {
      {"", "[][]"},
      {"first\nsecond\nthird\n", "[first][second]"},
      {"only\r\n", "[only][]"},
      {"12\n電卓", "[12][電卓]"},
  };
  for (const Case& c : cases) {
    const Result r = Run({"-e", script}, c.input);
    EXPECT_EQ(r.out, c.out) << c.input;
    EXPECT_EQ(r.status, 0) << c.input;
  }
}

TEST_F(Vekrun, BadCommandLinesAreRefused) {
  const std::vector<std::vector<std::string>> cases = {
      {}, {"-e"}, {"--max-steps", "x", "-e", "PRINT 1"}, {"--max-steps"}, {"--bogus", "-e", "1"}};
  for (const auto& args : cases) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("usage: vekrun"), std::string::npos);
  }
}

}  // namespace
