// The origin property list of a feature representation as a data store keeps
// it: names and plain values, which a data file or a database can hold, and
// the conversions to and from the platform's property list.
#pragma once

#include <CosPropertyService.hh>

#include <string>
#include <vector>

namespace hvc_sandbox {

class DataStore;

struct StoredOrigin {
    enum class Kind { Object, Text, Number };
    struct Entry {
        std::string name;
        Kind kind = Kind::Text;
        // Object: the current key text of an object of the store, or the
        // stringified reference of any other object; empty for nil.
        // Text: the text.
        std::string text;
        // Object: the repository id of the interface the value is typed as.
        std::string interfaceId;
        // Number: the value.
        double number = 0;

        bool operator==(const Entry& other) const {
            return name == other.name && kind == other.kind && text == other.text &&
                   interfaceId == other.interfaceId && number == other.number;
        }
    };
    std::vector<Entry> entries;

    // What the store keeps of `origin`, in list order. Objects of `store`
    // are kept by key text, others by their stringified reference. Raises
    // EpDataStore::StoreException for a value that is not an object
    // reference, a string or a double: the store loses nothing silently.
    static StoredOrigin keep(const DataStore& store, const CosPropertyService::Properties& origin);

    // The property list again (the caller owns it). An object is typed as it
    // was for the seismic geometries and for plain data objects, as
    // CORBA::Object otherwise. Raises EpDataStore::StoreException for a
    // reference that can no longer be read.
    CosPropertyService::Properties* restore(const DataStore& store) const;
};

} // namespace hvc_sandbox
