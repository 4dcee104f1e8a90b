// The lasting state of the sandbox's notification channels: which channels
// exist and which administrations each has, with their filter-group
// operators. Plain values, apart from the servants that serve them, so that
// they can be kept and restored as they are. Connections (proxies and the
// clients behind them) are not part of it: clients connect again.
#pragma once

#include <CosNotifyChannelAdmin.hh>

#include <vector>

namespace hvc_sandbox {

struct AdminState {
    CosNotifyChannelAdmin::AdminID id = 0;
    CosNotifyChannelAdmin::InterFilterGroupOperator op = CosNotifyChannelAdmin::AND_OP;
};

struct ChannelState {
    // The identifier of a channel's default administrations.
    static constexpr CosNotifyChannelAdmin::AdminID defaultAdmin = 0;

    CosNotifyChannelAdmin::ChannelID id = 0;
    // Entry 0 is the default administration of each side.
    std::vector<AdminState> consumerAdmins{AdminState()};
    std::vector<AdminState> supplierAdmins{AdminState()};
    // The next administration identifier handed out (both sides share it).
    CosNotifyChannelAdmin::AdminID nextAdmin = 1;
};

} // namespace hvc_sandbox
