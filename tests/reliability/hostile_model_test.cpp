// Model files of the simulated host that are malformed, huge or cyclic: the
// reader refuses them with an error that names the file, never crashes,
// never hangs and never reads files the model does not name.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "platform/bstr.h"
#include "sim/model_error.h"
#include "sim/model_reader.h"
#include "sim/sim_host.h"
#include "tests/support/bound_host.h"
#include "tests/support/temp_dir.h"

namespace reliability {
namespace {

// Parses a part text; the error text, or "" when it was read.
std::string ParsePart(const std::string& text) {
  try {
    sim::ParseModel(text, sim::kDocTypePart, "hostile.SLDPRT");
    return "";
  } catch (const sim::ModelFileError& error) {
    return error.what();
  }
}

std::string Repeat(const std::string& piece, size_t times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (size_t i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(HostileModelTest, MalformedTextsAreRefusedWithTheirPlace) {
  const std::string cases[] = {
      "",
      "{",
      "{\"type\": \"part\"",
      "{\"type\": \"part\", \"features\": [{\"name\": 1, \"typeName\": \"x\"}]}",
      "{\"type\": \"part\", \"features\": {}}",
      "{\"type\": \"part\", \"unknown\": 1}",
      std::string("{\"type\": \"part\"\0, \"title\": \"x\"}", 30),
      "{\"type\": \"part\", \"title\": \"\xff\xfe broken UTF-8\"}",
      "\xef\xbb\xbf{\"type\": \"part\"}garbage",
      "{\"type\": \"part\", \"dimensions\": [{\"name\": \"D1@X\", \"value\": 1e999}]}",
      "{\"type\": \"part\", \"configurations\": [{\"name\": \"A\", \"parent\": \"B\"}, "
      "{\"name\": \"B\", \"parent\": \"A\"}]}",
      "{\"type\": \"part\", \"equations\": [{\"text\": \"\\\"A\\\" = \\\"A\\\" + 1\"}]}",
      "[1, 2, 3]",
      "null",
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text.substr(0, 80));
    const std::string error = ParsePart(text);
    // A loop of configuration parents, an equation on itself: refused or
    // read, but never a crash or a hang; everything else is refused.
    if (text.find("parent") == std::string::npos &&
        text.find("\\\"A\\\" + 1") == std::string::npos &&
        text.find("1e999") == std::string::npos) {
      EXPECT_NE("", error);
    }
    if (!error.empty()) {
      EXPECT_EQ(0u, error.find("hostile.SLDPRT: ")) << error;
    }
  }
}

TEST(HostileModelTest, DeepNestingIsRefusedWithoutExhaustingTheStack) {
  // JSON nested a hundred thousand levels deep, and features nested as deep.
  const size_t depth = 100000;
  EXPECT_NE("", ParsePart("{\"type\": \"part\", \"title\": " + Repeat("[", depth) +
                          Repeat("]", depth) + "}"));
  std::string features = "{\"type\": \"part\", \"features\": [";
  for (size_t i = 0; i < depth; ++i) {
    features +=
        "{\"name\": \"F" + std::to_string(i) + "\", \"typeName\": \"x\", \"subFeatures\": [";
  }
  features += Repeat("]}", depth) + "]}";
  const std::string error = ParsePart(features);
  EXPECT_NE(std::string::npos, error.find("nested")) << error.substr(0, 200);
}

TEST(HostileModelTest, HugeModelsAreReadInReasonableTime) {
  const auto start = std::chrono::steady_clock::now();
  // Twenty thousand features, and one text of ten megabytes.
  std::string flat = "{\"type\": \"part\", \"features\": [";
  for (int i = 0; i < 20000; ++i) {
    if (i > 0) flat += ",";
    flat += "{\"name\": \"F" + std::to_string(i) + "\", \"typeName\": \"x\"}";
  }
  flat += "]}";
  EXPECT_EQ("", ParsePart(flat));
  EXPECT_EQ("",
            ParsePart("{\"type\": \"part\", \"title\": \"" + std::string(10000000, 'x') + "\"}"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

TEST(HostileModelTest, CyclesOfAssembliesAreRefused) {
  testing_support::TempDir dir;
  auto assembly = [&](const std::string& name, const std::string& component) {
    testing_support::WriteFile(
        dir / name,
        "{\"type\": \"assembly\", \"configurations\": [{\"name\": \"Default\", "
        "\"components\": [{\"name\": \"C-1\", \"file\": \"" +
            component + "\"}]}]}");
  };
  assembly("Self.SLDASM", "Self.SLDASM");
  assembly("A.SLDASM", "B.SLDASM");
  assembly("B.SLDASM", "sub/../A.SLDASM");
  for (const char* file : {"Self.SLDASM", "A.SLDASM", "B.SLDASM"}) {
    SCOPED_TRACE(file);
    sim::SimHost host;
    try {
      host.Open(dir / file);
      ADD_FAILURE() << "a cycle was opened";
    } catch (const sim::ModelFileError& error) {
      EXPECT_NE(std::string::npos, std::string(error.what()).find("cycle")) << error.what();
    }
    EXPECT_TRUE(host.OpenDocuments().empty());
    EXPECT_EQ(0, host.LiveObjects());
  }

  // Through the binding, as the add-in opens files: a failing status,
  // nothing open.
  sim::SimHost host;
  ComPtr<IHostApplication> application = testing_support::BoundApplication(host);
  ScopedBstr path((dir / "A.SLDASM").u16string());
  ComPtr<IHostModelDoc> document;
  EXPECT_TRUE(FAILED(
      application->OpenDocument(path.Get(), kDocTypeAssembly, document.ReleaseAndGetAddressOf())));
  EXPECT_FALSE(document);
  EXPECT_TRUE(host.OpenDocuments().empty());
}

TEST(HostileModelTest, ReferencesToOtherKindsOfFilesAreNotRead) {
  testing_support::TempDir dir;
  testing_support::WriteFile(dir / "secret.txt", "SECRET");
  for (const std::string& file : {std::string("secret.txt"), (dir / "secret.txt").string(),
                                  std::string("/dev/zero"), std::string("/proc/self/environ")}) {
    SCOPED_TRACE(file);
    testing_support::WriteFile(dir / "Bad.SLDASM",
                               "{\"type\": \"assembly\", \"configurations\": [{\"name\": \"D\", "
                               "\"components\": [{\"name\": \"C-1\", \"file\": \"" +
                                   file + "\"}]}]}");
    sim::SimHost host;
    try {
      host.Open(dir / "Bad.SLDASM");
      ADD_FAILURE() << "opened";
    } catch (const sim::ModelFileError& error) {
      EXPECT_EQ(std::string::npos, std::string(error.what()).find("SECRET"));
    }
  }
}

}  // namespace
}  // namespace reliability
