#include "common/programdir.h"

#include "common/messages.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

using namespace common;
using testing_support::FileBytes;
using testing_support::WriteFileBytes;

TEST(ProgramDir, ChosenFromExecutableFolderEnvironmentAndOption) {
  const struct {
    const char* what;
    bool writable, installed;
    QString chosen, xdg, expected;
  } cases[] = {
      {"built or unpacked copy", true, false, {}, "/x", "/opt/v/bin"},
      {"read-only folder, XDG_DATA_HOME set", false, false, {}, "/x", "/x/velkaro"},
      {"read-only folder, XDG_DATA_HOME unset", false, false, {}, {}, "/home/u/.local/share/velkaro"},
      {"relative XDG_DATA_HOME is ignored", false, false, {}, "rel", "/home/u/.local/share/velkaro"},
      {"installed copy in a writable folder (root)", true, true, {}, {}, "/home/u/.local/share/velkaro"},
      {"--program-dir wins", false, true, "/data/run/", "/x", "/data/run"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ChooseProgramDir({"/opt/v/bin", c.writable, c.installed, c.chosen, c.xdg, "/home/u"}), c.expected);
  }
  EXPECT_EQ(InstalledDataDir("/usr/bin"), "/usr/share/velkaro");
}

// The first start copies what the package installed; a later start keeps the user's files.
TEST(ProgramDir, SeedsMissingFilesOnly) {
  testing_support::ProgramDir data, user;
  ASSERT_TRUE(WriteFileBytes(data.file("cfg/config.cfg"), "packaged config") &&
              WriteFileBytes(data.file("cfg/init.prm"), "packaged settings") &&
              WriteFileBytes(user.file("cfg/init.prm"), "user settings"));
  for (int start = 1; start <= 2; ++start) {
    SCOPED_TRACE(start);
    EXPECT_EQ(SeedProgramDir(user.path(), data.path()), QStringList());
    EXPECT_EQ(FileBytes(user.file("cfg/config.cfg")), start == 1 ? "packaged config" : "user config");
    EXPECT_EQ(FileBytes(user.file("cfg/init.prm")), "user settings");
    ASSERT_TRUE(WriteFileBytes(user.file("cfg/config.cfg"), "user config"));
  }
  // A program directory that cannot be made is named with its real path.
  EXPECT_EQ(SeedProgramDir(user.file("cfg/init.prm"), data.path()), QStringList{msg::CannotCreateFolder(user.file("cfg/init.prm/cfg"))});
}
