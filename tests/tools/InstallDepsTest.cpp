// tools/install-deps.sh on machines of every kind, with stand-ins alone on PATH.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "TestSupport.h"

namespace {

void WriteTool(const std::string& name, const std::string& body) {
  WriteFile("bin/" + name, "#!/bin/sh\n" + body);
  chmod(("bin/" + name).c_str(), 0755);
}

// Stand-ins written with shell built-ins only, since PATH holds nothing else. Each call is one
// line of calls.log; apt-get also records the frontend it was given.
void WriteStandIns(bool withSudo) {
  mkdir("bin", 0755);
  WriteTool("dpkg-query",
            "for p; do :; done\n"  // the package is the last argument
            "case \" $MISSING \" in *\" $p \"*) echo \"dpkg-query: no packages found matching $p\" >&2; "
            "exit 1;; esac\n"
            "case \" $REMOVED \" in *\" $p \"*) printf 'deinstall ok config-files'; exit 0;; esac\n"
            "printf 'install ok installed'\n");
  WriteTool("apt-get",
            "echo \"apt-get $* [$DEBIAN_FRONTEND]\" >> \"$CALLS\"\n"
            "case \"$1\" in install) exit ${APT_STATUS:-0};; esac\n");
  WriteTool("id", "[ \"$1\" = -u ] && echo \"$FAKE_UID\"\n");
  if (withSudo)
    WriteTool("sudo",
              "echo \"sudo $*\" >> \"$CALLS\"\n"
              "[ \"$1\" = -E ] && shift\n"
              "exec \"$@\"\n");
}

}  // namespace

TEST(InstallDeps, EveryKindOfMachine) {
  const struct {
    const char* what;
    const char* uid;
    bool sudo;
    const char* missing;
    const char* removed;
    const char* argument;
    int aptStatus;
    int status;
    std::string calls;
    const char* told;  // in the output
  } cases[] = {
      {"root installs every missing package directly in one install, never through sudo (which may not "
       "exist there): a removed but not purged one, and test-only ones with \"test\"", "0", false, "g++ xvfb",
       "libgtest-dev", "test", 0, 0,
       "apt-get update -q [noninteractive]\n"
       "apt-get install -y -q --no-install-recommends g++ libgtest-dev xvfb [noninteractive]\n",
       "Installing missing packages: g++ libgtest-dev xvfb"},
      {"a user with sudo installs through sudo -E, keeping the frontend", "1000", true, "make", "",
       "", 0, 0,
       "sudo -E apt-get update -q\n"
       "apt-get update -q [noninteractive]\n"
       "sudo -E apt-get install -y -q --no-install-recommends make\n"
       "apt-get install -y -q --no-install-recommends make [noninteractive]\n",
       ""},
      {"only test-only packages missing, without \"test\": nothing runs, not even for a user without sudo",
       "1000", false, "xvfb appstream", "", "", 0, 0, "", ""},
      {"apt-get failing fails the step", "0", false, "make", "", "", 100, 1,
       "apt-get update -q [noninteractive]\n"
       "apt-get install -y -q --no-install-recommends make [noninteractive]\n",
       "apt-get install failed for: make"},
      {"a user without sudo is told the exact line and nothing runs", "1000", false, "make sox", "",
       "test", 0, 1, "", "apt-get update && apt-get install -y --no-install-recommends make sox"},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    WriteStandIns(c.sudo);
    const std::string command = std::string("env -i PATH=\"$PWD/bin\" CALLS=\"$PWD/calls.log\" FAKE_UID=") +
                                c.uid + " MISSING='" + c.missing + "' REMOVED='" + c.removed +
                                "' APT_STATUS=" + std::to_string(c.aptStatus) +
                                " /bin/bash " BRIKON_SOURCE_DIR "/tools/install-deps.sh " + c.argument;
    std::string output;
    EXPECT_EQ(RunCommand(command, &output), c.status) << c.what << "\n" << output;
    EXPECT_EQ(ReadFile("calls.log"), c.calls) << c.what;
    EXPECT_NE(output.find(c.told), std::string::npos) << c.what << "\n" << output;  // "" is always found
  }
}
