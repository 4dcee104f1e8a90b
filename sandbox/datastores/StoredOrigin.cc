#include "StoredOrigin.h"

#include "DataStore.h"

#include "bindings/Orb.h"
#include "bindings/private/AnyValues.h"

#include <EpiSeismic.hh>

#include <string>

namespace hvc_sandbox {

namespace {

// Inserts `object` typed as interface T.
template <class T> void insertAs(CORBA::Any& value, CORBA::Object_ptr object) {
    typename T::_var_type typed = T::_unchecked_narrow(object);
    value <<= typed.in();
}

// The interfaces whose type codes an origin value keeps.
struct Typed {
    const char* id;
    void (*insert)(CORBA::Any&, CORBA::Object_ptr);
};
const Typed typedInterfaces[] = {
    {EpiSeismic::SeismicGeometry::_PD_repoId, insertAs<EpiSeismic::SeismicGeometry>},
    {EpiSeismic::SeismicGeometry2d::_PD_repoId, insertAs<EpiSeismic::SeismicGeometry2d>},
    {EpiSeismic::SeismicGeometry3d::_PD_repoId, insertAs<EpiSeismic::SeismicGeometry3d>},
    {EpDataStore::Data::_PD_repoId, insertAs<EpDataStore::Data>},
};

std::string kindName(CORBA::TCKind kind) {
    switch (kind) {
    case CORBA::tk_long:
    case CORBA::tk_ulong:
    case CORBA::tk_short:
    case CORBA::tk_ushort:
    case CORBA::tk_longlong:
    case CORBA::tk_ulonglong:
        return "an integer";
    case CORBA::tk_float:
        return "a float";
    case CORBA::tk_boolean:
        return "a boolean";
    case CORBA::tk_null:
    case CORBA::tk_void:
        return "no value";
    default:
        return "a value of another type";
    }
}

} // namespace

StoredOrigin StoredOrigin::keep(const DataStore& store,
                                const CosPropertyService::Properties& origin) {
    StoredOrigin kept;
    for (CORBA::ULong i = 0; i < origin.length(); ++i) {
        const CORBA::Any& value = origin[i].property_value;
        Entry entry;
        entry.name = origin[i].property_name.in();
        CORBA::TypeCode_var type = value.type();
        CORBA::TypeCode_var bare = hvc_util::bareType(type.in());
        const CORBA::TCKind kind = bare->kind();
        if (kind == CORBA::tk_objref) {
            entry.kind = Kind::Object;
            entry.interfaceId = bare->id();
            CORBA::Object_var object;
            if ((value >>= CORBA::Any::to_object(object.out())) && !CORBA::is_nil(object)) {
                entry.text = store.keyTextOf(object.in());
                if (entry.text.empty()) {
                    CORBA::ORB_var orb = hvc_util::Orb::init();
                    CORBA::String_var ior = orb->object_to_string(object.in());
                    entry.text = ior.in();
                }
            }
        } else if (kind == CORBA::tk_string) {
            const char* text = nullptr;
            value >>= text;
            entry.kind = Kind::Text;
            entry.text = text != nullptr ? text : "";
        } else if (kind == CORBA::tk_double) {
            entry.kind = Kind::Number;
            value >>= entry.number;
        } else {
            throw EpDataStore::StoreException(
                ("The data store " + store.name() + " keeps object references, strings and " +
                 "doubles in an origin; '" + entry.name + "' holds " + kindName(kind))
                    .c_str());
        }
        kept.entries.push_back(std::move(entry));
    }
    return kept;
}

CosPropertyService::Properties* StoredOrigin::restore(const DataStore& store) const {
    CosPropertyService::Properties_var origin =
        new CosPropertyService::Properties(static_cast<CORBA::ULong>(entries.size()));
    origin->length(static_cast<CORBA::ULong>(entries.size()));
    for (CORBA::ULong i = 0; i < origin->length(); ++i) {
        const Entry& entry = entries[i];
        origin[i].property_name = entry.name.c_str();
        CORBA::Any& value = origin[i].property_value;
        switch (entry.kind) {
        case Kind::Text:
            value <<= entry.text.c_str();
            break;
        case Kind::Number:
            value <<= static_cast<CORBA::Double>(entry.number);
            break;
        case Kind::Object: {
            CORBA::Object_var object;
            if (store.isKeyText(entry.text)) {
                object = store.object(entry.text);
            } else if (!entry.text.empty()) {
                try {
                    CORBA::ORB_var orb = hvc_util::Orb::init();
                    object = orb->string_to_object(entry.text.c_str());
                } catch (const CORBA::SystemException&) {
                    throw EpDataStore::StoreException(("The origin entry '" + entry.name +
                                                       "' names an object that cannot be read")
                                                          .c_str());
                }
            }
            bool typed = false;
            for (const Typed& t : typedInterfaces)
                if (entry.interfaceId == t.id) {
                    t.insert(value, object.in());
                    typed = true;
                }
            if (!typed)
                value <<= object.in();
            break;
        }
        }
    }
    return origin._retn();
}

} // namespace hvc_sandbox
