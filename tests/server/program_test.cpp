// The real orla-server program: options, errors, and the operator console
// reading a pipe on its standard input. POSIX only (popen and a shell).
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/test_client.h"

namespace orla_server {
namespace {

// Files of this process alone, so runs in several build trees do not mix.
std::string TempFile(const char* name) {
  return testing::TempDir() + "orla_server_" + std::to_string(getpid()) + "_" + name;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

struct ProgramRun {
  int exitCode;
  std::string output;
};

ProgramRun RunProgram(const std::string& arguments) {
  std::string out = TempFile("run.txt");
  int status = std::system(
      (std::string(ORLA_SERVER_PATH) + " " + arguments + " >" + out + " 2>&1 </dev/null").c_str());
  ProgramRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out)};
  std::remove(out.c_str());
  return run;
}

TEST(ProgramTest, BadOptionsGiveOneLineAndNonZeroExit) {
  for (const char* arguments :
       {"--bogus", "--port", "--port 70000", "--port x1", "--motd /nonexistent/motd.txt",
        "--channel bad=name=x --channel "
        "\"two words\""}) {
    SCOPED_TRACE(arguments);
    ProgramRun run = RunProgram(arguments);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(run.output.find("orla-server: "), 0u) << run.output;
    EXPECT_EQ(run.output.find('\n'), run.output.size() - 1) << run.output;
  }
  ProgramRun help = RunProgram("--help");
  EXPECT_EQ(help.exitCode, 0);
  for (const char* word : {"--bind", "--port", "--motd", "--channel", "--demo", "--verbose",
                           "notice", "topic", "kick", "close", "who", "quit"}) {
    EXPECT_NE(help.output.find(word), std::string::npos) << word;
  }
}

TEST(ProgramTest, ConsoleOnStandardInputDrivesTheServer) {
  std::string out = TempFile("console.txt");
  std::string err = TempFile("consoleErr.txt");
  std::remove(out.c_str());
  FILE* console = popen((std::string(ORLA_SERVER_PATH) +
                         " --port 0 --channel lobby=Hello --verbose >" + out + " 2>" + err)
                            .c_str(),
                        "w");
  ASSERT_NE(console, nullptr);
  std::uint16_t port = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangBoundMs);
  while (port == 0 && std::chrono::steady_clock::now() < deadline) {
    std::string text = ReadFile(out);
    std::size_t at = text.find("listening on 127.0.0.1:");
    if (at != std::string::npos && text.find('\n', at) != std::string::npos) {
      port = static_cast<std::uint16_t>(std::stoi(text.substr(at + 23)));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_NE(port, 0) << ReadFile(err);

  // A second server on the same port fails with a clear line.
  ProgramRun clash = RunProgram("--port " + std::to_string(port));
  EXPECT_EQ(clash.exitCode, 1);
  EXPECT_NE(clash.output.find("cannot listen on 127.0.0.1:" + std::to_string(port)),
            std::string::npos)
      << clash.output;

  TestClient client(port);
  client.Login("Op", 1);
  client.Send(400, "lobby");
  client.Until(410);
  // The terminal speaks UTF-8; the wire gets CP932.
  std::fputs(u8"notice lobby お知らせです\n", console);
  std::fputs("who lobby\n", console);
  std::fflush(console);
  EXPECT_EQ(client.Next(), (Frame{425, "lobby お知らせです"}));
  std::fputs("quit\n", console);
  std::fflush(console);
  EXPECT_TRUE(client.WaitClosed());
  int status = pclose(console);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  std::string replies = ReadFile(out);
  EXPECT_NE(replies.find("notice sent\n"), std::string::npos) << replies;
  EXPECT_NE(replies.find("lobby (1 users) topic: Hello\n  Op files=0 speed=8 lobby\n"),
            std::string::npos)
      << replies;
  EXPECT_NE(ReadFile(err).find("login Op"), std::string::npos);
  std::remove(out.c_str());
  std::remove(err.c_str());
}

}  // namespace
}  // namespace orla_server
