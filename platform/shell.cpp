#include "platform/shell.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/last_error.h"
#include "platform/text.h"

namespace {

HINSTANCE AsResult(intptr_t value) { return reinterpret_cast<HINSTANCE>(value); }

// Runs argv[0] found on the PATH in a grandchild, so that the caller never has
// to reap it, and reports whether the exec succeeded (errno of the failure).
int SpawnDetached(std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  int status[2];
  if (pipe2(status, O_CLOEXEC) != 0) return errno;
  pid_t child = fork();
  if (child < 0) {
    int error = errno;
    close(status[0]);
    close(status[1]);
    return error;
  }
  if (child == 0) {
    if (fork() == 0) {
      setsid();
      execvp(argv[0], argv.data());
      int error = errno;
      (void)!write(status[1], &error, sizeof error);
      _exit(127);
    }
    _exit(0);
  }
  close(status[1]);
  int waited = 0;
  while (waitpid(child, &waited, 0) < 0 && errno == EINTR) {
  }
  // The pipe closes on a successful exec and carries errno on a failed one.
  int error = 0;
  ssize_t n;
  while ((n = read(status[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  close(status[0]);
  return n == sizeof error ? error : 0;
}

}  // namespace

HINSTANCE ShellExecuteW(HWND, LPCWSTR, LPCWSTR file, LPCWSTR parameters, LPCWSTR, INT) {
  if (!file || !*file) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return AsResult(2);
  }
  std::vector<std::string> words = {platform::WideToAnsi(file)};
  for (const std::u16string& w : platform::SplitShellWords(parameters ? parameters : u"")) {
    words.push_back(platform::WideToAnsi(w));
  }
  int error = SpawnDetached(words);
  if (error == 0) return AsResult(42);
  DWORD code = platform::Win32ErrorFromErrno(error);
  SetLastError(code);
  return AsResult(code == ERROR_FILE_NOT_FOUND ? 2 : code == ERROR_ACCESS_DENIED ? 5 : 31);
}
