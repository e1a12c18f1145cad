// The host's version as the add-in reads it, and what it chooses from it.
#include "addin/host_version.h"

#include <gtest/gtest.h>

#include "addin/harbolt.h"
#include "sim/sim_host.h"

namespace {

TEST(HostVersionTest, LeadingIntegerOfTheRevision) {
  EXPECT_EQ(15, harbolt::HostMajorVersion(u"15.2.0"));
  EXPECT_EQ(9, harbolt::HostMajorVersion(u"9.1"));
  EXPECT_EQ(20, harbolt::HostMajorVersion(u"  20.3.0"));
  EXPECT_EQ(-3, harbolt::HostMajorVersion(u"-3.1"));
  EXPECT_EQ(0, harbolt::HostMajorVersion(u"Rev 15"));
  EXPECT_EQ(0, harbolt::HostMajorVersion(u""));
  EXPECT_EQ(2147483647, harbolt::HostMajorVersion(u"99999999999.1"));

  EXPECT_EQ(15, harbolt::EventTypeLibMajorVersion(15));
  EXPECT_EQ(14, harbolt::EventTypeLibMajorVersion(14));
  EXPECT_EQ(0, harbolt::EventTypeLibMajorVersion(13));
  EXPECT_EQ(0, harbolt::EventTypeLibMajorVersion(9));
  EXPECT_EQ(0, harbolt::EventTypeLibMajorVersion(0));
}

// The add-in object itself, connected to a host of each revision.
TEST(HostVersionTest, TheAddinTakesItsSinkVersionFromTheRevision) {
  struct Case {
    const char16_t* revision;
    LONG major;
    WORD sinkMajor;
  };
  for (const Case& c : {Case{u"15.2.0", 15, 15}, Case{u"9.1", 9, 0}, Case{u"x15", 0, 0}}) {
    sim::SimHost host;
    host.SetRevision(c.revision);
    ComPtr<IDispatch> application = host.Application();
    ComPtr<CHarbolt> addin = MakeComObject<CHarbolt, CHarbolt>();
    VARIANT_BOOL connected = VARIANT_FALSE;
    EXPECT_EQ(S_OK, addin->ConnectToSW(application.Get(), 3, &connected));
    EXPECT_EQ(VARIANT_TRUE, connected);
    EXPECT_EQ(c.major, addin->hostMajorVersion());
    EXPECT_EQ(0, addin->hostMinorVersion());
    EXPECT_EQ(c.sinkMajor, addin->applicationSink().typeLibMajorVersion());
    EXPECT_EQ(0, addin->applicationSink().typeLibMinorVersion());
    EXPECT_TRUE(addin->applicationSink().advised());
    VARIANT_BOOL disconnected = VARIANT_FALSE;
    EXPECT_EQ(E_NOTIMPL, addin->DisconnectFromSW(&disconnected));
    EXPECT_EQ(0xFEFEFEFEu, addin->applicationSink().cookie());
    EXPECT_FALSE(addin->hostApplication());
    EXPECT_FALSE(addin->commandManager());
  }
}

}  // namespace
