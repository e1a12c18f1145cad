#include "sim/sim_frame.h"

#include "sim/published_member.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishMethod<&SimFrame::GetHWnd>("GetHWnd", 1),
};

}  // namespace

constinit const PublishedInterface SimFrame::kPublished{"IFrame", kMembers};

LONG SimFrame::GetHWnd() { return static_cast<LONG>(host_->windowHandle & 0xFFFF'FFFF); }

}  // namespace sim
