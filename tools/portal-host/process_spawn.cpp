#include "process_spawn.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace portalhost {

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& folder, const std::string& outputFile) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const int output = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  pid_ = ::fork();
  if (pid_ == 0) {
    const int input = ::open("/dev/null", O_RDONLY);
    if (input >= 0) ::dup2(input, 0);
    if (output >= 0) {
      ::dup2(output, 1);
      ::dup2(output, 2);
    }
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) ::_exit(127);
    ::execvp(program.c_str(), argv.data());
    ::_exit(127);
  }
  if (output >= 0) ::close(output);
}

ChildProcess::~ChildProcess() {
  if (started() && !ended_) wait();
}

bool ChildProcess::finished() {
  if (!started() || ended_) return true;
  const pid_t done = ::waitpid(pid_, &status_, WNOHANG);
  if (done == pid_ || (done < 0 && errno != EINTR)) ended_ = true;
  return ended_;
}

bool ChildProcess::wait() {
  if (!started()) return false;
  while (!ended_) {
    const pid_t done = ::waitpid(pid_, &status_, 0);
    if (done == pid_ || (done < 0 && errno != EINTR)) ended_ = true;
  }
  return WIFEXITED(status_) && WEXITSTATUS(status_) == 0;
}

bool runToEnd(const std::string& program, const std::vector<std::string>& arguments,
              const std::string& folder, const std::string& outputFile) {
  ChildProcess child(program, arguments, folder, outputFile);
  return child.wait();
}

}  // namespace portalhost
