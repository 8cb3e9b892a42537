// The game installed with `cmake --install` into a staging folder: the launcher, the desktop and
// packaging files, and the licence and changelog where a Debian system looks for them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "e2e/screen_layout.h"
#include "support/test_util.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

class Installed : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    install = testenv::runProcess("/usr/bin/env",
                                  {"DESTDIR=" + stage.path().string(), "cmake", "--install",
                                   BRAMBLESHOT_BUILD_DIR, "--prefix", "/usr"},
                                  "/", 120);
  }
  static void TearDownTestSuite() {  // write bits back, or the stage cannot be removed
    testenv::runProcess("/bin/chmod", {"-R", "u+w", stage.path().string()}, "/", 30);
  }
  void SetUp() override { ASSERT_EQ(install.exitCode, 0) << install.output; }
  static fs::path usr(const std::string& relative) { return stage.path() / "usr" / relative; }

  static inline testenv::TempDir stage;
  static inline testenv::ProcessResult install;
};

// From any directory, with the data read-only, the launcher starts the game and hands the options
// on: demo paths stay the player's, a refusal keeps its status, a recording killed still replays.
TEST_F(Installed, LauncherStartsTheGameFromAnyDirectory) {
  testenv::runProcess("/bin/chmod", {"-R", "a-w", usr("share/brambleshot").string()}, "/", 30);
  VirtualScreen screen;
  ASSERT_TRUE(screen.ok());
  testenv::TempDir elsewhere;
  {
    GameProcess game(screen.name(), elsewhere.path(), 60.0, usr("bin/brambleshot"),
                     {{"--record", "mine.demo"}, {}});
    ASSERT_TRUE(game.waitForWindow()) << game.output();
    EXPECT_TRUE(sees(game, [](const Picture& p) { return shown(p, kStartLabel); }))
        << "no start screen: " << game.output();
    EXPECT_EQ(game.output().find("Could not open"), std::string::npos) << game.output();
    game.key("n");
    game.movePointer(400, 100);
    game.settle();
  }  // killed
  ASSERT_TRUE(fs::exists(elsewhere / "mine.demo"));
  GameProcess replay(screen.name(), elsewhere.path(), 60.0, usr("bin/brambleshot"),
                     {{"--play=mine.demo", "--fast"}, {}});
  EXPECT_EQ(replay.waitForExit(50.0), 0) << replay.output();
  EXPECT_NE(replay.output().find("mine.demo: "), std::string::npos) << replay.output();
  EXPECT_PRED_FORMAT2(testing::IsSubstring, "the recording stopped there", replay.output());
  EXPECT_EQ(testenv::runProcess(usr("bin/brambleshot"), {"--window", "1x1"}, elsewhere.path(), 30)
                .exitCode,
            2);
}

// The validators and groff find nothing to say; man and lexgrog read the compressed man page.
TEST_F(Installed, DesktopEntryMetainfoIconsAndManPageAreValid) {
  const std::string page = usr("share/man/man6/brambleshot.6.gz").string();
  const struct {
    const char* program;
    std::vector<std::string> args;
    bool quiet = true;  // not even a warning
  } checks[] = {
      {"/usr/bin/desktop-file-validate", {usr("share/applications/brambleshot.desktop")}},
      {"/usr/bin/appstreamcli",
       {"validate", "--no-net",
        usr("share/metainfo/io.github.brambleshot.Brambleshot.metainfo.xml")},
       false},
      {"/usr/bin/groff",
       {"-man", "-z", "-ww", (testenv::sourceDir() / "data/brambleshot.6").string()}},
  };
  for (const auto& c : checks) {
    const testenv::ProcessResult result = testenv::runProcess(c.program, c.args, "/", 60);
    EXPECT_EQ(result.exitCode, 0) << c.program << ": " << result.output;
    EXPECT_TRUE(!c.quiet || result.output.empty()) << c.program << ": " << result.output;
  }
  for (const char* size : {"16x16", "32x32", "48x48", "64x64", "128x128", "256x256"})
    EXPECT_TRUE(fs::is_regular_file(usr("share/icons/hicolor/") / size / "apps/brambleshot.png"));
  EXPECT_NE(testenv::runProcess("/usr/bin/lexgrog", {page}, "/", 60)
                .output.find("brambleshot - defend the desert"),
            std::string::npos);
  const testenv::ProcessResult man =
      testenv::runProcess("/usr/bin/man", {"-P", "cat", "-l", page}, "/", 60);
  for (const char* section : {"SYNOPSIS", "CONTROLS", "FILES", "EXIT STATUS"})
    EXPECT_NE(man.output.find(section), std::string::npos) << section << man.output;
}

