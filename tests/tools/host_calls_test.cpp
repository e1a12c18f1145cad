// The demo round trip with the host-call trace on: every call the add-in
// makes into the host is a member of the host's published interfaces, with
// its published kind and number of arguments. The facts are those of the
// host's reference, for the members the binding uses
// (published_members.json beside this file).
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "tests/tools/harbolt_runner.h"

namespace tools_test {
namespace {

// What one traced call must match: the member's entry in the facts.
std::string Mismatch(const nlohmann::json& facts, const nlohmann::json& call) {
  const std::string interfaceName = call.at("interface");
  const std::string member = call.at("member");
  const std::string kind = call.at("kind");
  const int arguments = call.at("args");
  const std::string name = interfaceName + "." + member + " (" + kind + ")";
  if (!facts.contains(interfaceName) || !facts[interfaceName].contains(member)) {
    return name + ": no such published member";
  }
  const nlohmann::json& fact = facts[interfaceName][member];
  const int parameters = fact.at("params");
  if (kind == "method" && fact.at("kind") != "method") return name + ": published as a property";
  if (kind != "method" && fact.at("kind") != "property") return name + ": published as a method";
  if (kind == "put" && fact.at("readonly") == true) return name + ": published read-only";
  const int expected = parameters + (kind == "put" ? 1 : 0);
  if (arguments != expected) {
    return name + ": " + std::to_string(arguments) + " arguments, published " +
           std::to_string(expected);
  }
  if (call.at("hr") != "0x00000000")
    return name + ": failed with " + call.at("hr").get<std::string>();
  return {};
}

TEST(HostCallsTest, TheDemoUsesOnlyPublishedMembersAsPublished) {
  HarboltRunner harbolt;
  const std::filesystem::path trace = harbolt / "trace.jsonl";
  RunResult run =
      harbolt.Run({"demo", "--dir", (harbolt / "demo").string(), "--trace-host", trace.string()});
  ASSERT_EQ(0, run.status) << run.err;

  std::ifstream factsFile(std::filesystem::path(HARBOLT_TEST_DATA_DIR) / "published_members.json");
  const nlohmann::json facts = nlohmann::json::parse(factsFile);
  std::ifstream in(trace);
  std::set<std::string> mismatches;
  std::map<std::string, int> kinds;
  int calls = 0;
  for (std::string line; std::getline(in, line); ++calls) {
    const nlohmann::json call = nlohmann::json::parse(line);
    ++kinds[call.at("kind").get<std::string>()];
    if (std::string problem = Mismatch(facts, call); !problem.empty()) mismatches.insert(problem);
  }
  EXPECT_TRUE(mismatches.empty()) << *mismatches.begin() << " (and " << mismatches.size() - 1
                                  << " more)";
  // The whole round trip: export, import, save and the second export.
  EXPECT_GT(calls, 2000);
  EXPECT_GT(kinds["method"], 0);
  EXPECT_GT(kinds["get"], 0);
  EXPECT_GT(kinds["put"], 0);
}

}  // namespace
}  // namespace tools_test
