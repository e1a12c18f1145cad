// MenuBuilder when the host faults in the middle of a build. On the host's
// thread a fault inside a host call (an access violation, say) reaches the
// add-in as the program's exception through the fault handlers; a host
// stand-in that passes every call on to the simulated host, and throws that
// exception at a chosen call, plays such a host.
#include "addin/menu_builder.h"

#include <gtest/gtest.h>

#include "common/kvx_exception.h"
#include "platform/com_object.h"
#include "sim/sim_host.h"
#include "tests/support/bound_host.h"

namespace {

class FaultingManager final : public ComObject<IHostCommandManager> {
 public:
  FaultingManager(ComPtr<IHostCommandManager> host, int faultAt)
      : host_(std::move(host)), faultAt_(faultAt) {}

  HRESULT STDMETHODCALLTYPE CreateCommandGroup(LONG userId, BSTR title, BSTR tooltip, BSTR hint,
                                               LONG position, IHostCommandGroup** group) override {
    if (++calls_ == faultAt_) throw Dovbase::Kvx_Exception(u"EXCEPTION_ACCESS_VIOLATION");
    return host_->CreateCommandGroup(userId, title, tooltip, hint, position, group);
  }
  HRESULT STDMETHODCALLTYPE RemoveCommandGroup(LONG userId, VARIANT_BOOL* removed) override {
    return host_->RemoveCommandGroup(userId, removed);
  }
  HRESULT STDMETHODCALLTYPE GetCommandTab(LONG docType, BSTR title,
                                          IHostCommandTab** tab) override {
    return host_->GetCommandTab(docType, title, tab);
  }
  HRESULT STDMETHODCALLTYPE AddCommandTab(LONG docType, BSTR title,
                                          IHostCommandTab** tab) override {
    return host_->AddCommandTab(docType, title, tab);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return host_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return host_->GetTypeInfo(index, lcid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* dispids) override {
    return host_->GetIDsOfNames(riid, names, count, lcid, dispids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argErr) override {
    return host_->Invoke(dispid, riid, lcid, flags, params, result, excepInfo, argErr);
  }

 private:
  ComPtr<IHostCommandManager> host_;
  int faultAt_;
  int calls_ = 0;
};

TEST(MenuBuilderTest, GroupsMadeBeforeAFaultAreStillRemoved) {
  constexpr LONG kCookie = 3;
  sim::SimHost host;
  ComPtr<IHostCommandManager> manager;
  testing_support::BoundApplication(host)->GetCommandManager(kCookie,
                                                             manager.ReleaseAndGetAddressOf());
  // The fault comes with the third submenu's group (the fourth group).
  ComPtr<IHostCommandManager> faulting =
      MakeComObject<FaultingManager, IHostCommandManager>(manager, 4);
  CommandGroups groups;
  LONG errNumber = 0;
  std::u16string errDescription = u"before";

  EXPECT_THROW(MenuBuilder(faulting.Get(), groups)
                   .Build(u"<mnus caption='M'><mnu id='1' caption='a'/>"
                          u"<mnu id='-2' caption='A'/><mnu id='-2' caption='B'/>"
                          u"<mnu id='-2' caption='C'/><mnu id='-2' caption='D'/></mnus>",
                          errNumber, errDescription),
               Dovbase::Kvx_Exception);
  // Three groups were made and none was activated; the error state is not
  // the builder's to write then.
  const sim::CommandBoard& board = host.Commands(kCookie);
  EXPECT_EQ((std::vector<LONG>{1, 2, 3}), board.LiveGroupIds());
  for (const sim::CommandGroupRecord& group : board.groups) EXPECT_EQ(0, group.activations);
  EXPECT_EQ(0, errNumber);
  EXPECT_EQ(u"before", errDescription);
  EXPECT_EQ(1u, groups.commandMap().size());

  // The group count covers them, so the next removal finds them all.
  EXPECT_EQ(4, groups.groupCount());
  groups.RemoveGroups(manager.Get());
  EXPECT_TRUE(board.LiveGroupIds().empty());
}

}  // namespace
