#include "tests/tools/harbolt_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

extern char** environ;

namespace tools_test {

namespace {

// A registry with the add-in registered, made once for the test program.
const std::filesystem::path& RegisteredTemplate() {
  static const testing_support::TempDir folder;
  static const std::filesystem::path file = [] {
    std::filesystem::path registry = folder / "registry";
    HarboltRunner runner(HarboltRunner::Registry::kEmpty);
    RunResult run = runner.Run({"register"}, {}, {"HARBOLT_REGISTRY=" + registry.string()});
    if (run.status != 0) throw std::runtime_error("cannot register the add-in: " + run.err);
    return registry;
  }();
  return file;
}

}  // namespace

HarboltRunner::HarboltRunner(Registry registry) {
  std::filesystem::create_directories(RegistryFile().parent_path());
  if (registry == Registry::kRegistered) {
    std::filesystem::copy_file(RegisteredTemplate(), RegistryFile());
  }
}

std::filesystem::path HarboltRunner::RegistryFile() const {
  return dir() / "home" / ".harbolt" / "registry";
}

RunResult HarboltRunner::Run(const std::vector<std::string>& args,
                             const std::filesystem::path& folder,
                             const std::vector<std::string>& extraEnvironment) const {
  const std::filesystem::path out = dir() / "stdout.txt";
  const std::filesystem::path err = dir() / "stderr.txt";
  std::vector<std::string> environment;
  std::string leakOptions = "use_tls=0:print_suppressions=0";
  for (char** entry = environ; *entry; ++entry) {
    std::string text = *entry;
    // The runs see only what the test gives them of these.
    if (text.starts_with("HOME=") || text.starts_with("HARBOLT_")) continue;
    if (text.starts_with("LSAN_OPTIONS=")) {
      leakOptions = text.substr(13) + ":" + leakOptions;
      continue;
    }
    environment.push_back(text);
  }
  // The program unloads the add-in as the host does. LeakSanitizer (of GCC
  // 12) then trips at exit over the dynamic thread-local storage the unloaded
  // module left; with thread-local storage not scanned it checks the rest as
  // before (and no longer counts what such storage holds as reachable).
  environment.push_back("LSAN_OPTIONS=" + leakOptions);
  environment.insert(environment.begin(), extraEnvironment.begin(), extraEnvironment.end());
  environment.push_back("HOME=" + (dir() / "home").string());
  environment.push_back("HARBOLT_DRIVE_C=" + (dir() / "drive_c").string());

  std::vector<std::string> words = {HARBOLT_PROGRAM};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  const std::string cwd = (folder.empty() ? dir() : folder).string();

  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (outFd < 0 || errFd < 0 || chdir(cwd.c_str()) != 0) _exit(127);
    dup2(outFd, STDOUT_FILENO);
    dup2(errFd, STDERR_FILENO);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  RunResult result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = testing_support::ReadFile(out);
  result.err = testing_support::ReadFile(err);
  return result;
}

std::filesystem::path HarboltRunner::CopySample(const std::string& name) const {
  std::filesystem::path folder = dir() / name;
  std::filesystem::create_directories(folder);
  for (const auto& entry : std::filesystem::directory_iterator(Sample())) {
    std::filesystem::copy_file(entry.path(), folder / entry.path().filename());
  }
  return folder;
}

std::filesystem::path Sample(const std::string& name) {
  std::filesystem::path folder = HARBOLT_SAMPLE_DIR;
  return name.empty() ? folder : folder / name;
}

bool Contains(const std::string& out, const std::string& text) {
  return out.find(text) != std::string::npos;
}

}  // namespace tools_test
