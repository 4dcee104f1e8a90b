// Operations of the standard notification interfaces that the platform does
// not use (quality of service, administrative properties, filters, offer and
// subscription changes): each raises NO_IMPLEMENT. A servant mixes in the
// classes of the interfaces it inherits.
#pragma once

#include <CosNotifyChannelAdmin.hh>

namespace hvc_sandbox {

[[noreturn]] inline void notImplemented() {
    throw CORBA::NO_IMPLEMENT(0, CORBA::COMPLETED_NO);
}

class QoSAdminUnused : public virtual CosNotification::_impl_QoSAdmin {
public:
    CosNotification::QoSProperties* get_qos() override { notImplemented(); }
    void set_qos(const CosNotification::QoSProperties&) override { notImplemented(); }
    void validate_qos(const CosNotification::QoSProperties&,
                      CosNotification::NamedPropertyRangeSeq_out) override {
        notImplemented();
    }
};

class AdminPropertiesUnused : public virtual CosNotification::_impl_AdminPropertiesAdmin {
public:
    CosNotification::AdminProperties* get_admin() override { notImplemented(); }
    void set_admin(const CosNotification::AdminProperties&) override { notImplemented(); }
};

class FilterAdminUnused : public virtual CosNotifyFilter::_impl_FilterAdmin {
public:
    CosNotifyFilter::FilterID add_filter(CosNotifyFilter::Filter_ptr) override { notImplemented(); }
    void remove_filter(CosNotifyFilter::FilterID) override { notImplemented(); }
    CosNotifyFilter::Filter_ptr get_filter(CosNotifyFilter::FilterID) override { notImplemented(); }
    CosNotifyFilter::FilterIDSeq* get_all_filters() override { notImplemented(); }
    void remove_all_filters() override { notImplemented(); }
};

class NotifyPublishUnused : public virtual CosNotifyComm::_impl_NotifyPublish {
public:
    void offer_change(const CosNotification::EventTypeSeq&,
                      const CosNotification::EventTypeSeq&) override {
        notImplemented();
    }
};

class NotifySubscribeUnused : public virtual CosNotifyComm::_impl_NotifySubscribe {
public:
    void subscription_change(const CosNotification::EventTypeSeq&,
                             const CosNotification::EventTypeSeq&) override {
        notImplemented();
    }
};

// The mapping filters of consumer administrations and proxy suppliers.
template <class Impl> class MappingFiltersUnused : public virtual Impl {
public:
    CosNotifyFilter::MappingFilter_ptr priority_filter() override { notImplemented(); }
    void priority_filter(CosNotifyFilter::MappingFilter_ptr) override { notImplemented(); }
    CosNotifyFilter::MappingFilter_ptr lifetime_filter() override { notImplemented(); }
    void lifetime_filter(CosNotifyFilter::MappingFilter_ptr) override { notImplemented(); }
};

// The event qualities of service a proxy would check.
template <class Impl> class EventQoSUnused : public virtual Impl {
public:
    void validate_event_qos(const CosNotification::QoSProperties&,
                            CosNotification::NamedPropertyRangeSeq_out) override {
        notImplemented();
    }
};

} // namespace hvc_sandbox
