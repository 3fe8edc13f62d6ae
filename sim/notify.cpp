#include "sim/notify.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <cstring>
#include <map>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "sim/device.h"
#include "sim/in_root.h"
#include "sim/journal.h"

namespace sim {
namespace {

// A post arrives whole only up to PIPE_BUF bytes, so no longer line is a name.
constexpr std::size_t kMaxNameBytes = 4096;
// What one turn of the run loop reads at most.
constexpr std::size_t kMaxTurnBytes = std::size_t{1} << 20;
// Distinct names whose arrivals are counted; later ones are delivered but
// not counted, so that a flood of names cannot grow the counts without bound.
constexpr std::size_t kMaxCountedNames = 4096;

struct Observer {
  NotifyCallback callback;
  const void* observer;
  std::string name;
};

struct Service {
  std::string dir;
  Descriptor dirFd;
  std::string pipeName;
  int readFd = -1;
  int keepAliveFd = -1;
  bool failRegistrations = false;
  std::string pending;    // the start of a line not yet ended
  bool skipping = false;  // dropping an over-long line up to its newline
  std::vector<Observer> observers;
  std::map<std::string, int> arrivals;
  std::map<std::string, int> posts;
  int generation = 0;
  pid_t owner = 0;  // a forked child must not remove its parent's pipe
};

Service& service() {
  static auto* s = new Service;
  return *s;
}

bool endsWith(std::string_view name, std::string_view suffix) {
  return name.size() >= suffix.size() && name.substr(name.size() - suffix.size()) == suffix;
}

// True when `name` in the folder is a FIFO itself, not a link to one.
bool isFifo(int dirFd, const char* name) {
  struct stat st {};
  return fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISFIFO(st.st_mode);
}

// Opens the FIFO `name` for writing without waiting; -1 for anything that
// is not a FIFO, and with errno ENXIO when no process reads it.
int openFifoForWriting(int dirFd, const char* name) {
  if (!isFifo(dirFd, name)) {
    errno = EINVAL;
    return -1;
  }
  int fd = openat(dirFd, name, O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISFIFO(st.st_mode)) {
    close(fd);
    errno = EINVAL;
    return -1;
  }
  return fd;
}

// Calls `visit` with the name of each entry of the folder.
template <typename Visit>
void forEachEntry(int dirFd, Visit visit) {
  int listFd = openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listFd < 0) return;
  DIR* dir = fdopendir(listFd);
  if (!dir) {
    close(listFd);
    return;
  }
  while (dirent* entry = readdir(dir)) visit(entry->d_name);
  closedir(dir);
}

// A pipe is made as "<pid>-<n>.new" and renamed to "<pid>-<n>.fifo" once its
// reader is open, so that a ".fifo" without a reader belongs to a process
// that has ended.
void removeStalePipes(int dirFd) {
  forEachEntry(dirFd, [dirFd](const char* name) {
    if (endsWith(name, ".fifo")) {
      int fd = openFifoForWriting(dirFd, name);
      if (fd >= 0) close(fd);
      else if (errno == ENXIO) unlinkat(dirFd, name, 0);
    } else if (endsWith(name, ".new") && isFifo(dirFd, name)) {
      const long pid = std::strtol(name, nullptr, 10);
      if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) unlinkat(dirFd, name, 0);
    }
  });
}

std::string failure(const std::string& what) { return what + ": " + std::strerror(errno); }

