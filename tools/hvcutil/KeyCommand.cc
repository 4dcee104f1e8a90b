// hvcutil key: data-key texts turned into data objects of the current
// session.
#include "CommandTable.h"
#include "Reporting.h"
#include "SessionOptions.h"

#include "hvc_util/Session.h"

#include <cstdio>

namespace hvcutil {

namespace {

const char* const usage = "resolve KEY... [-session NAME | --keep] [-envfile FILE]";

int run(const std::vector<std::string>& args) {
    std::vector<std::string> words = standardOptions(args);
    const bool keep = takeKeep(words);
    if (words.size() < 2 || words[0] != "resolve")
        return usageOf("key", usage);
    DosTypes::StringSeq keys;
    keys.length(static_cast<CORBA::ULong>(words.size() - 1));
    for (CORBA::ULong i = 0; i < keys.length(); ++i)
        keys[i] = words[i + 1].c_str();

    CurrentSession session(keep);
    EpTypes::KeyConversionErrorSeq* rawErrors = nullptr;
    EpDataStore::DataSeq_var objects =
        hvc_util::Session::dataKeysToObjects(session.in(), keys, rawErrors);
    EpTypes::KeyConversionErrorSeq_var errors = rawErrors;

    // One line per key on stdout: the object's key text, or nothing found.
    int status = exitOk;
    CORBA::ULong nextError = 0;
    for (CORBA::ULong i = 0; i < objects->length(); ++i) {
        if (!CORBA::is_nil(objects[i])) {
            CORBA::String_var text = objects[i]->getKeyString();
            std::printf("%s\n", text.in());
            continue;
        }
        status = exitFailure;
        if (nextError < errors->length() &&
            std::string(errors[nextError].key.in()) == keys[i].in()) {
            const EpTypes::KeyConversionError& e = errors[nextError++];
            std::printf("-\n");
            std::fprintf(stderr, "hvcutil: %s: %s (%s; code %d)\n", keys[i].in(), e.reason.in(),
                         e.detail.in(), static_cast<int>(e.code));
        } else {
            std::printf("-\n");
            std::fprintf(stderr, "hvcutil: %s: no data store for this key\n", keys[i].in());
        }
    }
    std::fflush(stdout);
    return session.finish(status);
}

const CommandRegistration registration(
    {"key", usage,
     "turn data-key texts (current or older form) into data objects of a session and print "
     "each object's key text ('-' and a line on stderr for a key that fails); without "
     "-session in a temporary session, removed at the end unless --keep",
     run});

} // namespace

} // namespace hvcutil
