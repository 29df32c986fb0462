// quillet-relaunch PATH PID: waits until process PID has ended, then starts
// the program at PATH in its place. Quillet starts it just before it quits,
// to come back (e.g. after a restore, or to lose a dock icon).

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The process still runs (a zombie has ended, even before it is reaped).
bool isRunning(pid_t pid) {
  if (kill(pid, 0) != 0 && errno == ESRCH) return false;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return kill(pid, 0) == 0 || errno == EPERM;
  const auto close = line.rfind(')');
  return close == std::string::npos || close + 2 >= line.size() || line[close + 2] != 'Z';
}

// Blocks until pid has ended: a pidfd where the kernel has one, else a poll.
void waitForEnd(pid_t pid) {
#ifdef SYS_pidfd_open
  const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (fd >= 0) {
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, -1) < 0 && errno == EINTR) {
    }
    close(fd);
    return;
  }
  if (errno == ESRCH) return;
#endif
  while (isRunning(pid)) usleep(50 * 1000);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: quillet-relaunch PATH PID\n");
    return 2;
  }
  const char* path = argv[1];
  char* end = nullptr;
  const long pid = std::strtol(argv[2], &end, 10);
  if (!*path || !end || *end != '\0' || pid <= 0) {
    std::fprintf(stderr, "quillet-relaunch: bad arguments\n");
    return 2;
  }
  waitForEnd(static_cast<pid_t>(pid));
  // Become the program: no helper process is left behind.
  execl(path, path, static_cast<char*>(nullptr));
  std::fprintf(stderr, "quillet-relaunch: cannot start %s: %s\n", path, std::strerror(errno));
  return 1;
}