// Writes `line` into the pipe `fd`. A reader that closed its end since the
// pipe was opened belongs to a process that has ended: the write fails with
// EPIPE, and the SIGPIPE it raises is taken back here, so that it neither
// ends this process nor reads as the user's interrupt.
void writeToReader(int fd, const std::string& line) {
  sigset_t pipeSignal, previous, pending;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
  // One already pending came from elsewhere and is left to its handler.
  const bool earlier = sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
  // Writes below PIPE_BUF are atomic. A full pipe already holds a pending
  // delivery, which coalesces with this one, so EAGAIN loses nothing.
  if (write(fd, line.data(), line.size()) < 0 && errno == EPIPE && !earlier) {
    const timespec now{};
    while (sigtimedwait(&pipeSignal, nullptr, &now) < 0 && errno == EINTR) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

}  // namespace

std::string notifyStart(const std::string& root, bool failRegistrations) {
  notifyStop();
  auto& s = service();
  s.failRegistrations = failRegistrations;
  s.dir = root + "/.sim/notify";
  Descriptor rootFd = openRootFolder(root);
  if (!rootFd.valid()) return failure("cannot open the device root " + root);
  s.dirFd = openFolderInRoot(rootFd.get(), "/.sim/notify", true);
  if (!s.dirFd.valid()) return failure("cannot use " + s.dir + " for notifications");
  removeStalePipes(s.dirFd.get());
  const std::string stem = std::to_string(getpid()) + "-" + std::to_string(++s.generation);
  const std::string fresh = stem + ".new";
  const int dir = s.dirFd.get();
  unlinkat(dir, fresh.c_str(), 0);
  if (mkfifoat(dir, fresh.c_str(), 0600) != 0) return failure("cannot make a pipe in " + s.dir);
  s.owner = getpid();
  s.readFd = openat(dir, fresh.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  // Holding a writer of our own keeps the pipe from reporting end-of-file
  // while no other process has it open.
  if (s.readFd >= 0) s.keepAliveFd = openFifoForWriting(dir, fresh.c_str());
  std::string problem;
  if (s.readFd < 0 || s.keepAliveFd < 0) problem = failure("cannot open the pipe in " + s.dir);
  else if (renameat(dir, fresh.c_str(), dir, (stem + ".fifo").c_str()) != 0)
    problem = failure("cannot name the pipe in " + s.dir);
  else s.pipeName = stem + ".fifo";
  if (!problem.empty()) {
    unlinkat(dir, fresh.c_str(), 0);
    notifyStop();
  }
  return problem;
}

void notifyStop() {
  auto& s = service();
  if (s.readFd >= 0) close(s.readFd);
  if (s.keepAliveFd >= 0) close(s.keepAliveFd);
  if (!s.pipeName.empty() && s.dirFd.valid() && s.owner == getpid()) unlinkat(s.dirFd.get(), s.pipeName.c_str(), 0);
  s.readFd = s.keepAliveFd = -1;
  s.dirFd = Descriptor();
  s.pipeName.clear();
  s.pending.clear();
  s.skipping = false;
  s.observers.clear();
  s.arrivals.clear();
  s.posts.clear();
}

int notifyFd() { return service().readFd; }

int notifyDeliver() {
  auto& s = service();
  if (s.readFd < 0) return 0;
  // Coalesce: each name once per turn, in order of first arrival.
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  auto dropped = [] {
    journal("notificationDropped", "a line longer than " + std::to_string(kMaxNameBytes) + " bytes");
  };
  auto takeLines = [&](std::string_view bytes) {
    for (std::size_t newline; (newline = bytes.find('\n')) != std::string_view::npos;) {
      if (!s.skipping && s.pending.size() + newline > kMaxNameBytes) {
        dropped();
      } else if (!s.skipping) {
        s.pending.append(bytes.substr(0, newline));
        if (seen.insert(s.pending).second) names.push_back(s.pending);
      }
      s.pending.clear();
      s.skipping = false;
      bytes.remove_prefix(newline + 1);
    }
    if (s.skipping) return;
    if (s.pending.size() + bytes.size() > kMaxNameBytes) {
      // No post is this long: what is read up to the next newline is not a
      // name and is dropped.
      dropped();
      s.pending.clear();
      s.skipping = true;
      return;
    }
    s.pending.append(bytes);
  };
  // At most kMaxTurnBytes a turn: what is left keeps the pipe readable for
  // the next one, so that a writer that never stops cannot hold the loop.
  char buffer[4096];
  for (std::size_t taken = 0; taken < kMaxTurnBytes;) {
    ssize_t n = read(s.readFd, buffer, sizeof buffer);
    if (n > 0) {
      taken += static_cast<std::size_t>(n);
      takeLines(std::string_view(buffer, static_cast<std::size_t>(n)));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;
  }
  int calls = 0;
  for (const auto& name : names) {
    if (s.arrivals.size() < kMaxCountedNames || s.arrivals.count(name)) ++s.arrivals[name];
    bool observed = false;
    for (const auto& o : s.observers) observed |= o.name == name;
    if (!observed) continue;
    // Copy: a callback may register further observers.
    std::vector<Observer> observers = s.observers;
    for (const auto& o : observers) {
      if (o.name != name) continue;
      journal("notificationDelivered", name);
      o.callback(o.observer, name);
      ++calls;
    }
  }
  return calls;
}

std::size_t notifyBuffered() { return service().pending.size(); }

int notifyArrivals(const std::string& name) {
  auto it = service().arrivals.find(name);
  return it == service().arrivals.end() ? 0 : it->second;
}

int postCount(const std::string& name) {
  auto it = service().posts.find(name);
  return it == service().posts.end() ? 0 : it->second;
}

}  // namespace sim

namespace sim {

void notifyAddObserver(const void* observer, NotifyCallback callback, const std::string& name) {
  auto& s = service();
  if (!callback || s.failRegistrations) return;
  s.observers.push_back({callback, observer, name});
}

void notifyPostName(const std::string& name) {
  auto& s = service();
  ++s.posts[name];
  if (!s.dirFd.valid()) return;
  const std::string line = name + "\n";
  const int dir = s.dirFd.get();
  forEachEntry(dir, [&](const char* file) {
    if (!endsWith(file, ".fifo")) return;
    int fd = openFifoForWriting(dir, file);
    if (fd < 0) {
      // No reader: the process that made it has ended.
      if (errno == ENXIO) unlinkat(dir, file, 0);
      return;
    }
    writeToReader(fd, line);
    close(fd);
  });
}

}  // namespace sim
