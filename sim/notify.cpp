#include "sim/notify.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <vector>

#include "host/host.h"
#include "sim/device.h"
#include "sim/journal.h"

struct host::NotifyCenter {};

namespace sim {
namespace {

struct Observer {
  host::NotificationCallback callback;
  const void* observer;
  std::string name;
};

struct Service {
  std::string dir;
  std::string pipePath;
  int readFd = -1;
  int keepAliveFd = -1;
  bool failRegistrations = false;
  std::string pending;
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

host::NotifyCenter theCenter;

}  // namespace

void notifyStart(const std::string& root, bool failRegistrations) {
  notifyStop();
  auto& s = service();
  s.failRegistrations = failRegistrations;
  s.dir = root + "/.sim/notify";
  std::error_code ignored;
  std::filesystem::create_directories(s.dir, ignored);
  s.pipePath = s.dir + "/" + std::to_string(getpid()) + "-" + std::to_string(++s.generation) + ".fifo";
  s.owner = getpid();
  unlink(s.pipePath.c_str());
  if (mkfifo(s.pipePath.c_str(), 0600) != 0) return;
  s.readFd = open(s.pipePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  // Holding a writer of our own keeps the pipe from reporting end-of-file
  // while no other process has it open.
  s.keepAliveFd = open(s.pipePath.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
}

void notifyStop() {
  auto& s = service();
  if (s.readFd >= 0) close(s.readFd);
  if (s.keepAliveFd >= 0) close(s.keepAliveFd);
  if (!s.pipePath.empty() && s.owner == getpid()) unlink(s.pipePath.c_str());
  s.readFd = s.keepAliveFd = -1;
  s.pipePath.clear();
  s.pending.clear();
  s.observers.clear();
  s.arrivals.clear();
  s.posts.clear();
}

int notifyFd() { return service().readFd; }

int notifyDeliver() {
  auto& s = service();
  if (s.readFd < 0) return 0;
  char buffer[4096];
  for (;;) {
    ssize_t n = read(s.readFd, buffer, sizeof buffer);
    if (n > 0) {
      s.pending.append(buffer, static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;
  }
  // Coalesce: each name once per turn, in order of first arrival.
  std::vector<std::string> names;
  std::size_t start = 0;
  for (std::size_t end; (end = s.pending.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string name = s.pending.substr(start, end - start);
    bool seen = false;
    for (const auto& n : names) seen |= n == name;
    if (!seen) names.push_back(std::move(name));
  }
  s.pending.erase(0, start);
  int calls = 0;
  for (const auto& name : names) {
    ++s.arrivals[name];
    // Copy: a callback may register further observers.
    std::vector<Observer> observers = s.observers;
    for (const auto& o : observers) {
      if (o.name != name) continue;
      journal("notificationDelivered", name);
      o.callback(&theCenter, const_cast<void*>(o.observer), name.c_str(), nullptr, nullptr);
      ++calls;
    }
  }
  return calls;
}

int notifyArrivals(const std::string& name) {
  auto it = service().arrivals.find(name);
  return it == service().arrivals.end() ? 0 : it->second;
}

int postCount(const std::string& name) {
  auto it = service().posts.find(name);
  return it == service().posts.end() ? 0 : it->second;
}

}  // namespace sim

namespace host {

NotifyCenter* darwinNotifyCenter() { return &sim::theCenter; }

void notifyCenterAddObserver(NotifyCenter* center, const void* observer, NotificationCallback callback,
                             const char* name, const void*, int suspensionBehavior) {
  sim::journal("notifyCenterAddObserver",
               std::string(name ? name : "(null)") + " suspension=" + std::to_string(suspensionBehavior));
  auto& s = sim::service();
  if (!center || !callback || !name || s.failRegistrations) return;
  s.observers.push_back({callback, observer, name});
}

void notifyPost(const char* name) {
  if (!name) return;
  sim::journal("notifyPost", name);
  auto& s = sim::service();
  ++s.posts[name];
  if (s.dir.empty()) return;
  std::string line = std::string(name) + "\n";
  DIR* dir = opendir(s.dir.c_str());
  if (!dir) return;
  while (dirent* entry = readdir(dir)) {
    std::string file = entry->d_name;
    if (file.size() < 5 || file.compare(file.size() - 5, 5, ".fifo") != 0) continue;
    std::string path = s.dir + "/" + file;
    int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      // No reader: the process that made it has ended.
      if (errno == ENXIO) unlink(path.c_str());
      continue;
    }
    // Writes below PIPE_BUF are atomic. A full pipe already holds a pending
    // delivery, which coalesces with this one, so EAGAIN loses nothing.
    ssize_t ignored = write(fd, line.data(), line.size());
    (void)ignored;
    close(fd);
  }
  closedir(dir);
}

}  // namespace host
