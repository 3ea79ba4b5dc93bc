#include "study/output_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <sstream>
#include <string>
#include <thread>

#include "study/output_file.h"

namespace portalhost {
namespace {

// How long a study waits for the workers of one that died to let go.
constexpr auto kWaitForLeftovers = std::chrono::seconds(10);

std::string hostName() {
  char host[256] = "";
  ::gethostname(host, sizeof host - 1);
  return host;
}

// The lock file holds "<pid> <host>" and then a line for people.
struct Holder {
  long pid = 0;
  std::string host;
  std::string description = "another study";
};

Holder holderOf(int fd) {
  char text[2048];
  const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
  std::istringstream in(std::string(text, n > 0 ? static_cast<std::size_t>(n) : 0));
  Holder holder;
  std::string first, second;
  std::getline(in, first);
  std::getline(in, second);
  std::istringstream(first) >> holder.pid >> holder.host;
  if (!second.empty()) holder.description = second;
  return holder;
}

// The holder's main process is gone: what still holds the lock are its
// workers stopping their solvers, which takes moments.
bool holderGone(const Holder& holder) {
  return holder.pid > 0 && holder.host == hostName() && ::kill(static_cast<pid_t>(holder.pid), 0) != 0 &&
         errno == ESRCH;
}

std::string description(const std::string& studyFile) {
  const std::time_t now = std::time(nullptr);
  char started[64] = "";
  std::strftime(started, sizeof started, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
  return std::to_string(::getpid()) + " " + hostName() + "\nthe study " + studyFile + " (process " +
         std::to_string(::getpid()) + " on " + hostName() + ", started " + started + ")\n";
}

}  // namespace

OutputLock::OutputLock(const std::string& hostFolder, const std::string& studyFile) : path_(hostFolder + "/lock") {
  fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) throw OutputError(path_ + ": cannot be written: " + std::strerror(errno));
  const auto giveUp = std::chrono::steady_clock::now() + kWaitForLeftovers;
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    const Holder holder = holderOf(fd_);
    if (!holderGone(holder) || std::chrono::steady_clock::now() > giveUp) {
      ::close(fd_);
      fd_ = -1;
      throw OutputError("the output folder " + hostFolder.substr(0, hostFolder.rfind('/')) + " is in use by " +
                        holder.description + ": one study per output folder");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  const std::string me = description(studyFile);
  if (::ftruncate(fd_, 0) != 0 || ::pwrite(fd_, me.data(), me.size(), 0) != static_cast<ssize_t>(me.size())) {
    const int error = errno;
    ::close(fd_);
    fd_ = -1;
    throw OutputError(path_ + ": cannot be written: " + std::strerror(error));
  }
}

OutputLock::~OutputLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace portalhost
