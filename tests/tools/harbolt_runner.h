// Runs build/bin/harbolt as a user does, in a folder and home of the test's
// own, capturing status and output; and reads the databases the runs write.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "db/db_connection.h"
#include "platform/text.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace tools_test {

using testing_support::ReadFile;
using testing_support::WriteFile;

struct RunResult {
  int status;
  std::string out, err;
};

inline bool Contains(const std::string& out, const std::string& text) {
  return out.find(text) != std::string::npos;
}

inline std::filesystem::path Sample(const std::string& name = {}) {
  return name.empty() ? HARBOLT_SAMPLE_DIR : std::filesystem::path(HARBOLT_SAMPLE_DIR) / name;
}

class HarboltRunner {
 public:
  // kRegistered: $HOME/.harbolt/registry holds the add-in; kEmpty: never registered.
  enum class Registry { kRegistered, kEmpty };

  explicit HarboltRunner(Registry registry = Registry::kRegistered) {
    std::filesystem::create_directories(RegistryFile().parent_path());
    if (registry == Registry::kRegistered) {
      static const testing_support::TempDir folder;
      static const std::filesystem::path registered = [] {
        HarboltRunner runner(Registry::kEmpty);
        RunResult run =
            runner.Run({"register"}, {}, {"HARBOLT_REGISTRY=" + (folder / "r").string()});
        if (run.status != 0) throw std::runtime_error("cannot register the add-in: " + run.err);
        return folder / "r";
      }();
      std::filesystem::copy_file(registered, RegistryFile());
    }
  }

  // Runs in folder (default: the test's folder) with extraEnvironment ("NAME=value") added.
  RunResult Run(const std::vector<std::string>& args, const std::filesystem::path& folder = {},
                const std::vector<std::string>& extraEnvironment = {}) const {
    std::vector<std::string> environment = extraEnvironment;
    std::string leakOptions = "use_tls=0:print_suppressions=0";
    for (char** entry = environ; *entry; ++entry) {
      std::string text = *entry;
      if (text.starts_with("HOME=") || text.starts_with("HARBOLT_")) continue;
      if (text.starts_with("LSAN_OPTIONS=")) {
        leakOptions = text.substr(13) + ":" + leakOptions;
        continue;
      }
      environment.push_back(text);
    }
    // LeakSanitizer (GCC 12) trips over the TLS an unloaded module leaves: not scanned.
    environment.push_back("LSAN_OPTIONS=" + leakOptions);
    environment.push_back("HOME=" + (dir() / "home").string());
    environment.push_back("HARBOLT_DRIVE_C=" + (dir() / "drive_c").string());
    std::vector<std::string> words = {HARBOLT_PROGRAM};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv, envp;
    for (std::string& word : words) argv.push_back(word.data());
    for (std::string& entry : environment) envp.push_back(entry.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const std::string out = (dir() / "stdout.txt").string(), err = (dir() / "stderr.txt").string();
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
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), ReadFile(out),
            ReadFile(err)};
  }

  const std::filesystem::path& dir() const { return dir_.path(); }
  std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }
  std::filesystem::path RegistryFile() const { return dir() / "home" / ".harbolt" / "registry"; }
  std::filesystem::path CopySample(const std::string& name) const {
    std::filesystem::create_directories(dir_ / name);
    for (const auto& entry : std::filesystem::directory_iterator(Sample())) {
      std::filesystem::copy_file(entry.path(), dir_ / name / entry.path().filename());
    }
    return dir_ / name;
  }

 private:
  testing_support::TempDir dir_;
};

// A database the runs wrote (or with create a new one), read as UTF-8 text.
class TestDatabase {
 public:
  explicit TestDatabase(const std::filesystem::path& file, bool create = false) {
    if (!create && !std::filesystem::exists(file))
      throw std::runtime_error("no database " + file.string());
    db_.open(platform::Utf8ToUtf16(file.string()));
  }
  std::vector<std::string> Column(const std::string& sql) {
    std::vector<std::string> values;
    for (DbQuery query = db_.query(platform::Utf8ToUtf16(sql)); !query.atEnd(); query.next()) {
      values.push_back(platform::Utf16ToUtf8(query.textAt(0)));
    }
    return values;
  }
  std::string Value(const std::string& sql) {
    std::vector<std::string> values = Column(sql);
    return values.empty() ? "<none>" : values.front();
  }
  long long Count(const std::string& table, const std::string& where = "1") {
    return std::stoll(Value("select count(*) from '" + table + "' where " + where));
  }
  std::vector<std::string> Tables() {
    return Column("select name from sqlite_master where type = 'table' order by name");
  }
  // Runs the statements of sql, split at each ';'.
  void Execute(const std::string& sql) {
    for (size_t start = 0, end; start < sql.size(); start = end + 1) {
      end = sql.find(';', start) == std::string::npos ? sql.size() : sql.find(';', start);
      if (sql.find_first_not_of(" \n", start) < end)
        db_.execute(platform::Utf8ToUtf16(sql.substr(start, end - start)));
    }
  }

 private:
  DbConnection db_;
};

}  // namespace tools_test
