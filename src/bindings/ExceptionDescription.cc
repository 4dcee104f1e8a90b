#include "hvc_util/ExceptionDescription.h"

#include "bindings/Orb.h"

#include <omniORB4/dynAny.h>

#include <cstdio>
#include <cstring>

namespace hvc_util {

namespace {

// "IDL:omg.org/CosNaming/NamingContext/NotFound:1.0" gives
// "CosNaming::NamingContext::NotFound": the pragma prefix (a first component
// holding a dot) and the version are dropped.
std::string scopedName(const char* repositoryId) {
    std::string id = repositoryId != nullptr ? repositoryId : "";
    if (id.compare(0, 4, "IDL:") != 0)
        return id;
    id.erase(0, 4);
    if (const auto colon = id.rfind(':'); colon != std::string::npos)
        id.erase(colon);
    if (const auto slash = id.find('/'); slash != std::string::npos && id.find('.') < slash)
        id.erase(0, slash + 1);
    std::string name;
    for (char c : id) {
        if (c == '/')
            name += "::";
        else
            name += c;
    }
    return name;
}

// The text member "reason" of a user exception, read through its type code;
// empty when it has none or the exception cannot be inspected.
std::string reasonOf(const CORBA::Exception& e) {
    try {
        const auto insert = e.insertToAnyFn();
        if (insert == nullptr)
            return std::string();
        CORBA::Any any;
        insert(any, e);
        CORBA::ORB_var orb = Orb::init();
        CORBA::Object_var obj = orb->resolve_initial_references("DynAnyFactory");
        DynamicAny::DynAnyFactory_var factory = DynamicAny::DynAnyFactory::_narrow(obj);
        if (CORBA::is_nil(factory))
            return std::string();
        DynamicAny::DynAny_var dyn = factory->create_dyn_any(any);
        DynamicAny::DynStruct_var fields = DynamicAny::DynStruct::_narrow(dyn);
        std::string reason;
        if (!CORBA::is_nil(fields)) {
            const CORBA::ULong count = fields->component_count();
            for (CORBA::ULong i = 0; i < count; ++i) {
                fields->seek(static_cast<CORBA::Long>(i));
                CORBA::String_var name = fields->current_member_name();
                if (std::strcmp(name.in(), "reason") != 0)
                    continue;
                DynamicAny::DynAny_var member = fields->current_component();
                CORBA::String_var text = member->get_string();
                reason = text.in();
                break;
            }
        }
        dyn->destroy();
        return reason;
    } catch (...) {
        return std::string();
    }
}

} // namespace

std::string describe(const CORBA::Exception& e) {
    try {
        const auto* sys = CORBA::SystemException::_downcast(const_cast<CORBA::Exception*>(&e));
        if (sys == nullptr) {
            std::string text = scopedName(e._rep_id());
            const std::string reason = reasonOf(e);
            if (!reason.empty())
                text += ": " + reason;
            return text;
        }
        std::string text = "CORBA::";
        text += e._name();
        const char* minor = sys->NP_minorString();
        char code[32];
        std::snprintf(code, sizeof code, "0x%lx", static_cast<unsigned long>(sys->minor()));
        text += " (minor ";
        text += minor != nullptr ? minor : code;
        switch (sys->completed()) {
        case CORBA::COMPLETED_YES:
            text += ", completed yes)";
            break;
        case CORBA::COMPLETED_NO:
            text += ", completed no)";
            break;
        default:
            text += ", completed maybe)";
            break;
        }
        return text;
    } catch (...) {
        return "CORBA exception";
    }
}

} // namespace hvc_util