// Paragraphs of a Debian control-style file: "Name: value" fields, further lines indented.
std::vector<std::map<std::string, std::string>> paragraphs(const std::string& text) {
  std::vector<std::map<std::string, std::string>> out(1);
  std::istringstream lines(text);
  std::string line, field;
  while (std::getline(lines, line)) {
    if (line.empty()) {
      if (!out.back().empty()) out.emplace_back();
    } else if (line[0] == ' ' && !field.empty()) {
      out.back()[field].append("\n").append(line, 1);
    } else if (const auto colon = line.find(':'); colon != std::string::npos) {
      field = line.substr(0, colon);
      out.back()[field] = line.substr(std::min(colon + 2, line.size()));
    } else {
      ADD_FAILURE() << "not a field: " << line;
    }
  }
  if (out.back().empty()) out.pop_back();
  return out;
}

std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string word; in >> word;)
    out.push_back(word);
  return out;
}

// The copyright file is machine-readable: every Files stanza has a copyright and licences whose
// texts each come once, the code is under the GPL, and every file named exists (a renamed picture
// leaves no stale stanza). The man page and changelog are gzipped without name or time stamp, and
// the changelog's latest entry is this version's.
TEST_F(Installed, CopyrightAndChangelogAreWhereDebianLooks) {
  const fs::path doc = usr("share/doc/brambleshot");
  const std::string copyright = testenv::readFile(doc / "copyright");
  EXPECT_EQ(copyright.rfind(
                "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n", 0),
            0u);
  std::set<std::string> used, given;
  std::string codeLicence;
  for (const auto& stanza : paragraphs(copyright)) {
    const std::string licence = stanza.contains("License") ? stanza.at("License") : "";
    const std::string name = licence.substr(0, licence.find('\n'));
    if (stanza.contains("Files")) {
      EXPECT_TRUE(stanza.contains("Copyright") && !name.empty()) << stanza.at("Files");
      for (const std::string& file : words(stanza.at("Files"))) {
        if (file == "*")
          codeLicence = name;
        else
          EXPECT_TRUE(fs::exists(testenv::sourceDir() / file)) << file;
      }
      for (const std::string& word : words(name))
        if (word != "and" && word != "or") used.insert(word);
    } else if (!name.empty() && name.size() < licence.size()) {
      EXPECT_TRUE(given.insert(name).second) << name << " twice";
    }
  }
  EXPECT_EQ(codeLicence, "GPL-3.0+");
  EXPECT_EQ(used, given);
  EXPECT_PRED_FORMAT2(testing::IsSubstring, "/usr/share/common-licenses/GPL-3", copyright);

  for (const fs::path& file : {doc / "changelog.gz", usr("share/man/man6/brambleshot.6.gz")}) {
    const std::string bytes = testenv::readFile(file);
    ASSERT_GT(bytes.size(), 10u) << file;
    EXPECT_EQ(bytes.substr(0, 2), "\x1f\x8b") << file;
    EXPECT_EQ(bytes[3] & 0x08, 0) << file << " keeps its name";
    EXPECT_EQ(bytes.substr(4, 4), std::string(4, '\0')) << file << " keeps a time stamp";
  }
  const testenv::ProcessResult changelog =
      testenv::runProcess("/bin/gzip", {"-dc", (doc / "changelog.gz").string()}, "/", 30);
  EXPECT_EQ(changelog.output.rfind("brambleshot (" BRAMBLESHOT_VERSION ") ", 0), 0u)
      << changelog.output;
}

}  // namespace
}  // namespace e2e
