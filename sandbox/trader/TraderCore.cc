#include "TraderCore.h"

#include "OfferIteratorServant.h"

#include "sandbox/common/Activation.h"

#include "bindings/private/AnyValues.h"

#include <type_traits>

namespace hvc_sandbox {

namespace {

// The value the constraint language sees in a property: strings, numbers and
// booleans; anything else compares with nothing.
ConstraintValue constraintValue(const CORBA::Any& any) {
    ConstraintValue value = ConstraintValue::other();
    hvc_util::visitScalar(any, [&](auto v) {
        using V = decltype(v);
        if constexpr (std::is_same_v<V, const char*>)
            value = ConstraintValue::ofString(v);
        else if constexpr (std::is_same_v<V, bool>)
            value = ConstraintValue::ofBoolean(v);
        else
            value = ConstraintValue::ofNumber(static_cast<long double>(v));
    });
    return value;
}

} // namespace

OfferIterators::OfferIterators(PortableServer::POA_ptr where, std::size_t most)
    : poa(PortableServer::POA::_duplicate(where)), cap(most) {}

CosTrading::OfferIterator_ptr OfferIterators::open(CosTrading::OfferSeq* rest) {
    std::lock_guard<std::mutex> hold(lock);
    const unsigned long number = ++lastNumber;
    PortableServer::Servant_var<OfferIteratorServant> servant(
        new OfferIteratorServant(*this, number, rest));
    PortableServer::ObjectId_var id;
    CORBA::Object_var ref = Activation::activate(poa, servant.in(), &id);
    open_.push_back({number, id.in()});
    if (open_.size() > cap) {
        poa->deactivate_object(open_.front().id);
        open_.pop_front();
    }
    return CosTrading::OfferIterator::_narrow(ref.in());
}

void OfferIterators::close(unsigned long number) {
    std::lock_guard<std::mutex> hold(lock);
    for (auto it = open_.begin(); it != open_.end(); ++it) {
        if (it->number == number) {
            poa->deactivate_object(it->id);
            open_.erase(it);
            return;
        }
    }
}

std::size_t OfferIterators::live() const {
    std::lock_guard<std::mutex> hold(lock);
    return open_.size();
}

void TraderCore::checkType(const char* type) const {
    const std::string name = type != nullptr ? type : "";
    if (!ServiceTypes::isLegal(name))
        throw CosTrading::IllegalServiceType(name.c_str());
    if (!types.knows(name))
        throw CosTrading::UnknownServiceType(name.c_str());
}

Constraint TraderCore::parse(const char* constraint) {
    try {
        return Constraint::parse(constraint != nullptr ? constraint : "");
    } catch (const Constraint::Illegal&) {
        throw CosTrading::IllegalConstraint(constraint != nullptr ? constraint : "");
    }
}

bool TraderCore::matches(const Constraint& constraint, const CosTrading::PropertySeq& properties) {
    return constraint.matches([&](const std::string& name) {
        for (CORBA::ULong i = 0; i < properties.length(); ++i)
            if (name == properties[i].name.in())
                return constraintValue(properties[i].value);
        return ConstraintValue();
    });
}

} // namespace hvc_sandbox
