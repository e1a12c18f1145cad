#include "platform/shell.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/last_error.h"
#include "platform/text.h"

namespace platform {

std::vector<std::u16string> SplitShellWords(std::u16string_view text) {
  std::vector<std::u16string> words;
  std::u16string word;
  bool inWord = false;
  char16_t quote = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (quote) {
      if (c == quote) {
        quote = 0;
      } else if (c == u'\\' && quote == u'"' && i + 1 < text.size()) {
        word.push_back(text[++i]);
      } else {
        word.push_back(c);
      }
    } else if (c == u' ' || c == u'\t' || c == u'\n') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
      inWord = true;
    } else if (c == u'\\' && i + 1 < text.size()) {
      word.push_back(text[++i]);
      inWord = true;
    } else {
      word.push_back(c);
      inWord = true;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

}  // namespace platform

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
