#include "process_group.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>

extern char** environ;

namespace portalhost {
namespace {

using Clock = std::chrono::steady_clock;

bool executableFile(const std::string& path, int& why) {
  struct stat status;
  if (::stat(path.c_str(), &status) != 0) {
    why = errno;
    return false;
  }
  if (S_ISDIR(status.st_mode)) {
    why = EISDIR;
    return false;
  }
  if (::access(path.c_str(), X_OK) != 0) {
    why = errno;
    return false;
  }
  return true;
}

std::vector<std::string> environmentWith(const std::vector<std::pair<std::string, std::string>>& added) {
  std::vector<std::string> env;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const std::string text(*entry);
    const std::string name = text.substr(0, text.find('='));
    bool replaced = false;
    for (const auto& [key, value] : added) replaced = replaced || key == name;
    if (!replaced) env.push_back(text);
  }
  for (const auto& [key, value] : added) env.push_back(key + "=" + value);
  return env;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (std::string& text : texts) out.push_back(text.data());
  out.push_back(nullptr);
  return out;
}

int openPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
  const long fd = ::syscall(SYS_pidfd_open, pid, 0);
  if (fd >= 0) {
    ::fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
    return static_cast<int>(fd);
  }
#endif
  (void)pid;
  return -1;
}

// The program is started by posix_spawn, which shares the host's memory with
// the child until exec instead of copying its page tables: a fork of a host
// that holds a study costs more processor time than a small solver's whole
// run. Answers 0 or the errno of what failed (chdir, open, exec).
int spawnProgram(const char* path, char* const* argv, char* const* envp, const char* folder, int outputFd,
                 pid_t& pid) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  if (posix_spawn_file_actions_init(&actions) != 0) return ENOMEM;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return ENOMEM;
  }
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  for (int signal : {SIGINT, SIGTERM, SIGPIPE}) sigaddset(&defaults, signal);
  int error = posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                                        POSIX_SPAWN_SETSIGDEF);
  if (error == 0) error = posix_spawnattr_setpgroup(&attributes, 0);
  if (error == 0) error = posix_spawnattr_setsigmask(&attributes, &none);
  if (error == 0) error = posix_spawnattr_setsigdefault(&attributes, &defaults);
  if (error == 0) error = posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (error == 0) {
    error = outputFd >= 0 ? posix_spawn_file_actions_adddup2(&actions, outputFd, 1)
                          : posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  }
  if (error == 0) error = posix_spawn_file_actions_adddup2(&actions, 1, 2);
  if (error == 0 && folder[0] != '\0') error = posix_spawn_file_actions_addchdir_np(&actions, folder);
  if (error == 0) error = posix_spawn(&pid, path, &actions, &attributes, argv, envp);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return error;
}

}  // namespace

std::string findProgram(const std::string& name, const std::string& searchPath, const std::string& folder,
                        std::string& why) {
  int error = ENOENT;
  if (name.empty()) {
    why = "no program named";
    return {};
  }
  if (name.find('/') != std::string::npos) {
    const std::string path = name[0] == '/' || folder.empty()
                                 ? name
                                 : (std::filesystem::path(folder) / name).lexically_normal().string();
    if (executableFile(path, error)) return path;
    why = name + ": " + std::strerror(error);
    return {};
  }
  std::size_t start = 0;
  bool denied = false;
  while (start <= searchPath.size() && !searchPath.empty()) {
    const std::size_t end = std::min(searchPath.find(':', start), searchPath.size());
    std::string dir = searchPath.substr(start, end - start);
    if (dir.empty()) dir = folder.empty() ? "." : folder;
    const std::string candidate = dir + "/" + name;
    if (executableFile(candidate, error)) return candidate;
    denied = denied || error == EACCES;
    start = end + 1;
  }
  why = name + (denied ? ": found on PATH but not executable (Permission denied)" : ": not found on PATH");
  return {};
}

ProcessGroup::ProcessGroup(const LaunchRequest& request) {
  const char* path = std::getenv("PATH");
  for (const auto& [name, value] : request.env) {
    if (name == "PATH") path = value.c_str();
  }
  std::string why;
  const std::string program =
      request.argv.empty() ? std::string() : findProgram(request.argv[0], path ? path : "", request.folder, why);
  if (program.empty()) {
    error_ = request.argv.empty() ? "no program named" : why;
    return;
  }
  std::vector<std::string> arguments = request.argv;
  std::vector<std::string> environment = environmentWith(request.env);
  std::vector<char*> argv = pointers(arguments), envp = pointers(environment);
  pid_t pid = -1;
  const int error = spawnProgram(program.c_str(), argv.data(), envp.data(), request.folder.c_str(), request.outputFd, pid);
  if (error != 0) {
    error_ = request.argv[0] + ": " + std::strerror(error);
    return;
  }
  pid_ = pid;
  pidFd_ = openPidFd(pid);
}

ProcessGroup::~ProcessGroup() {
  if (started() && !reaped_) stop(0.5);
  if (pidFd_ >= 0) ::close(pidFd_);
}

// The leader has exited, without reaping it.
bool ProcessGroup::ended() const {
  if (reaped_) return true;
  siginfo_t info;
  std::memset(&info, 0, sizeof info);
  while (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
    if (errno != EINTR) return true;  // not our child any more: nothing to wait for
  }
  return info.si_pid == pid_;
}

ProcessGroup::Wait ProcessGroup::waitFor(double seconds, int wakeFd) {
  if (!started() || ended()) return Wait::Exited;
  const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                                           seconds < 0 ? 0 : std::min(seconds, 1e9)));
  for (;;) {
    int timeout = -1;
    if (seconds >= 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return ended() ? Wait::Exited : Wait::TimedOut;
      timeout = static_cast<int>(std::min<long long>(left + 1, 1 << 30));
    }
    // Without a process descriptor (old kernels) we look again every 10 ms.
    if (pidFd_ < 0) timeout = timeout < 0 ? 10 : std::min(timeout, 10);
    pollfd watched[2] = {{pidFd_, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    const int ready = ::poll(watched, 2, timeout);
    if (ended()) return Wait::Exited;
    if (ready > 0 && wakeFd >= 0 && (watched[1].revents & (POLLIN | POLLHUP | POLLERR))) return Wait::Woken;
  }
}

void ProcessGroup::signalGroup(int signal) {
  if (pid_ > 0 && !reaped_) ::kill(-pid_, signal);
}

void ProcessGroup::stop(double graceSeconds) {
  if (!started() || reaped_) return;
  signalGroup(SIGTERM);
  signalGroup(SIGCONT);
  waitFor(graceSeconds);
  // The leader is still unreaped here, so the group id cannot belong to anyone else.
  signalGroup(SIGKILL);
  while (::waitpid(pid_, &status_, 0) < 0) {
    if (errno != EINTR) {
      status_ = 0;
      break;
    }
  }
  reaped_ = true;
}

int ProcessGroup::exitCode() const {
  return reaped_ && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

int ProcessGroup::signal() const { return reaped_ && WIFSIGNALED(status_) ? WTERMSIG(status_) : 0; }

std::string ProcessGroup::describeExit() const {
  if (!reaped_) return "is still running";
  if (WIFEXITED(status_)) return "exited with status " + std::to_string(WEXITSTATUS(status_));
  if (WIFSIGNALED(status_)) {
    const int signal = WTERMSIG(status_);
    return "was killed by signal " + std::to_string(signal) + " (" + ::strsignal(signal) + ")";
  }
  return "ended";
}

}  // namespace portalhost
