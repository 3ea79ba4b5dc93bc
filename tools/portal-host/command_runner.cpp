#include "command_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace portalhost {

bool runProgram(const std::string& program, const ORLIX::StringList& arguments, const std::string& folder) {
  std::vector<std::string> words;
  words.push_back(program);
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child < 0) {
    std::perror("portal-host: fork");
    return false;
  }
  if (child == 0) {
    // Only async-signal-safe calls from here on.
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) ::_exit(127);
    const int nothing = ::open("/dev/null", O_RDONLY);
    if (nothing >= 0) ::dup2(nothing, STDIN_FILENO);
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace portalhost
